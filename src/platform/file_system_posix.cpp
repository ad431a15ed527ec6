#include "platform/file_system.h"

#include "platform/file_name.h"
#include "platform/file_system_internal.h"
#include "platform/held_target_posix.h"
#include "platform/interrupted.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace rekoda {

bool IsSeparator(QChar c) { return c == u'/'; }

QString StripTrailingSeparator(const QString &folder) {
  if (!EndsWithSeparator(folder) || folder.size() == 1)
    return folder;  // "/" is a root
  return folder.left(folder.size() - 1);
}

void KeepRunningPastFileSizeLimit() { ::signal(SIGXFSZ, SIG_IGN); }

AppendFile::~AppendFile() { close(); }

bool AppendFile::isOpen() const { return fd_ >= 0; }

Status AppendFile::create(const QString &path) {
  close();
  fd_ = Uninterrupted([&] {
    return ::open(EncodeFileName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
  });
  if (fd_ < 0)
    return Status::Failed(Status::Op::Open, errno, path);
  // A file system without locks (some network shares) leaves it unheld.
  (void)::flock(fd_, LOCK_EX | LOCK_NB);
  return {};
}

Status AppendFile::openToAppend(const QString &path) {
  close();
  fd_ = Uninterrupted([&] { return ::open(EncodeFileName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC); });
  return fd_ >= 0 ? Status() : Status::Failed(Status::Op::Open, errno, path);
}

Status AppendFile::openHeld(const QString &path, bool *heldByOther) {
  *heldByOther = false;
  if (Status opened = openToAppend(path); !opened.ok())
    return opened;
  // A file system without locks (some network shares) leaves it unheld.
  if (Uninterrupted([&] { return ::flock(fd_, LOCK_EX | LOCK_NB); }) == 0 || errno != EWOULDBLOCK)
    return {};
  *heldByOther = true;
  close();
  return Status::Failed(Status::Op::Lock, EWOULDBLOCK, path);
}

Status AppendFile::append(const QByteArray &bytes, bool sync) {
  const char *data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = Uninterrupted([&] { return ::write(fd_, data, size_t(left)); });
    if (n <= 0)
      return Status::Failed(Status::Op::Write, n < 0 ? errno : EIO);
    data += n;
    left -= n;
  }
  if (sync && Uninterrupted([&] { return ::fdatasync(fd_); }) != 0)
    return Status::Failed(Status::Op::Sync, errno);
  return {};
}

void AppendFile::close() {
  if (fd_ >= 0)
    ::close(fd_);
  fd_ = -1;
}

