#include "platform/text_file.h"

#include "platform/file_system.h"

#include <windows.h>

#include <cerrno>

namespace rekoda {

void TextFileReader::close() {
  if (handle_)
    CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}

TextFileReader::OpenResult TextFileReader::open(const QString &path) {
  const std::wstring native = NativePath(path);
  const DWORD attributes = GetFileAttributesW(native.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    status_ = Status::Failed(Status::Op::Open, EISDIR, path);
    return OpenResult::NotPlain;
  }
  // Reading is shared, writing is not: a file that a logger or a copy still
  // holds open for writing is not read half-written.
  HANDLE h = INVALID_HANDLE_VALUE;
  RetryWhileInUse(
      [&] {
        h = CreateFileW(native.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        return h != INVALID_HANDLE_VALUE;
      },
      false);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    status_ = Status::FromWindows(Status::Op::Open, code, path);
    return code == ERROR_TOO_MANY_OPEN_FILES ? OpenResult::NoHandle : OpenResult::Failed;
  }
  handle_ = h;
  if (GetFileType(h) != FILE_TYPE_DISK) {
    status_ = Status::Failed(Status::Op::NotPlain, 0, path);
    return OpenResult::NotPlain;
  }
  if (!stamp(openSize_, openChanged_)) {
    status_ = Status::FromWindows(Status::Op::Open, GetLastError(), path);
    return OpenResult::Failed;
  }
  if (openSize_ > kMaxTextFileBytes) {
    status_ = Status::Failed(Status::Op::Read, EFBIG, path);
    return OpenResult::TooLarge;
  }
  return OpenResult::Ok;
}

long long TextFileReader::readSome() {
  DWORD n = 0;
  if (!ReadFile(static_cast<HANDLE>(handle_), buf_.data(), static_cast<DWORD>(buf_.size()), &n, nullptr)) {
    status_ = Status::FromWindows(Status::Op::Read, GetLastError());
    return -1;
  }
  return n;
}

bool TextFileReader::stamp(long long &size, long long &changed) const {
  // The change time, which the file system sets on every write and no
  // program can set back (robocopy and Explorer keep the last-write time).
  FILE_STANDARD_INFO standard;
  FILE_BASIC_INFO basic;
  if (!GetFileInformationByHandleEx(static_cast<HANDLE>(handle_), FileStandardInfo, &standard, sizeof standard) ||
      !GetFileInformationByHandleEx(static_cast<HANDLE>(handle_), FileBasicInfo, &basic, sizeof basic))
    return false;
  size = standard.EndOfFile.QuadPart;
  changed = basic.ChangeTime.QuadPart;
  return true;
}

}  // namespace rekoda
