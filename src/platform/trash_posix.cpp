#include "platform/trash.h"

#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/held_target_posix.h"
#include "platform/interrupted.h"

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

Status toTrashFailed(int err = errno) { return Status::Failed(Status::Op::ToTrash, err); }

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

int unlinkPath(const QByteArray &path) { return Uninterrupted([&] { return ::unlink(path.constData()); }); }

// A file back at its name: the name made durable, then its note goes.
void syncRestored(const QByteArray &from, const QByteArray &to) {
  SyncFolder(DecodeFileName(parentOf(to)));
  unlinkPath(infoOf(from));
  SyncFolder(DecodeFileName(parentOf(from)));
}

enum class Note { Written, Taken, Failed };

// The note of a file about to go to the trash, made durable, under a name
// that neither a note nor a trashed file has; errno set when it failed.
Note writeNote(const QByteArray &info, const QByteArray &target, const QByteArray &note) {
  const int fd = Uninterrupted([&] { return ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600); });
  if (fd < 0)
    return errno == EEXIST ? Note::Taken : Note::Failed;
  struct stat st;
  if (::lstat(target.constData(), &st) == 0) {  // a file without its note: not ours to take over
    ::close(fd);
    unlinkPath(info);
    return Note::Taken;
  }
  const bool written = Uninterrupted([&] { return ::write(fd, note.constData(), size_t(note.size())); }) == note.size() &&
                       Uninterrupted([&] { return ::fdatasync(fd); }) == 0;
  const int err = errno;
  ::close(fd);
  if (written)
    return Note::Written;
  unlinkPath(info);
  errno = err;
  return Note::Failed;
}

// What a volume answers for links or a rename flag it does not have.
bool unsupported(int err) {
  return err == EPERM || err == EINVAL || err == ENOSYS || err == ENOTSUP || err == EOPNOTSUPP || err == EMLINK ||
         err == EXDEV;
}

// A file to a free name of the same volume, never over a file there: a
// no-replace rename, else a link and the old name's removal, else (no links:
// FAT, exFAT) a last look and a rename. -1 with errno; EEXIST when taken.
int moveNoReplace(const QByteArray &from, const QByteArray &to) {
#ifdef RENAME_NOREPLACE
  const int rc = Uninterrupted(
      [&] { return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE); });
  if (rc == 0 || !unsupported(errno) || errno == EXDEV)
    return rc;
#endif
  if (Uninterrupted([&] { return ::link(from.constData(), to.constData()); }) == 0) {
    unlinkPath(from);  // should this fail, the file has both names: nothing is lost
    return 0;
  }
  if (errno == EEXIST || !unsupported(errno) || errno == EXDEV)
    return -1;
  struct stat st;
  if (::lstat(to.constData(), &st) == 0) {
    errno = EEXIST;
    return -1;
  }
  return Uninterrupted([&] { return ::rename(from.constData(), to.constData()); });
}

enum class Placing { Move, Link };

// The file at from into the trash under a free name, its note written and
// synced first, so that a crash never leaves a trashed file no file manager
// can restore. With Link the file keeps its name too; linked says whether
// it did (false on a volume without links, with nothing done).
Trashed placeInTrash(const QByteArray &from, Placing how, const std::function<bool(const QString &)> &before) {
  const auto trash = trashFor(from, true);
  if (!trash)
    return {toTrashFailed()};
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
      return {toTrashFailed()};
    const QString where = DecodeFileName(target);
    if (before && !before(where)) {
      unlinkPath(info);
      return {Status::Failed(Status::Op::TrashNote)};
    }
    const int rc = how == Placing::Link ? Uninterrupted([&] { return ::link(from.constData(), target.constData()); })
                                        : moveNoReplace(from, target);
    if (rc != 0) {
      const int err = errno;
      unlinkPath(info);
      if (err == EEXIST)
        continue;  // a file put there since the note's look: never replaced
      if (how == Placing::Link && unsupported(err))
        return {};  // no links here: not linked
      // Another volume after all (a bind mount): no trash for it.
      return {toTrashFailed(err)};
    }
    SyncFolder(DecodeFileName(trash->root + "/files"));
    return {{}, where, how == Placing::Link};
  }
  return {toTrashFailed(EEXIST)};
}

