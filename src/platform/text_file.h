#pragma once

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <array>
#include <string>

namespace rekoda {

// Line-wise reading of an 8-bit text file. A line ends at CR or CR LF; a lone
// LF is data (the loggers' own exports never use it as a terminator), and a
// terminator at the very end of the file opens no further line. Bytes are
// handed over as they are: no code-page conversion, so nothing is mangled.
class TextFileReader {
 public:
  enum class OpenResult {
    Ok,
    Failed,    // missing, denied, locked: the file itself cannot be opened
    NoHandle,  // the process or the system is out of file handles
  };

  TextFileReader() = default;
  TextFileReader(const TextFileReader &) = delete;
  TextFileReader &operator=(const TextFileReader &) = delete;

  OpenResult open(const QString &path);

  // The next line, without its terminator. False at the end of the file or
  // on a read error; failed() tells the two apart.
  bool readLine(std::string &line);
  bool failed() const { return failed_; }

 private:
  bool refill();

  QFile file_;
  std::array<char, 64 * 1024> buf_{};
  qint64 pos_ = 0;
  qint64 len_ = 0;
  bool eof_ = false;
  bool failed_ = false;
  bool skipLineFeed_ = false;  // the last line ended at a CR that may pair with an LF
};

// Writes a text file atomically: the lines go to a temporary file beside the
// target, which replaces the target only when every byte is on disk. After a
// failure there is no partial file and an existing target is untouched.
class TextFileWriter {
 public:
  // An uncommitted file is discarded when the writer goes away.
  explicit TextFileWriter(const QString &path);
  TextFileWriter(const TextFileWriter &) = delete;
  TextFileWriter &operator=(const TextFileWriter &) = delete;

  bool open();
  // Appends the line and CR LF.
  bool writeLine(const std::string &line);
  // Flushes and renames over the target; on any failure the temporary file
  // is removed instead.
  bool commit();
  void cancel();
  QString errorString() const { return error_; }

 private:
  bool fail();

  QSaveFile file_;
  QString error_;
};

}  // namespace rekoda
