#include "platform/text_file.h"

#include "platform/file_name.h"
#include "platform/file_system.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>

#include <cerrno>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace rekoda {

#ifdef _WIN32

TextFileReader::~TextFileReader() {
  if (handle_)
    CloseHandle(static_cast<HANDLE>(handle_));
}

TextFileReader::OpenResult TextFileReader::open(const QString &path) {
  const std::wstring native = NativePath(path);
  const DWORD attributes = GetFileAttributesW(native.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    error_ = ErrorText(EISDIR);
    return OpenResult::NotPlain;
  }
  HANDLE h = CreateFileW(native.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    error_ = WindowsErrorText(code);
    return code == ERROR_TOO_MANY_OPEN_FILES ? OpenResult::NoHandle : OpenResult::Failed;
  }
  handle_ = h;
  if (GetFileType(h) != FILE_TYPE_DISK) {
    error_ = QStringLiteral("not a plain file");
    return OpenResult::NotPlain;
  }
  LARGE_INTEGER size;
  if (GetFileSizeEx(h, &size) && size.QuadPart > kMaxTextFileBytes) {
    error_ = QStringLiteral("file too large");
    return OpenResult::TooLarge;
  }
  return OpenResult::Ok;
}

long long TextFileReader::readSome() {
  DWORD n = 0;
  if (!ReadFile(static_cast<HANDLE>(handle_), buf_.data(), static_cast<DWORD>(buf_.size()), &n, nullptr)) {
    error_ = WindowsErrorText(GetLastError());
    return -1;
  }
  return n;
}

#else

TextFileReader::~TextFileReader() {
  if (fd_ >= 0)
    ::close(fd_);
}

TextFileReader::OpenResult TextFileReader::open(const QString &path) {
  // Without blocking: a pipe swapped in for a file must fail, not wait for
  // a writer that never comes.
  do {
    fd_ = ::open(EncodeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) {
    error_ = ErrorText(errno);
    return (errno == EMFILE || errno == ENFILE) ? OpenResult::NoHandle : OpenResult::Failed;
  }
  struct stat st;
  if (::fstat(fd_, &st) != 0) {
    error_ = ErrorText(errno);
    return OpenResult::Failed;
  }
  if (!S_ISREG(st.st_mode)) {
    error_ = S_ISDIR(st.st_mode) ? ErrorText(EISDIR) : QStringLiteral("not a plain file");
    return OpenResult::NotPlain;
  }
  if (st.st_size > kMaxTextFileBytes) {
    error_ = ErrorText(EFBIG);
    return OpenResult::TooLarge;
  }
  return OpenResult::Ok;
}

long long TextFileReader::readSome() {
  ssize_t n;
  do {
    n = ::read(fd_, buf_.data(), buf_.size());
  } while (n < 0 && errno == EINTR);
  if (n < 0)
    error_ = ErrorText(errno);
  return n;
}

#endif

bool TextFileReader::refill() {
  if (eof_ || failed_)
    return false;
  const long long n = readSome();
  failed_ = n < 0;
  eof_ = n == 0;
  if (n <= 0)
    return false;
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
      if (buf_[static_cast<size_t>(pos_)] == '\n') {
        ++pos_;
        continue;
      }
    }
    const char *start = buf_.data() + pos_;
    const char *end = buf_.data() + len_;
    const char *stop = start;
    while (stop != end && *stop != '\r' && *stop != '\n')
      ++stop;
    line.append(start, static_cast<size_t>(stop - start));
    if (stop != end) {
      skipLineFeed_ = *stop == '\r';
      pos_ = stop - buf_.data() + 1;
      return true;
    }
    pos_ = len_;
    any = true;
  }
}

}  // namespace rekoda
