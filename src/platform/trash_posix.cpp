#include "platform/trash.h"

#include "platform/file_name.h"
#include "platform/file_system.h"

#include <QDateTime>
#include <QDir>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

namespace rekoda {

namespace {

struct TrashDir {
  QByteArray root;    // holds files/ and info/
  QByteArray topdir;  // the volume's top for a volume trash; empty for the home trash
};

bool fail(QString *error, int err = errno) {
  if (error)
    *error = QStringLiteral("the earlier file cannot be moved to the trash: %1").arg(ErrorText(err));
  return false;
}

QByteArray dataHome() {
  const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
  return EncodeFileName(xdg.startsWith(u'/') ? xdg : QDir::homePath() + QStringLiteral("/.local/share"));
}

// A folder of our own, made if missing: a folder, not a link.
bool ownFolder(const QByteArray &path, mode_t mode) {
  if (::mkdir(path.constData(), mode) != 0 && errno != EEXIST)
    return false;
  struct stat st;
  return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QByteArray parentOf(const QByteArray &path) {
  const qsizetype slash = path.lastIndexOf('/');
  return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// The top of the volume that holds a path: the last folder upwards on the
// same device.
QByteArray topdirOf(QByteArray path, dev_t device) {
  while (path != "/") {
    const QByteArray up = parentOf(path);
    struct stat st;
    if (::stat(up.constData(), &st) != 0 || st.st_dev != device)
      return path;
    path = up;
  }
  return path;
}

// The trash for a file or folder at an absolute path, made ready when make.
std::optional<TrashDir> trashFor(const QByteArray &path, bool make) {
  struct stat st;
  if (::lstat(path.constData(), &st) != 0 && ::stat(parentOf(path).constData(), &st) != 0)
    return std::nullopt;
  const dev_t device = st.st_dev;
  const QByteArray data = dataHome();
  auto ready = [make](const TrashDir &t) -> std::optional<TrashDir> {
    if (!make)
      return t;
    if (!ownFolder(t.root, 0700) || !ownFolder(t.root + "/files", 0700) || !ownFolder(t.root + "/info", 0700))
      return std::nullopt;
    return t;
  };
  struct stat home;
  if (::stat(data.constData(), &home) == 0 && home.st_dev == device)
    return ready({data + "/Trash", {}});
  const QByteArray top = topdirOf(path, device);
  const QByteArray uid = QByteArray::number(::getuid());
  const QByteArray base = top == "/" ? QByteArray() : top;
  // An administrator's shared .Trash counts only as the rules have it:
  // a folder, not a link, with the sticky bit.
  struct stat shared;
  if (::lstat((base + "/.Trash").constData(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
      (shared.st_mode & S_ISVTX)) {
    if (auto t = ready({base + "/.Trash/" + uid, top}))
      return t;
  }
  return ready({base + "/.Trash-" + uid, top});
}

bool writable(const QByteArray &folder) { return ::access(folder.constData(), W_OK | X_OK) == 0; }

QByteArray absolute(const QString &path) { return EncodeFileName(AbsolutePath(path)); }

// Where a trashed file's note is: info/NAME.trashinfo beside files/NAME.
QByteArray infoOf(const QByteArray &trashed) {
  const QByteArray files = parentOf(trashed);
  return parentOf(files) + "/info/" + trashed.mid(files.size() + 1) + ".trashinfo";
}

// A file back at its name: the name made durable, then its note goes.
void syncRestored(const QByteArray &from, const QByteArray &to) {
  SyncFolder(DecodeFileName(parentOf(to)));
  ::unlink(infoOf(from).constData());
  SyncFolder(DecodeFileName(parentOf(from)));
}

enum class Note { Written, Taken, Failed };

// The note of a file about to go to the trash, made durable, under a name
// that neither a note nor a trashed file has; errno set when it failed.
Note writeNote(const QByteArray &info, const QByteArray &target, const QByteArray &note) {
  const int fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0)
    return errno == EEXIST ? Note::Taken : Note::Failed;
  struct stat st;
  if (::lstat(target.constData(), &st) == 0) {  // a file without its note: not ours to take over
    ::close(fd);
    ::unlink(info.constData());
    return Note::Taken;
  }
  const bool written = ::write(fd, note.constData(), size_t(note.size())) == note.size() && ::fdatasync(fd) == 0;
  const int err = errno;
  ::close(fd);
  if (written)
    return Note::Written;
  ::unlink(info.constData());
  errno = err;
  return Note::Failed;
}

}  // namespace

bool FolderHasTrash(const QString &folder) {
  const auto trash = trashFor(absolute(folder), false);
  if (!trash)
    return false;
  // There already, or to be made where the rules allow.
  auto usable = [](const QByteArray &dir) { return ::access(dir.constData(), F_OK) != 0 || writable(dir); };
  if (::access(trash->root.constData(), F_OK) == 0)
    return writable(trash->root) && usable(trash->root + "/files") && usable(trash->root + "/info");
  return writable(parentOf(trash->root));
}

bool MoveToTrash(const QString &path, QString *error, QString *trashedAs,
                 const std::function<bool(const QString &)> &beforeMove) {
  const QByteArray from = absolute(path);
  const auto trash = trashFor(from, true);
  if (!trash)
    return fail(error);
  // The note first, under a name no other trashed file has, so that a crash
  // never leaves a trashed file that no file manager can restore.
  const QByteArray original = trash->topdir.isEmpty() ? from : from.mid(trash->topdir == "/" ? 1 : trash->topdir.size() + 1);
  const QByteArray name = from.mid(from.lastIndexOf('/') + 1);
  // The name's own bytes, percent-encoded, whatever their encoding.
  const QByteArray note = "[Trash Info]\nPath=" + original.toPercentEncoding("/") +
                          "\nDeletionDate=" + QDateTime::currentDateTime().toString("yyyy-MM-ddThh:mm:ss").toLatin1() +
                          "\n";
  for (int n = 1; n < 10000; ++n) {
    const QByteArray candidate = n == 1 ? name : name + '.' + QByteArray::number(n);
    const QByteArray target = trash->root + "/files/" + candidate;
    const QByteArray info = trash->root + "/info/" + candidate + ".trashinfo";
    const Note made = writeNote(info, target, note);
    if (made == Note::Taken)
      continue;
    if (made == Note::Failed)
      return fail(error);
    const QString where = DecodeFileName(target);
    if (beforeMove && !beforeMove(where)) {
      ::unlink(info.constData());
      if (error)
        *error = QStringLiteral("the run's journal cannot record where the earlier file goes");
      return false;
    }
    if (::rename(from.constData(), target.constData()) != 0) {
      const int renameErr = errno;
      ::unlink(info.constData());
      // Another volume after all (a bind mount): no trash for it.
      return fail(error, renameErr);
    }
    SyncFolder(DecodeFileName(trash->root + "/files"));
    if (trashedAs)
      *trashedAs = where;
    return true;
  }
  return fail(error, EEXIST);
}

bool RestoreFromTrash(const QString &trashedAs, const QString &path, QString *error) {
  const QByteArray from = EncodeFileName(trashedAs), to = absolute(path);
  struct stat st;
  if (::lstat(from.constData(), &st) != 0) {
    ::unlink(infoOf(from).constData());
    if (error)
      *error = QStringLiteral("it is no longer in the trash");
    return false;
  }
  // Only onto a free name: a no-replace rename, or a link, fails on a
  // taken one.
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
    syncRestored(from, to);
    return true;
  }
  if (errno == EEXIST) {
    if (error)
      *error = QStringLiteral("its name is taken");
    return false;
  }
#endif
  if (::link(from.constData(), to.constData()) != 0) {
    const int err = errno;
    if (error)
      *error = err == EEXIST ? QStringLiteral("its name is taken") : ErrorText(err);
    if (err == EEXIST || (err != EPERM && err != ENOTSUP && err != EOPNOTSUPP && err != EXDEV))
      return false;
    // No hard links here (FAT, exFAT): a last look, then the move.
    if (::lstat(to.constData(), &st) == 0 || ::rename(from.constData(), to.constData()) != 0) {
      if (error)
        *error = errno == 0 || ::access(to.constData(), F_OK) == 0 ? QStringLiteral("its name is taken") : ErrorText(errno);
      return false;
    }
  } else {
    ::unlink(from.constData());
  }
  syncRestored(from, to);
  return true;
}

}  // namespace rekoda
