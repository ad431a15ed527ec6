#include "platform/durable_file.h"

#include "platform/file_name.h"
#include "platform/file_system.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace rekoda {

namespace {

std::atomic<unsigned> tempCounter{0};

// Hidden (leading dot) so that no "DF*.*" listing ever shows one.
const QString kTempPrefix = QStringLiteral(".rekoda-");
const QString kTempSuffix = QStringLiteral(".tmp");

QString nextTempName() {
#ifdef _WIN32
  const auto pid = static_cast<qint64>(GetCurrentProcessId());
#else
  const auto pid = static_cast<qint64>(::getpid());
#endif
  return kTempPrefix + QString::number(pid) + u'-' + QString::number(tempCounter.fetch_add(1)) +
         kTempSuffix;
}

void setError(QString *error, const QString &text) {
  if (error)
    *error = text;
}

bool refuse(QString *error) {
  setError(error, QString::fromLatin1(kDestinationExists));
  return false;
}

}  // namespace


bool WriteFileDurably(const QString &folder, const QString &name, const std::string &bytes,
                      QString *error) {
  DestinationFolder dir;
  if (!dir.open(folder, error))
    return false;
  StagedFile file(dir, name);
  if (!file.create(error) || !file.write(bytes.data(), bytes.size(), error))
    return false;
  file.startWriteback();
  if (!file.syncData(error))
    return false;
  return file.install(error) && dir.sync(error);
}

StagedFile::StagedFile(DestinationFolder &folder, const QString &name) : folder_(folder), name_(name) {}

StagedFile::~StagedFile() { discard(); }

#ifndef _WIN32

namespace {

bool isTemporaryFileName(const QString &name) {
  return name.startsWith(kTempPrefix) && name.endsWith(kTempSuffix);
}

bool namedForced() {
  static const bool fromEnv = qEnvironmentVariableIntValue("REKODA_TEST_NAMED_TEMPORARIES") == 1;
  return fromEnv;
}

int sysFail(QString *error) {
  setError(error, ErrorText(errno));
  return -1;
}

QByteArray nativeName(const QString &name) { return EncodeFileName(name); }

}  // namespace

DestinationFolder::~DestinationFolder() {
  if (fd_ >= 0)
    ::close(fd_);
}

bool DestinationFolder::isOpen() const { return fd_ >= 0; }

bool DestinationFolder::open(const QString &folder, QString *error) {
  path_ = folder;
  fd_ = ::open(EncodeFileName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0)
    return sysFail(error), false;
  // An unnamed temporary file can only be given a name through /proc.
  unnamedTemporaries_ = !namedForced() && ::access("/proc/self/fd", X_OK) == 0;
  return true;
}

void DestinationFolder::removeLeftovers() {
  if (fd_ < 0)
    return;
  const int listFd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listFd < 0)
    return;
  DIR *dir = ::fdopendir(listFd);
  if (!dir) {
    ::close(listFd);
    return;
  }
  while (const dirent *e = ::readdir(dir)) {
    if (!isTemporaryFileName(DecodeFileName(e->d_name)))
      continue;
    const int fd = ::openat(fd_, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
      continue;
    // A writer holds its temporary file locked until it is in place.
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlinkat(fd_, e->d_name, 0);
    ::close(fd);
  }
  ::closedir(dir);
}

bool DestinationFolder::sync(QString *error) {
  if (::fsync(fd_) == 0)
    return true;
  // Some file systems (FUSE, some network shares) cannot sync a folder at
  // all; each file's data was synced, and there is nothing more to ask for.
  if (errno == EINVAL || errno == ENOTSUP || errno == EOPNOTSUPP)
    return true;
  return sysFail(error), false;
}

bool StagedFile::create(QString *error) {
  discard();
#ifdef O_TMPFILE
  if (folder_.unnamedTemporaries_) {
    fd_ = ::openat(folder_.fd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      // Locked for the moment it carries a hidden name before the rename.
      ::flock(fd_, LOCK_EX | LOCK_NB);
      return true;
    }
    // Not on this file system: named ones from now on. Any other failure
    // (a folder removed under the run gives EPERM here) is told by the named
    // attempt below in plainer words.
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
      folder_.unnamedTemporaries_ = false;
  }
#endif
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString temp = nextTempName();
    fd_ = ::openat(folder_.fd_, nativeName(temp).constData(),
                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      tempName_ = temp;
      // Held until the file is in place, so that no cleanup takes it away.
      ::flock(fd_, LOCK_EX | LOCK_NB);
      return true;
    }
    if (errno != EEXIST)
      return sysFail(error), false;
  }
  return sysFail(error), false;
}

