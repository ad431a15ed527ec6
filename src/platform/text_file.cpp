#include "platform/text_file.h"

#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace rekoda {

TextFileReader::OpenResult TextFileReader::open(const QString &path) {
#ifdef Q_OS_UNIX
  // Opened here rather than by QFile so that running out of handles can be
  // told apart from a missing file.
  int fd;
  do {
    fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0)
    return (errno == EMFILE || errno == ENFILE) ? OpenResult::NoHandle : OpenResult::Failed;
  if (!file_.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return OpenResult::Failed;
  }
#else
  file_.setFileName(path);
  if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
    return file_.error() == QFileDevice::ResourceError ? OpenResult::NoHandle : OpenResult::Failed;
#endif
  return OpenResult::Ok;
}

bool TextFileReader::refill() {
  if (eof_ || failed_)
    return false;
  const qint64 n = file_.read(buf_.data(), static_cast<qint64>(buf_.size()));
  if (n < 0) {
    failed_ = true;
    return false;
  }
  if (n == 0) {
    eof_ = true;
    return false;
  }
  pos_ = 0;
  len_ = n;
  return true;
}

bool TextFileReader::readLine(std::string &line) {
  line.clear();
  bool any = false;
  for (;;) {
    if (pos_ == len_ && !refill())
      return any && !failed_;
    if (skipLineFeed_) {
      skipLineFeed_ = false;
      if (buf_[pos_] == '\n') {
        ++pos_;
        continue;
      }
    }
    const char *start = buf_.data() + pos_;
    const auto avail = static_cast<size_t>(len_ - pos_);
    const void *cr = std::memchr(start, '\r', avail);
    if (cr) {
      const auto n = static_cast<size_t>(static_cast<const char *>(cr) - start);
      line.append(start, n);
      pos_ += static_cast<qint64>(n) + 1;
      skipLineFeed_ = true;
      return true;
    }
    line.append(start, avail);
    pos_ = len_;
    any = true;
  }
}

TextFileWriter::TextFileWriter(const QString &path) : file_(path) {
  // Never fall back to writing the target in place.
  file_.setDirectWriteFallback(false);
}

bool TextFileWriter::fail() {
  if (error_.isEmpty())
    error_ = file_.errorString();
  cancel();
  return false;
}

bool TextFileWriter::open() {
  if (!file_.open(QIODevice::WriteOnly))
    return fail();
  return true;
}

bool TextFileWriter::writeLine(const std::string &line) {
  const auto size = static_cast<qint64>(line.size());
  if (size > 0 && file_.write(line.data(), size) != size)
    return fail();
  if (file_.write("\r\n", 2) != 2)
    return fail();
  return true;
}

bool TextFileWriter::commit() {
  // The last buffered block is flushed here and checked: commit() alone can
  // report success after that final write failed.
  if (!file_.flush() || file_.error() != QFileDevice::NoError)
    return fail();
  if (!file_.commit()) {
    error_ = file_.errorString();
    return false;
  }
  return true;
}

void TextFileWriter::cancel() {
  // cancelWriting() only marks the file; commit() is what removes the
  // temporary file at once, without touching the target.
  if (file_.isOpen()) {
    file_.cancelWriting();
    file_.commit();
  }
}

}  // namespace rekoda
