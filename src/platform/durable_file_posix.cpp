#include "platform/durable_file.h"

#include "platform/file_name.h"
#include "platform/file_system.h"

#include <QByteArray>

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
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

bool processRuns(long long pid) {
  if (pid <= 0 || pid != static_cast<pid_t>(pid))
    return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

// Puts a named file at a new name and never over one that appeared there
// meanwhile. False with errno set; EEXIST when the name is taken. What the
// file system cannot do is asked once per folder, not once per file.
bool DestinationFolder::renameNoReplace(const char *from, const char *to) {
#ifdef RENAME_NOREPLACE
  if (canRenameNoReplace_) {
    if (::renameat2(fd_, from, fd_, to, RENAME_NOREPLACE) == 0)
      return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP && errno != EOPNOTSUPP)
      return false;
    canRenameNoReplace_ = false;
  }
#endif
  // Without it: a hard link fails on a taken name, and the hidden name goes.
  if (canLink_) {
    if (::linkat(fd_, from, fd_, to, 0) == 0) {
      ::unlinkat(fd_, from, 0);
      return true;
    }
    if (errno == EEXIST || (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EMLINK))
      return false;
    canLink_ = false;
  }
  // No hard links either (FAT, exFAT): the last look is as close as it gets.
  struct stat st;
  if (::fstatat(fd_, to, &st, AT_SYMLINK_NOFOLLOW) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::renameat(fd_, from, fd_, to) == 0;
}

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
  constexpr long kFuseMagic = 0x65735546;
  struct statfs fs;
  const bool fuse = ::fstatfs(fd_, &fs) == 0 && fs.f_type == kFuseMagic;
  writebackHints_ = !fuse;
  // An unnamed temporary file can only be given a name through /proc; FUSE
  // has none.
  unnamedTemporaries_ = temporaries == Temporaries::Any && !namedForced() && !fuse &&
                        ::access("/proc/self/fd", X_OK) == 0;
  return true;
}

void DestinationFolder::beginRun(const QStringList &names) {
  if (fd_ < 0)
    return;
  // Alone in the folder: no other run's temporary can be in the making.
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
    removeLeftovers(names);
  // Shared from here on. A clean-up holds the folder for a moment only.
  for (int attempt = 0; attempt < 50 && ::flock(fd_, LOCK_SH | LOCK_NB) != 0; ++attempt)
    ::usleep(20000);
}

void DestinationFolder::removeLeftovers(const QStringList &names) {
  for (const QString &name : names) {
    // A writer on another machine of a shared folder may not see the lock;
    // its process number does not run here either, and the name waits.
    const auto owner = TemporaryFileOwner(name);
    if (!owner || *owner == ownPid() || processRuns(*owner))
      continue;
    const QByteArray native = EncodeFileName(name);
    struct stat st;
    if (::fstatat(fd_, native.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
      ::unlinkat(fd_, native.constData(), 0);
  }
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
    if (fd_ >= 0)
      return true;
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
  if (fd_ >= 0 && folder_.writebackHints_)
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

bool StagedFile::install(QString *error, const QString *replaces, bool toTrash, Replacement *replacement) {
  if (fd_ < 0 || !synced_) {
    if (error)
      *error = QStringLiteral("the file was not written");
    return false;
  }
  const QByteArray target = EncodeFileName(name_);
  // A free name needs no look: taking it fails if it is taken.
  bool replacing = false;
  if (replaces) {
    struct stat st;
    if (::fstatat(folder_.fd_, target.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
      if (!S_ISREG(st.st_mode) || FileIdentityText(st.st_dev, st.st_ino) != *replaces)
        return refuse(error);
      replacing = true;
    } else if (errno != ENOENT) {
      return fail(error);
    }
  }
  if (replacing && toTrash) {
    if (!MoveToTrash(JoinPath(folder_.path_, name_), error, replacement ? &replacement->trashedAs : nullptr))
      return false;
    replacing = false;  // the name is free now, and taken only if it stays so
    if (replacement)
      replacement->happened = true;
  }

  bool linkedAsTarget = false;
  if (tempName_.isEmpty()) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
    if (!replacing) {
      // A new name takes the file in one step.
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

  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int closeErr = errno;
    if (linkedAsTarget)
      ::unlinkat(folder_.fd_, target.constData(), 0);
    discard();
    return fail(error, closeErr);
  }
  if (linkedAsTarget)
    return true;
  const QByteArray temp = EncodeFileName(tempName_);
  const bool renamed = replacing ? ::renameat(folder_.fd_, temp.constData(), folder_.fd_, target.constData()) == 0
                                 : folder_.renameNoReplace(temp.constData(), target.constData());
  if (!renamed) {
    const int renameErr = errno;
    discard();
    return renameErr == EEXIST ? refuse(error) : fail(error, renameErr);
  }
  tempName_.clear();
  if (replacing && replacement)
    replacement->happened = true;
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