bool sameFile(const QByteArray &a, const QByteArray &b) {
  struct stat sa, sb;
  return ::lstat(a.constData(), &sa) == 0 && ::lstat(b.constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
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

Trashed MoveToTrash(const QString &path, const std::function<bool(const QString &)> &beforeMove) {
  return placeInTrash(absolute(path), Placing::Move, beforeMove);
}

Trashed LinkIntoTrash(const QString &path, const std::function<bool(const QString &)> &beforeLink) {
  return placeInTrash(absolute(path), Placing::Link, beforeLink);
}

void DropFromTrash(const QString &trashedAs) {
  const QByteArray trashed = EncodeFileName(trashedAs);
  if (unlinkPath(trashed) == 0 || errno == ENOENT)
    unlinkPath(infoOf(trashed));
  SyncFolder(DecodeFileName(parentOf(trashed)));
}

namespace {

bool isFile(const QByteArray &path, const QString &identity) {
  struct stat st;
  return ::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
         FileIdentityText(st.st_dev, st.st_ino) == identity;
}

}  // namespace

Status RestoreOver(const QString &trashedAs, const QString &path, const QString &identity) {
  const QByteArray from = EncodeFileName(trashedAs), to = absolute(path);
  struct stat st;
  if (::lstat(from.constData(), &st) != 0)
    return Status::Failed(Status::Op::NotInTrash, ENOENT);
  // Held from this look to the swap, as a run holds a file it replaces.
  HeldTarget held;
  switch (const int err = held.hold(AT_FDCWD, to.constData(), identity)) {
    case 0:
      break;
    case ENOENT:
      return RestoreFromTrash(trashedAs, path);
    case EEXIST:
      return Status::Failed(Status::Op::NameTaken, EEXIST);
    default:
      return Status::Failed(Status::Op::Rename, err, path);
  }
#ifdef RENAME_EXCHANGE
  // Swapped: the trashed file at its name, the output in the trash's place,
  // checked to be the one meant, and gone with the note.
  const auto swap = [&] {
    return Uninterrupted(
        [&] { return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE); });
  };
  if (swap() == 0) {
    if (isFile(from, identity)) {
      const bool gone = unlinkPath(from) == 0;
      const int err = errno;
      syncRestored(from, to);
      // The file is back; what it swapped with waits in the trash for the
      // next try.
      return gone ? Status() : Status::Failed(Status::Op::RestoreLeft, err, trashedAs);
    }
    // Another file took the name at the last moment: it gets it back.
    if (swap() != 0)
      return Status::Failed(Status::Op::RestoreSwapped, errno, trashedAs);
    return Status::Failed(Status::Op::NameTaken, EEXIST);
  }
  if (!unsupported(errno) || errno == EXDEV)
    return Status::Failed(Status::Op::Rename, errno, path);
#endif
  // No swap here (FUSE): a last look, then a rename over it.
  if (!isFile(to, identity))
    return Status::Failed(Status::Op::NameTaken, EEXIST);
  if (Uninterrupted([&] { return ::rename(from.constData(), to.constData()); }) != 0)
    return Status::Failed(Status::Op::Rename, errno, path);
  syncRestored(from, to);
  return {};
}

Status RestoreFromTrash(const QString &trashedAs, const QString &path) {
  const QByteArray from = EncodeFileName(trashedAs), to = absolute(path);
  struct stat st;
  if (::lstat(from.constData(), &st) != 0) {
    unlinkPath(infoOf(from));
    return Status::Failed(Status::Op::NotInTrash, ENOENT);
  }
  // Only onto a free name. The name may hold this very file: a link into
  // the trash whose replace never came (a run killed between the two).
  if (moveNoReplace(from, to) != 0) {
    const int err = errno;
    if (err == EEXIST && sameFile(from, to)) {
      DropFromTrash(trashedAs);
      return {};
    }
    return Status::Failed(err == EEXIST ? Status::Op::NameTaken : Status::Op::Rename, err, path);
  }
  syncRestored(from, to);
  return {};
}

}  // namespace rekoda
