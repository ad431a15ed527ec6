#include "platform/trash.h"

#include "platform/file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <windows.h>

#include <cerrno>

namespace rekoda {

bool FolderHasTrash(const QString &folder) {
  // Windows keeps a Recycle Bin on fixed drives only: elsewhere a "move to
  // the Recycle Bin" deletes for good. Nothing is moved to find out; a bin
  // that refuses a file fails that file with its reason, and the old one
  // stays.
  const QString root = QDir::toNativeSeparators(QDir(folder).absolutePath()).left(3);
  return GetDriveTypeW(reinterpret_cast<const wchar_t *>(root.utf16())) == DRIVE_FIXED;
}

Trashed MoveToTrash(const QString &path, const std::function<bool(const QString &)> &beforeMove) {
  QFile file(path);
  bool moved = file.moveToTrash();
  // A scanner or a preview may hold the file for a moment: the Recycle Bin
  // is asked again for as long as every other step of a run waits.
  for (int waited = 0; !moved && waited < 1500 && QFileInfo::exists(path); waited += 100) {
    QThread::msleep(100);
    moved = file.moveToTrash();
  }
  if (!moved) {
    // The shell's refusal may leave no error code of its own.
    const DWORD code = GetLastError();
    return {Status::FromWindows(Status::Op::ToTrash, code ? code : ERROR_ACCESS_DENIED, path)};
  }
  // The Recycle Bin names the file itself: it is told where it went after,
  // and comes back when that cannot be written down.
  if (beforeMove && !beforeMove(file.fileName())) {
    RestoreFromTrash(file.fileName(), path);
    return {Status::Failed(Status::Op::TrashNote)};
  }
  return {{}, file.fileName()};
}

// The Recycle Bin chooses where a file goes and takes it only by moving it.
Trashed LinkIntoTrash(const QString &, const std::function<bool(const QString &)> &) { return {}; }

namespace {

QString noteOf(const QFileInfo &trashed) {
  // The bin keeps $Rxxxx (the file) beside $Ixxxx (its note).
  return trashed.fileName().startsWith(QLatin1String("$R"))
             ? trashed.dir().filePath(QStringLiteral("$I") + trashed.fileName().mid(2))
             : QString();
}

}  // namespace

void DropFromTrash(const QString &trashedAs) {
  const QFileInfo trashed(trashedAs);
  if (RemoveFile(trashedAs).ok() || !trashed.exists())
    if (const QString note = noteOf(trashed); !note.isEmpty())
      QFile::remove(note);
}

Status RestoreOver(const QString &trashedAs, const QString &path, const QString &identity) {
  if (!QFileInfo::exists(trashedAs))
    return Status::Failed(Status::Op::NotInTrash, ENOENT);
  // Windows cannot swap two names: a last look, then a move over it.
  const Entry at = PathEntry(path);
  if (at.kind != EntryKind::Plain || at.identity != identity)
    return Status::Failed(Status::Op::NameTaken, EEXIST);
  const std::wstring from = NativePath(trashedAs), to = NativePath(path);
  if (!RetryWhileInUse(
          [&] { return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0; },
          true))
    return Status::FromWindows(Status::Op::Rename, GetLastError(), path);
  if (const QString note = noteOf(QFileInfo(trashedAs)); !note.isEmpty())
    QFile::remove(note);
  return {};
}

Status RestoreFromTrash(const QString &trashedAs, const QString &path) {
  const QFileInfo trashed(trashedAs);
  const QString note = noteOf(trashed);
  if (!trashed.exists()) {
    if (!note.isEmpty())
      QFile::remove(note);
    return Status::Failed(Status::Op::NotInTrash, ENOENT);
  }
  const std::wstring from = NativePath(trashedAs), to = NativePath(path);
  if (!RetryWhileInUse([&] { return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0; }, true)) {
    const DWORD code = GetLastError();
    return code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS
               ? Status::Failed(Status::Op::NameTaken, EEXIST)
               : Status::FromWindows(Status::Op::Rename, code, path);
  }
  if (!note.isEmpty())
    QFile::remove(note);
  return {};
}

}  // namespace rekoda