Status SyncFolder(const QString &folder) {
  const int fd = Uninterrupted(
      [&] { return ::open(EncodeFileName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
  if (fd < 0)
    return Status::Failed(Status::Op::Open, errno, folder);
  const int rc = Uninterrupted([&] { return ::fsync(fd); });
  const int err = errno;
  ::close(fd);
  // Some file systems (FUSE, some network shares) cannot sync a folder at all.
  if (rc == 0 || err == EINVAL || err == ENOTSUP || err == EOPNOTSUPP)
    return {};
  return Status::Failed(Status::Op::Sync, err, folder);
}

int HeldTarget::hold(int folderFd, const char *name, const QString &identity) {
  release();
  struct stat st;
  const auto same = [&] { return S_ISREG(st.st_mode) && FileIdentityText(st.st_dev, st.st_ino) == identity; };
  const int fd = Uninterrupted([&] { return ::openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC); });
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT)
      return ENOENT;
    if (err == ELOOP)
      return EEXIST;  // a link: never replaced
    // Not readable to us (or out of handles): the last look without a hold.
    if (::fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
      return errno;
    return same() ? 0 : EEXIST;
  }
  fd_ = fd;
  if (::fstat(fd, &st) != 0 || !same()) {
    release();
    return EEXIST;
  }
  // Another run may be swapping this very file out right now: wait for it,
  // then look again at what the name holds.
  Uninterrupted([&] { return ::flock(fd, LOCK_EX); });
  if (::fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
    const int err = errno;
    release();
    return err;
  }
  if (!same()) {
    release();
    return EEXIST;
  }
  return 0;
}

void HeldTarget::release() {
  if (fd_ >= 0)
    ::close(fd_);
  fd_ = -1;
}

Status OpenToRead(QFile &file, const QString &path) {
  const int fd = Uninterrupted(
      [&] { return ::open(EncodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); });
  if (fd >= 0 && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
    return {};
  const int err = fd < 0 ? errno : EIO;
  if (fd >= 0)
    ::close(fd);
  return Status::Failed(Status::Op::Open, err, path);
}

bool HeldByWriter(const QString &path) {
  const int fd = Uninterrupted([&] { return ::open(EncodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); });
  if (fd < 0)
    return false;
  const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

Status RemoveFile(const QString &path) {
  if (Uninterrupted([&] { return ::unlink(EncodeFileName(path).constData()); }) == 0)
    return {};
  return Status::Failed(Status::Op::Remove, errno, path);
}

std::optional<QByteArray> ReadFileBytes(const QString &path, qint64 maxBytes, Status *status, bool *tooLarge) {
  if (tooLarge)
    *tooLarge = false;
  const int fd = Uninterrupted(
      [&] { return ::open(EncodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK); });
  const auto failed = [&](int err) -> std::optional<QByteArray> {
    if (status)
      *status = Status::Failed(Status::Op::Read, err, path);
    if (fd >= 0)
      ::close(fd);
    return std::nullopt;
  };
  if (fd < 0)
    return failed(errno);
  struct stat st;
  if (::fstat(fd, &st) != 0)
    return failed(errno);
  if (!S_ISREG(st.st_mode))
    return failed(EINVAL);
  QByteArray bytes;
  char buf[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return failed(errno);
    if (n == 0)
      break;
    if (bytes.size() + n > maxBytes) {
      if (tooLarge)
        *tooLarge = true;
      return failed(EFBIG);
    }
    bytes.append(buf, n);
  }
  ::close(fd);
  return bytes;
}

QString AbsolutePath(const QString &path) {
  if (path.startsWith(u'/'))
    return path;
  // The working folder's own bytes: QDir would spell it as text.
  QByteArray cwd(4096, '\0');
  while (!::getcwd(cwd.data(), size_t(cwd.size()))) {
    if (errno != ERANGE)
      return path;
    cwd.resize(cwd.size() * 2);
  }
  cwd.truncate(qsizetype(std::strlen(cwd.constData())));
  QString folder = DecodeFileName(cwd);
  for (const QString &part : path.split(u'/', Qt::SkipEmptyParts))
    if (part != QLatin1String("."))
      folder = JoinPath(folder, part);
  return folder;
}

bool IsFolder(const QString &path) {
  struct stat st;
  return ::stat(EncodeFileName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

Status CreateFolder(const QString &path) {
  if (Uninterrupted([&] { return ::mkdir(EncodeFileName(path).constData(), 0777); }) == 0)
    return {};
  const int err = errno;
  return Status::Failed(err == EEXIST && IsFolder(path) ? Status::Op::FolderExists : Status::Op::CreateFolder, err,
                        path);
}

std::optional<QString> FileIdentity(const QString &path) {
  struct stat st;
  if (::stat(EncodeFileName(path).constData(), &st) != 0)
    return std::nullopt;
  return FileIdentityText(st.st_dev, st.st_ino);
}

Entry PathEntry(const QString &path) {
  // One lstat: for a plain file it identifies the file as stat would.
  struct stat st;
  if (::lstat(EncodeFileName(path).constData(), &st) != 0)
    return {};
  if (!S_ISREG(st.st_mode))
    return {EntryKind::Other, {}};
  return {EntryKind::Plain, FileIdentityText(st.st_dev, st.st_ino)};
}

namespace {

// A folder being read, closed however the reading ends (a callback that
// throws too).
class OpenFolder {
 public:
  explicit OpenFolder(const QByteArray &path) {
    do {
      dir_ = ::opendir(path.constData());
    } while (!dir_ && errno == EINTR);
  }
  ~OpenFolder() {
    if (dir_)
      ::closedir(dir_);
  }
  OpenFolder(const OpenFolder &) = delete;
  OpenFolder &operator=(const OpenFolder &) = delete;
  explicit operator bool() const { return dir_ != nullptr; }
  DIR *get() const { return dir_; }

 private:
  DIR *dir_ = nullptr;
};

}  // namespace

Status ListFileNames(const QString &folder, const std::function<bool(const QString &)> &keep,
                          QStringList &names) {
  // readdir's own file type spares a stat per entry, which matters in
  // folders of tens of thousands of exports.
  const QByteArray dirName = EncodeFileName(folder);
  const OpenFolder dir(dirName);
  if (!dir)
    return Status::Failed(Status::Op::List, errno, folder);
  for (;;) {
    errno = 0;
    const dirent *e = ::readdir(dir.get());
    if (!e)
      return errno == 0 ? Status() : Status::Failed(Status::Op::List, errno, folder);
    if (e->d_name[0] == '.')
      continue;  // hidden, and . and ..
    // A pipe, a socket or a device of the family is listed, to fail with
    // its reason as any file that cannot be read does; a folder is none.
    bool isFolder = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st;
      isFolder = ::stat((dirName + '/' + e->d_name).constData(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    if (isFolder)
      continue;
    QString name = DecodeFileName(QByteArray(e->d_name));
    if (keep(name))
      names.append(std::move(name));
  }
}

std::optional<QStringList> ListFolderNames(const QString &folder) {
  const OpenFolder dir(EncodeFileName(folder));
  if (!dir)
    return std::nullopt;
  QStringList names;
  for (;;) {
    errno = 0;
    const dirent *e = ::readdir(dir.get());
    if (!e)
      break;
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
      names << DecodeFileName(QByteArray(e->d_name));
  }
  const bool complete = errno == 0;
  if (!complete)
    return std::nullopt;
  return names;
}

QStringList Drives() {
  QStringList roots;
  QFile table(QStringLiteral("/proc/self/mountinfo"));
  if (table.open(QIODevice::ReadOnly)) {
    for (const Volume &v : VolumesFromMountInfo(table.readAll()))
      if (QFileInfo(v.root).isDir())
        roots << v.root;
  } else {
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
      if (v.isValid() && !IsPseudoFileSystem(QString::fromLatin1(v.fileSystemType())))
        roots << v.rootPath();
  }
  roots.removeDuplicates();
  std::sort(roots.begin(), roots.end());
  roots.removeAll(QDir::rootPath());
  roots.prepend(QDir::rootPath());
  return roots;
}

}  // namespace rekoda
