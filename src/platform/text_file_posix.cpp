#include "platform/text_file.h"

#include "platform/file_name.h"
#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace rekoda {

namespace {

long long changedAt(const struct stat &st) { return st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec; }

}  // namespace

void TextFileReader::close() {
  if (fd_ >= 0)
    ::close(fd_);
  fd_ = -1;
}

TextFileReader::OpenResult TextFileReader::open(const QString &path) {
  // A pipe, a socket or a device is never opened: opening one may wait, or
  // do what the device does on an open.
  struct stat seen;
  if (::stat(EncodeFileName(path).constData(), &seen) == 0 && !S_ISREG(seen.st_mode) && !S_ISDIR(seen.st_mode)) {
    status_ = Status::Failed(Status::Op::NotPlain, 0, path);
    return OpenResult::NotPlain;
  }
  // Without blocking: a pipe swapped in for a file must fail, not wait for
  // a writer that never comes.
  do {
    fd_ = ::open(EncodeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) {
    const int err = errno;  // before anything else may change it
    status_ = Status::Failed(Status::Op::Open, err, path);
    return (err == EMFILE || err == ENFILE) ? OpenResult::NoHandle : OpenResult::Failed;
  }
  struct stat st;
  if (::fstat(fd_, &st) != 0) {
    status_ = Status::Failed(Status::Op::Open, errno, path);
    return OpenResult::Failed;
  }
  if (!S_ISREG(st.st_mode)) {
    status_ = S_ISDIR(st.st_mode) ? Status::Failed(Status::Op::Open, EISDIR, path)
                                  : Status::Failed(Status::Op::NotPlain, 0, path);
    return OpenResult::NotPlain;
  }
  if (st.st_size > kMaxTextFileBytes) {
    status_ = Status::Failed(Status::Op::Read, EFBIG, path);
    return OpenResult::TooLarge;
  }
  openSize_ = st.st_size;
  openChanged_ = changedAt(st);
  return OpenResult::Ok;
}

long long TextFileReader::readSome() {
  ssize_t n;
  do {
    n = ::read(fd_, buf_.data(), buf_.size());
  } while (n < 0 && errno == EINTR);
  if (n < 0)
    status_ = Status::Failed(Status::Op::Read, errno);
  return n;
}

bool TextFileReader::stamp(long long &size, long long &changed) const {
  struct stat st;
  if (::fstat(fd_, &st) != 0)
    return false;
  size = st.st_size;
  changed = changedAt(st);
  return true;
}

}  // namespace rekoda
