#pragma once

#include "conversion/conversion_job.h"
#include "formats/buffer_file.h"
#include "platform/message.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <ostream>
#include <vector>

namespace rekoda::test {

struct RecordedMessage {
  QString text;
  int style;
};

// Replaces the message box for the lifetime of the object and records what
// would have been shown.
class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder &) = delete;
  MessageRecorder &operator=(const MessageRecorder &) = delete;

  const std::vector<RecordedMessage> &messages() const { return messages_; }
  // The replace question: what was asked, and the answer to give.
  QStringList questions;
  ReplaceAnswer answer = ReplaceAnswer::Cancel;
  std::function<void()> onQuestion;  // what happens meanwhile, while the question is open
  bool confirm = false;               // the answer to a confirming question (Undo / Cancel)
  QStringList texts() const;
  void clear() { messages_.clear(); }

 private:
  std::vector<RecordedMessage> messages_;
  MessageHandler previous_;
  QuestionHandler previousQuestion_;
  ConfirmHandler previousConfirm_;
};

// A temporary folder with helpers to put files in it and read them back.
class TempFolder {
 public:
  TempFolder();
  QString path() const { return dir_.path(); }
  QString file(const QString &name) const;
  QString write(const QString &name, const QByteArray &bytes) const;
  QString mkdir(const QString &name) const;
  // Names of every entry, hidden ones included, sorted.
  QStringList entries() const;

 private:
  QTemporaryDir dir_;
};

QByteArray readBytes(const QString &path);

// The bytes a run writes for what FieldBuffer holds; empty, with a failure
// noted, when the writer refuses the buffer.
QByteArray rendered(FieldWriter writer, bool utf8Bom = false);

// Runs a job as the window and rekoda-cli do, and gives every file's
// outcome in job order.
std::vector<FileOutcome> convert(const ConversionJob &job);

// Whether the tests run under wine, which lacks some of Windows (a Recycle
// Bin that takes files).
bool UnderWine();

// Windows has no per-process limit on file size or open handles: tests that
// inject a full disk or exhausted handles that way skip there.
#ifdef _WIN32
#define REKODA_SKIP_WITHOUT_RLIMITS() GTEST_SKIP() << "no rlimits on Windows to inject this fault with"
#else
#define REKODA_SKIP_WITHOUT_RLIMITS() (void)0
#endif
// Symbolic links and named pipes are POSIX fixtures here (QFile::link makes
// a .lnk shortcut on Windows).
#ifdef _WIN32
#define REKODA_SKIP_WITHOUT_LINKS() GTEST_SKIP() << "needs POSIX symlinks and FIFOs"
#else
#define REKODA_SKIP_WITHOUT_LINKS() (void)0
#endif

// Lowers the soft file-size limit for its lifetime, with SIGXFSZ ignored so
// that an oversized write fails with EFBIG instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(long long bytes);
  ~FileSizeLimit();

 private:
  long long oldSoft_ = 0;
  void (*oldHandler_)(int) = nullptr;
};

// Lowers the soft limit of open files to what is open now, so that the next
// open fails with EMFILE.
class NoFreeHandles {
 public:
  NoFreeHandles();
  ~NoFreeHandles();

 private:
  long long oldSoft_ = 0;
};

}  // namespace rekoda::test

// Readable failure messages for Qt strings.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray &b, std::ostream *os) { *os << '"' << b.toStdString() << '"'; }