bool StagedFile::write(const char *data, std::size_t size, QString *error) {
  while (size > 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return sysFail(error), false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void StagedFile::startWriteback() {
#if defined(__linux__) && defined(SYNC_FILE_RANGE_WRITE)
  if (fd_ >= 0)
    ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

bool StagedFile::syncData(QString *error) {
  int rc;
  do {
    rc = ::fdatasync(fd_);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0)
    return sysFail(error), false;
  synced_ = true;
  return true;
}

bool StagedFile::install(QString *error, const QSet<QString> *keep) {
  if (fd_ < 0 || !synced_) {
    setError(error, QStringLiteral("the file was not written"));
    return false;
  }
  const QByteArray target = nativeName(name_);
  struct stat st;
  bool targetExists = false;
  if (::fstatat(folder_.fd_, target.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!S_ISREG(st.st_mode) || (keep && keep->contains(FileIdentityText(st.st_dev, st.st_ino))))
      return refuse(error);
    targetExists = true;
  } else if (errno != ENOENT) {
    return sysFail(error), false;
  }
  if (::fstat(fd_, &st) == 0)
    identity_ = FileIdentityText(st.st_dev, st.st_ino);

  bool linkedAsTarget = false;
  if (tempName_.isEmpty()) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
    // A new name takes the file in one step; an existing one is replaced
    // through a hidden name and a rename, which never leaves the target
    // missing or half there.
    if (!targetExists &&
        ::linkat(AT_FDCWD, self.constData(), folder_.fd_, target.constData(), AT_SYMLINK_FOLLOW) == 0) {
      linkedAsTarget = true;
    } else if (!targetExists && errno != EEXIST) {
      return sysFail(error), false;
    } else {
      for (int attempt = 0; attempt < 100 && tempName_.isEmpty(); ++attempt) {
        const QString temp = nextTempName();
        if (::linkat(AT_FDCWD, self.constData(), folder_.fd_, nativeName(temp).constData(),
                     AT_SYMLINK_FOLLOW) == 0)
          tempName_ = temp;
        else if (errno != EEXIST)
          return sysFail(error), false;
      }
      if (tempName_.isEmpty())
        return sysFail(error), false;
    }
  }

  // The lock goes with the close: a cleanup may now take the temporary file,
  // which is why the rename below checks its own result.
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int closeErr = errno;
    if (linkedAsTarget)
      ::unlinkat(folder_.fd_, target.constData(), 0);
    discard();
    setError(error, ErrorText(closeErr));
    return false;
  }
  if (linkedAsTarget)
    return true;
  if (::renameat(folder_.fd_, nativeName(tempName_).constData(), folder_.fd_, target.constData()) != 0) {
    sysFail(error);
    discard();
    return false;
  }
  tempName_.clear();
  return true;
}

void StagedFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!tempName_.isEmpty()) {
    ::unlinkat(folder_.fd_, nativeName(tempName_).constData(), 0);
    tempName_.clear();
  }
  synced_ = false;
}

#else  // _WIN32

namespace {

QString lastErrorText() { return WindowsErrorText(GetLastError()); }

}  // namespace

DestinationFolder::~DestinationFolder() = default;

bool DestinationFolder::isOpen() const { return open_; }

bool DestinationFolder::open(const QString &folder, QString *error) {
  path_ = folder;
  const DWORD attributes = GetFileAttributesW(NativePath(folder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    setError(error, lastErrorText());
    return false;
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetLastError(ERROR_DIRECTORY);
    setError(error, lastErrorText());
    return false;
  }
  open_ = true;
  return true;
}

void DestinationFolder::removeLeftovers() {
  WIN32_FIND_DATAW found;
  const std::wstring pattern = NativePath(JoinPath(path_, kTempPrefix + u'*' + kTempSuffix));
  HANDLE h = FindFirstFileW(pattern.c_str(), &found);
  if (h == INVALID_HANDLE_VALUE)
    return;
  do {
    // A temporary file still being written is open without delete sharing,
    // so DeleteFile fails on it and it stays.
    DeleteFileW(NativePath(JoinPath(path_, QString::fromWCharArray(found.cFileName))).c_str());
  } while (FindNextFileW(h, &found));
  FindClose(h);
}

// MoveFileEx with MOVEFILE_WRITE_THROUGH returns only once the rename is on
// disk, so the folder needs no sync of its own.
bool DestinationFolder::sync(QString *) { return true; }

bool StagedFile::create(QString *error) {
  discard();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString temp = nextTempName();
    // Not marked hidden: the mark would stay on the file after the rename.
    // The leading dot keeps it out of every listing of exports.
    HANDLE h = CreateFileW(NativePath(JoinPath(folder_.path_, temp)).c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      handle_ = h;
      tempName_ = temp;
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) {
      setError(error, lastErrorText());
      return false;
    }
  }
  setError(error, lastErrorText());
  return false;
}

bool StagedFile::write(const char *data, std::size_t size, QString *error) {
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(static_cast<HANDLE>(handle_), data, chunk, &written, nullptr)) {
      setError(error, lastErrorText());
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

void StagedFile::startWriteback() {}

bool StagedFile::syncData(QString *error) {
  if (!FlushFileBuffers(static_cast<HANDLE>(handle_))) {
    setError(error, lastErrorText());
    return false;
  }
  synced_ = true;
  return true;
}

bool StagedFile::install(QString *error, const QSet<QString> *keep) {
  if (!handle_ || !synced_) {
    setError(error, QStringLiteral("the file was not written"));
    return false;
  }
  const QString targetPath = JoinPath(folder_.path_, name_);
  const Entry existing = PathEntry(targetPath);
  if (existing.kind == EntryKind::Other ||
      (keep && existing.kind == EntryKind::Plain && keep->contains(existing.identity)))
    return refuse(error);
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(static_cast<HANDLE>(handle_), &info))
    identity_ = FileIdentityText(info.dwVolumeSerialNumber,
                                 (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
  if (!CloseHandle(static_cast<HANDLE>(handle_))) {
    handle_ = nullptr;
    setError(error, lastErrorText());
    discard();
    return false;
  }
  handle_ = nullptr;
  const std::wstring temp = NativePath(JoinPath(folder_.path_, tempName_));
  if (!MoveFileExW(temp.c_str(), NativePath(targetPath).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    setError(error, lastErrorText());
    discard();
    return false;
  }
  tempName_.clear();
  return true;
}

void StagedFile::discard() {
  if (handle_) {
    CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
  }
  if (!tempName_.isEmpty()) {
    DeleteFileW(NativePath(JoinPath(folder_.path_, tempName_)).c_str());
    tempName_.clear();
  }
  synced_ = false;
}

#endif

}  // namespace rekoda
