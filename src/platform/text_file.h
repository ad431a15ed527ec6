#pragma once

#include "platform/status.h"

#include <QString>

#include <array>
#include <optional>
#include <string>

namespace rekoda {

// Largest data file that is read at all. Real exports are a few kilobytes;
// anything near this is not one: refused before it is read, and when it
// grows past this while it is read.
inline constexpr long long kMaxTextFileBytes = 64LL * 1024 * 1024;

// Line-wise reading of an 8-bit text file. A line ends at CR LF, at CR or at
// LF: exports pass through Unix tools and editors, and a lone LF taken as
// data would merge records silently. A terminator at the very end of the
// file opens no further line. Bytes are handed over as they are.
class TextFileReader {
 public:
  enum class OpenResult {
    Ok,
    Failed,    // missing, denied, locked: the file itself cannot be opened
    NoHandle,  // the process or the system is out of file handles
    NotPlain,  // a folder, a pipe, a device: never read, never waited on
    TooLarge,  // beyond kMaxTextFileBytes
  };

  TextFileReader() = default;
  ~TextFileReader();
  TextFileReader(const TextFileReader &) = delete;
  TextFileReader &operator=(const TextFileReader &) = delete;

  OpenResult open(const QString &path);

  // Why reading stopped short of the end of the file.
  enum class Failure {
    None,
    Io,        // the system's read failed
    TooLarge,  // more than kMaxTextFileBytes were read
    Changed,   // size or change time at the end differ from those at open
  };

  // The next line, without its terminator. False at the end of the file or
  // on a failure; failed() tells the two apart. A file that changed while it
  // was read (a logger still writing, a copy still running) fails at its end.
  bool readLine(std::string &line);
  bool failed() const { return failure_ != Failure::None; }
  Failure failure() const { return failure_; }
  // The last failure of open() or a read.
  const Status &status() const { return status_; }
  // The file's size and change time when it was opened.
  long long openSize() const { return openSize_; }
  long long openChanged() const { return openChanged_; }

 private:
  bool refill();
  // One read into buf_: the byte count, 0 at the end, -1 with status_ set.
  long long readSome();
  // The file's size and change time, to tell at the end whether it changed.
  bool stamp(long long &size, long long &changed) const;
  void close();

#ifdef _WIN32
  void *handle_ = nullptr;
#else
  int fd_ = -1;
#endif
  // Not zeroed: only bytes a read filled are looked at, and zeroing 64 KiB
  // for every file opened was a fifth of a dry run.
  std::array<char, std::size_t{64} * 1024> buf_;
  long long pos_ = 0;
  long long len_ = 0;
  long long total_ = 0;
  long long openSize_ = -1;
  long long openChanged_ = -1;
  bool eof_ = false;
  Failure failure_ = Failure::None;
  bool skipLineFeed_ = false;  // the last line ended at a CR that may pair with an LF
  Status status_;
};

// A file's size and change time as a reader sees them at open, to tell later
// whether it is still the file that was read; none when it cannot be opened.
struct FileStamp {
  long long size = -1;
  long long changed = -1;
  bool operator==(const FileStamp &) const = default;
};
std::optional<FileStamp> StampOf(const QString &path);

}  // namespace rekoda
