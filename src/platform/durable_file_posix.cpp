#include "platform/durable_file.h"

#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/interrupted.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <atomic>
#include <utility>
#include <cstdlib>
#include <cstring>
#include <cerrno>

namespace rekoda {

namespace {

// From a point of its own, so that a new run whose process number is that
// of a killed one (pid 1 in a container, every time) does not meet the
// names it left.
std::atomic<unsigned long long> tempCounter{QRandomGenerator::global()->bounded(1u << 30)};

long long ownPid() {
  static const long long pid = ::getpid();
  return pid;
}

// A new temporary name, and its bytes.
std::pair<QString, QByteArray> nextTempName() {
  const QString name = TemporaryFileName(ownPid(), tempCounter.fetch_add(1));
  return {name, EncodeFileName(name)};
}

// How long a run waits for another one's clean-up of the folder.
constexpr int kFolderLockWaitMs = 30000;

bool namedForced() {
  static const bool fromEnv = qEnvironmentVariableIntValue("REKODA_TEST_NAMED_TEMPORARIES") == 1;
  return fromEnv;
}

Status failed(Status::Op op, int err = errno) { return Status::Failed(op, err); }

// Held by its writer for as long as it is written: the mark of a live
// temporary that the next run's clean-up goes by. A file system without
// locks leaves it unmarked; the run's lock on the folder still guards it.
void lockTemporary(int fd) { (void)::flock(fd, LOCK_EX | LOCK_NB); }

// What a file system answers for a rename flag it does not know.
bool unsupported(int err) { return err == EINVAL || err == ENOSYS || err == ENOTSUP || err == EOPNOTSUPP; }

// A file made without a name (O_TMPFILE) gets one: a new name takes it in
// one step; a file to be replaced gets a hidden name first, for a rename
// that never leaves the target missing or half there.
enum class Linked { AsTarget, AsTemporary, Taken, Failed };
Linked linkUnnamed(int fd, int folderFd, const QByteArray &target, bool replacing, QString &tempName) {
  const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
  if (!replacing) {
    if (Uninterrupted([&] {
          return ::linkat(AT_FDCWD, self.constData(), folderFd, target.constData(), AT_SYMLINK_FOLLOW);
        }) != 0)
      return errno == EEXIST ? Linked::Taken : Linked::Failed;
    return Linked::AsTarget;
  }
  lockTemporary(fd);  // before it has a name that a clean-up could see
  for (int attempt = 0; attempt < 100 && tempName.isEmpty(); ++attempt) {
    const auto next = nextTempName();
    const QString &temp = next.first;
    const QByteArray &native = next.second;
    if (Uninterrupted([&] {
          return ::linkat(AT_FDCWD, self.constData(), folderFd, native.constData(), AT_SYMLINK_FOLLOW);
        }) == 0)
      tempName = temp;
    else if (errno != EEXIST)
      return Linked::Failed;
  }
  return tempName.isEmpty() ? Linked::Failed : Linked::AsTemporary;
}

}  // namespace

// The file a swap took out of its name; one that will not go now is tried
// again at the group's sync, and else left to the next run's clean-up
// (no writer holds it).
void DestinationFolderSystem::removeReplaced(const char *name) {
  for (int attempt = 0; attempt < 2; ++attempt)
    if (Uninterrupted([&] { return ::unlinkat(fd_, name, 0); }) == 0 || errno == ENOENT)
      return;
  unremoved_.push_back(QByteArray(name));
}

void DestinationFolderSystem::retryUnremoved() {
  std::vector<QByteArray> left;
  for (const QByteArray &name : unremoved_)
    if (Uninterrupted([&] { return ::unlinkat(fd_, name.constData(), 0); }) != 0 && errno != ENOENT)
      left.push_back(name);
  unremoved_.swap(left);
}

QByteArray DestinationFolderSystem::keepOthersFile(const char *from, const char *to) {
  // Under a hidden name it would look like a leftover to the next run's
  // clean-up: a name of its own beside it, never over a file there, moved
  // or else linked (a second name keeps it whatever becomes of the first).
  for (int n = 1; n < 100; ++n) {
    QByteArray kept = QByteArray(to) + ".other" + (n == 1 ? QByteArray() : '.' + QByteArray::number(n));
    if (renameNoReplace(from, kept.constData()))
      return kept;
    if (errno != EEXIST &&
        Uninterrupted([&] { return ::linkat(fd_, from, fd_, kept.constData(), 0); }) == 0) {
      Uninterrupted([&] { return ::unlinkat(fd_, from, 0); });
      return kept;
    }
  }
  return QByteArray(from);
}

Status DestinationFolderSystem::replaceExactly(const QString &folder, const char *from, const char *to,
                                               const QString &identity, bool *othersAtFrom) {
  // A name that is free is taken only while it is free.
  const auto takeIfFree = [&] {
    return renameNoReplace(from, to) ? Status() : errno == EEXIST ? StagedFile::refuse() : failed(Status::Op::Rename);
  };
#ifdef RENAME_EXCHANGE
  if (canExchange_) {
    if (Uninterrupted([&] { return ::renameat2(fd_, from, fd_, to, RENAME_EXCHANGE); }) == 0) {
      // The new file has the name; the one that had it is at from now.
      struct stat st;
      if (::fstatat(fd_, from, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
          FileIdentityText(st.st_dev, st.st_ino) == identity) {
        removeReplaced(from);
        return {};
      }
      // Someone else's file took the name at the last moment: it gets it back.
      if (Uninterrupted([&] { return ::renameat2(fd_, from, fd_, to, RENAME_EXCHANGE); }) != 0) {
        const int err = errno;
        *othersAtFrom = true;  // the hidden name is not ours any more either way
        const QByteArray kept = keepOthersFile(from, to);
        return Status::Failed(Status::Op::SwapBack, err, JoinPath(folder, DecodeFileName(kept)));
      }
      return StagedFile::refuse();
    }
    if (errno == ENOENT)
      return takeIfFree();  // gone since it was seen
    if (!unsupported(errno))
      return failed(Status::Op::Rename);
    canExchange_ = false;
  }
#endif
  // No swap on this file system (FUSE, some network shares): the last look
  // is as close as it gets.
  struct stat st;
  if (::fstatat(fd_, to, &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!S_ISREG(st.st_mode) || FileIdentityText(st.st_dev, st.st_ino) != identity)
      return StagedFile::refuse();
  } else if (errno == ENOENT) {
    return takeIfFree();
  }
  return Uninterrupted([&] { return ::renameat(fd_, from, fd_, to); }) == 0 ? Status() : failed(Status::Op::Rename);
}

// Puts a named file at a new name and never over one that appeared there
// meanwhile. False with errno set; EEXIST when the name is taken. What the
// file system cannot do is asked once per folder, not once per file.
bool DestinationFolderSystem::renameNoReplace(const char *from, const char *to) {
#ifdef RENAME_NOREPLACE
  if (canRenameNoReplace_) {
    if (Uninterrupted([&] { return ::renameat2(fd_, from, fd_, to, RENAME_NOREPLACE); }) == 0)
      return true;
    if (!unsupported(errno))
      return false;
    canRenameNoReplace_ = false;
  }
#endif
  // Without it: a hard link fails on a taken name, and the hidden name goes.
  if (canLink_) {
    if (Uninterrupted([&] { return ::linkat(fd_, from, fd_, to, 0); }) == 0) {
      Uninterrupted([&] { return ::unlinkat(fd_, from, 0); });
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
  return Uninterrupted([&] { return ::renameat(fd_, from, fd_, to); }) == 0;
}

DestinationFolder::~DestinationFolder() {
  if (fd_ >= 0) {
    retryUnremoved();
    ::close(fd_);
  }
}

bool DestinationFolder::isOpen() const { return fd_ >= 0; }

Status DestinationFolder::open(const QString &folder, Temporaries temporaries) {
  path_ = folder;
  fd_ = Uninterrupted([&] { return ::open(EncodeFileName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
  if (fd_ < 0)
    return Status::Failed(Status::Op::Open, errno, folder);
  struct stat st;
  if (::fstat(fd_, &st) == 0)
    identity_ = FileIdentityText(st.st_dev, st.st_ino);
  constexpr long kFuseMagic = 0x65735546;
  struct statfs fs;
  const bool known = ::fstatfs(fd_, &fs) == 0;
  const bool fuse = known && fs.f_type == kFuseMagic;
  writebackHints_ = !fuse;
  // Where syncfs writes back every dirty file and flushes the disk's cache.
  // Not FUSE (it may do nothing), not FAT or exFAT (no cache flush), not a
  // network file system.
  constexpr long kExt4 = 0xEF53, kXfs = 0x58465342, kBtrfs = 0x9123683E;
  volumeSyncs_ = known && (fs.f_type == kExt4 || fs.f_type == kXfs || fs.f_type == kBtrfs);
  // An unnamed temporary file can only be given a name through /proc; FUSE
  // has none.
  unnamedTemporaries_ = temporaries == Temporaries::Any && !namedForced() && !fuse &&
                        ::access("/proc/self/fd", X_OK) == 0;
  return {};
}

Status DestinationFolder::beginRun(const QStringList &names) {
  if (fd_ < 0)
    return {};
  // Alone in the folder: no other run's temporary can be in the making.
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
    removeLeftovers(names);
  // Shared from here on. A clean-up holds the folder only while it removes
  // what a killed run left: that is waited for, never gone past.
  for (int waited = 0;; waited += 20) {
    if (Uninterrupted([&] { return ::flock(fd_, LOCK_SH | LOCK_NB); }) == 0)
      return {};
    // A file system without locks (some network shares): none can hold it.
    if (errno != EWOULDBLOCK)
      return {};
    if (waited >= kFolderLockWaitMs)
      return Status::Failed(Status::Op::FolderHeld, EWOULDBLOCK, path_);
    ::usleep(20000);
  }
}

void DestinationFolder::removeLeftovers(const QStringList &names) {
  // Alone in the folder, a temporary is a leftover unless its writer still
  // holds it: a lock, which a reused process number cannot fake (a run in
  // a container is pid 1 every time).
  for (const QString &name : names) {
    if (!TemporaryFileOwner(name))
      continue;
    const QByteArray native = EncodeFileName(name);
    const int fd = Uninterrupted(
        [&] { return ::openat(fd_, native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC); });
    if (fd < 0)
      continue;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlinkat(fd_, native.constData(), 0);
    ::close(fd);
  }
}

bool DestinationFolder::syncsVolume() const { return volumeSyncs_; }

namespace {

// Whether other programs have much data waiting to be written: a sync of
// the whole volume would wait for theirs too, and each file's own sync is
// then quicker (measured beside a program writing a large file).
bool othersWriting() {
  const int fd = ::open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  char text[4096];
  const ssize_t n = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  if (n <= 0)
    return false;
  text[n] = '\0';
  long long kb = 0;
  for (const char *key : {"\nDirty:", "\nWriteback:"})
    if (const char *at = std::strstr(text, key))
      kb += std::atoll(at + std::strlen(key));
  return kb > 8LL * 1024;
}

}  // namespace

bool DestinationFolder::syncVolume() {
  if (!volumeSyncs_ || othersWriting())
    return false;
  int rc;
  do {
    rc = ::syncfs(fd_);
  } while (rc != 0 && errno == EINTR);
  return rc == 0;
}

Status DestinationFolder::sync() {
  if (!unremoved_.empty())
    retryUnremoved();
  if (Uninterrupted([&] { return ::fsync(fd_); }) == 0)
    return {};
  // Some file systems (FUSE, some network shares) cannot sync a folder at
  // all; each file's data was synced, and there is nothing more to ask for.
  if (errno == EINVAL || errno == ENOTSUP || errno == EOPNOTSUPP)
    return {};
  return Status::Failed(Status::Op::Sync, errno, path_);
}

Status StagedFile::create() {
  discard();
  outOfHandles_ = false;
#ifdef O_TMPFILE
  if (folder_.unnamedTemporaries_) {
    fd_ = Uninterrupted([&] { return ::openat(folder_.fd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666); });
    if (fd_ >= 0)
      return {};  // no name, so nothing to clean up after a crash: no lock either
    outOfHandles_ = errno == EMFILE || errno == ENFILE;
    if (outOfHandles_)
      return failed(Status::Op::Open);
    // Not on this file system: named ones from now on. Any other failure
    // (a folder removed under the run gives EPERM here) is told by the named
    // attempt below in plainer words.
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
      folder_.unnamedTemporaries_ = false;
  }
#endif
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto next = nextTempName();
    const QString &temp = next.first;
    const QByteArray &native = next.second;
    fd_ = Uninterrupted([&] {
      return ::openat(folder_.fd_, native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    });
    if (fd_ >= 0) {
      tempName_ = temp;
      lockTemporary(fd_);
      return {};
    }
    if (errno != EEXIST) {
      outOfHandles_ = errno == EMFILE || errno == ENFILE;
      return failed(Status::Op::Open);
    }
  }
  return failed(Status::Op::Open);
}

Status StagedFile::write(const char *data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = Uninterrupted([&] { return ::write(fd_, data, size); });
    if (n <= 0)  // a write that takes nothing would never end
      return failed(Status::Op::Write, n < 0 ? errno : EIO);
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return {};
}

void StagedFile::startWriteback() {
#if defined(__linux__) && defined(SYNC_FILE_RANGE_WRITE)
  if (fd_ >= 0 && folder_.writebackHints_)
    ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

Status StagedFile::syncData() {
  if (Uninterrupted([&] { return ::fdatasync(fd_); }) != 0)
    return failed(Status::Op::Sync);
  synced_ = true;
  return {};
}

bool StagedFile::isWritten() const { return fd_ >= 0; }

QString StagedFile::identity() const {
  struct stat st;
  return fd_ >= 0 && ::fstat(fd_, &st) == 0 ? FileIdentityText(st.st_dev, st.st_ino) : QString();
}

Status StagedFile::holdTarget(const QString &identity, Entry *target) {
  switch (const int err = held_.hold(folder_.fd_, EncodeFileName(name_).constData(), identity)) {
    case 0:
      *target = {EntryKind::Plain, identity};
      return {};
    case ENOENT:
      *target = {};
      return {};
    case EEXIST:
      *target = {EntryKind::Other, {}};
      return {};
    default:
      return failed(Status::Op::Open, err);
  }
}

void StagedFile::releaseTarget() { held_.release(); }

Status StagedFile::putInPlace(const QString *replaces) {
  const QByteArray target = EncodeFileName(name_);
  bool linkedAsTarget = false;
  if (tempName_.isEmpty()) {
    switch (linkUnnamed(fd_, folder_.fd_, target, replaces != nullptr, tempName_)) {
      case Linked::AsTarget:
        linkedAsTarget = true;
        break;
      case Linked::AsTemporary:
        break;
      case Linked::Taken:
        return refuse();
      case Linked::Failed:
        return failed(Status::Op::Link);
    }
  }

  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int closeErr = errno;
    if (linkedAsTarget)
      Uninterrupted([&] { return ::unlinkat(folder_.fd_, target.constData(), 0); });
    discard();
    return failed(Status::Op::Close, closeErr);
  }
  if (linkedAsTarget)
    return {};
  const QByteArray temp = EncodeFileName(tempName_);
  if (replaces) {
    bool othersAtTemp = false;
    if (Status put = folder_.replaceExactly(folder_.path_, temp.constData(), target.constData(), *replaces,
                                                  &othersAtTemp);
        !put.ok()) {
      // A swap that could not be undone left another program's file at the
      // temporary's name: never ours to remove.
      if (othersAtTemp)
        tempName_.clear();
      discard();
      return put;
    }
  } else if (!folder_.renameNoReplace(temp.constData(), target.constData())) {
    const int renameErr = errno;
    discard();
    return renameErr == EEXIST ? refuse() : failed(Status::Op::Rename, renameErr);
  }
  tempName_.clear();
  return {};
}

void StagedFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!tempName_.isEmpty()) {
    const QByteArray temp = EncodeFileName(tempName_);
    Uninterrupted([&] { return ::unlinkat(folder_.fd_, temp.constData(), 0); });
    tempName_.clear();
  }
  synced_ = false;
}

}  // namespace rekoda
