#include "platform/durable_file.h"

#include "platform/file_name.h"
#include "platform/file_system.h"

#include <QByteArray>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace rekoda {

namespace {

std::atomic<unsigned long long> tempCounter{0};

long long ownPid() {
  static const long long pid = ::getpid();
  return pid;
}

QByteArray nextTempName(QString *name) {
  *name = TemporaryFileName(ownPid(), tempCounter.fetch_add(1));
  return EncodeFileName(*name);
}

bool namedForced() {
  static const bool fromEnv = qEnvironmentVariableIntValue("REKODA_TEST_NAMED_TEMPORARIES") == 1;
  return fromEnv;
}

bool fail(QString *error, int err = errno) {
  if (error)
    *error = ErrorText(err);
  return false;
}

bool refuse(QString *error) {
  if (error)
    *error = QString::fromLatin1(kDestinationExists);
  return false;
}

bool processRuns(long long pid) {
  if (pid <= 0 || pid != static_cast<pid_t>(pid))
    return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Puts a named file at a new name and never over one that appeared there
// meanwhile. False with errno set; EEXIST when the name is taken.
bool renameNoReplace(int dirFd, const char *from, const char *to) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(dirFd, from, dirFd, to, RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP && errno != EOPNOTSUPP)
    return false;
#endif
  // Without it: a hard link fails on a taken name, and the hidden name goes.
  if (::linkat(dirFd, from, dirFd, to, 0) == 0) {
    ::unlinkat(dirFd, from, 0);
    return true;
  }
  if (errno == EEXIST || (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EMLINK))
    return false;
  // No hard links either (FAT, exFAT): the last look is as close as it gets.
  struct stat st;
  if (::fstatat(dirFd, to, &st, AT_SYMLINK_NOFOLLOW) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::renameat(dirFd, from, dirFd, to) == 0;
}

}  // namespace

DestinationFolder::~DestinationFolder() {
  if (fd_ >= 0)
    ::close(fd_);
}

bool DestinationFolder::isOpen() const { return fd_ >= 0; }

bool DestinationFolder::open(const QString &folder, QString *error, Temporaries temporaries) {
  path_ = folder;
  fd_ = ::open(EncodeFileName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0)
    return fail(error);
  // An unnamed temporary file can only be given a name through /proc.
  unnamedTemporaries_ = temporaries == Temporaries::Any && !namedForced() && ::access("/proc/self/fd", X_OK) == 0;
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
    const auto owner = TemporaryFileOwner(DecodeFileName(e->d_name));
    if (!owner || *owner == ownPid() || processRuns(*owner))
      continue;
    const int fd = ::openat(fd_, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
      continue;
    // A writer on another machine of a shared folder holds its lock.
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlinkat(fd_, e->d_name, 0);
    ::close(fd);
  }
  ::closedir(dir);
}

bool DestinationFolder::sync(QString *error) {
  int rc;
  do {
    rc = ::fsync(fd_);
  } while (rc != 0 && errno == EINTR);
  if (rc == 0)
    return true;
  // Some file systems (FUSE, some network shares) cannot sync a folder at
  // all; each file's data was synced, and there is nothing more to ask for.
  if (errno == EINVAL || errno == ENOTSUP || errno == EOPNOTSUPP)
    return true;
  return fail(error);
}

bool StagedFile::create(QString *error) {
  discard();
  outOfHandles_ = false;
#ifdef O_TMPFILE
  if (folder_.unnamedTemporaries_) {
    fd_ = ::openat(folder_.fd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      // Locked for the moment it carries a hidden name before the rename.
      ::flock(fd_, LOCK_EX | LOCK_NB);
      return true;
    }
    outOfHandles_ = errno == EMFILE || errno == ENFILE;
    if (outOfHandles_)
      return fail(error);
    // Not on this file system: named ones from now on. Any other failure
    // (a folder removed under the run gives EPERM here) is told by the named
    // attempt below in plainer words.
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
      folder_.unnamedTemporaries_ = false;
  }
#endif
  for (int attempt = 0; attempt < 100; ++attempt) {
    QString temp;
    const QByteArray native = nextTempName(&temp);
    fd_ = ::openat(folder_.fd_, native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      tempName_ = temp;
      // Held until the file is installed or discarded, so that no clean-up
      // takes it away.
      ::flock(fd_, LOCK_EX | LOCK_NB);
      return true;
    }
    if (errno != EEXIST) {
      outOfHandles_ = errno == EMFILE || errno == ENFILE;
      return fail(error);
    }
  }
  return fail(error);
}

bool StagedFile::write(const char *data, std::size_t size, QString *error) {
  while (size > 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)  // a write that takes nothing would never end
      return fail(error, n < 0 ? errno : EIO);
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
    return fail(error);
  synced_ = true;
  return true;
}

bool StagedFile::install(QString *error, const WrittenFiles *own) {
  if (fd_ < 0 || !synced_) {
    if (error)
      *error = QStringLiteral("the file was not written");
    return false;
  }
  const QByteArray target = EncodeFileName(name_);
  struct stat st;
  bool targetExists = false;
  if (::fstatat(folder_.fd_, target.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!S_ISREG(st.st_mode) || (own && own->isOwn(FileIdentityText(st.st_dev, st.st_ino), name_)))
      return refuse(error);
    targetExists = true;
  } else if (errno != ENOENT) {
    return fail(error);
  }
  if (::fstat(fd_, &st) == 0)
    identity_ = FileIdentityText(st.st_dev, st.st_ino);

  bool linkedAsTarget = false;
  if (tempName_.isEmpty()) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
    if (!targetExists) {
      // A new name takes the file in one step, and never over a name that
      // appeared since the look above.
      if (::linkat(AT_FDCWD, self.constData(), folder_.fd_, target.constData(), AT_SYMLINK_FOLLOW) != 0)
        return errno == EEXIST ? refuse(error) : fail(error);
      linkedAsTarget = true;
    } else {
      // An existing one is replaced through a hidden name and a rename,
      // which never leaves the target missing or half there.
      for (int attempt = 0; attempt < 100 && tempName_.isEmpty(); ++attempt) {
        QString temp;
        const QByteArray native = nextTempName(&temp);
        if (::linkat(AT_FDCWD, self.constData(), folder_.fd_, native.constData(), AT_SYMLINK_FOLLOW) == 0)
          tempName_ = temp;
        else if (errno != EEXIST)
          return fail(error);
      }
      if (tempName_.isEmpty())
        return fail(error);
    }
  }

  // The lock lives as long as any descriptor of the open file: a second one
  // keeps it past the close below, whose own failure is still seen.
  const int lockFd = tempName_.isEmpty() ? -1 : ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int closeErr = errno;
    if (linkedAsTarget)
      ::unlinkat(folder_.fd_, target.constData(), 0);
    discard();
    if (lockFd >= 0)
      ::close(lockFd);
    return fail(error, closeErr);
  }
  if (linkedAsTarget)
    return true;
  const QByteArray temp = EncodeFileName(tempName_);
  const bool renamed = targetExists
                           ? ::renameat(folder_.fd_, temp.constData(), folder_.fd_, target.constData()) == 0
                           : renameNoReplace(folder_.fd_, temp.constData(), target.constData());
  const int renameErr = errno;
  if (renamed)
    tempName_.clear();
  else
    discard();
  if (lockFd >= 0)
    ::close(lockFd);
  if (!renamed)
    return renameErr == EEXIST ? refuse(error) : fail(error, renameErr);
  return true;
}

void StagedFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!tempName_.isEmpty()) {
    ::unlinkat(folder_.fd_, EncodeFileName(tempName_).constData(), 0);
    tempName_.clear();
  }
  synced_ = false;
}

}  // namespace rekoda
