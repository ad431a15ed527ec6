#include "platform/trash.h"

#include "platform/file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <windows.h>

namespace rekoda {

bool FolderHasTrash(const QString &folder) {
  // Windows keeps a Recycle Bin on fixed drives only: elsewhere a "move to
  // the Recycle Bin" deletes for good. Nothing is moved to find out; a bin
  // that refuses a file fails that file with its reason, and the old one
  // stays.
  const QString root = QDir::toNativeSeparators(QDir(folder).absolutePath()).left(3);
  return GetDriveTypeW(reinterpret_cast<const wchar_t *>(root.utf16())) == DRIVE_FIXED;
}

bool MoveToTrash(const QString &path, QString *error, QString *trashedAs,
                 const std::function<bool(const QString &)> &beforeMove) {
  QFile file(path);
  bool moved = file.moveToTrash();
  // A scanner or a preview may hold the file for a moment: the Recycle Bin
  // is asked again for as long as every other step of a run waits.
  for (int waited = 0; !moved && waited < 1500 && QFileInfo::exists(path); waited += 100) {
    QThread::msleep(100);
    moved = file.moveToTrash();
  }
  if (!moved) {
    if (error)
      *error = QStringLiteral("the earlier file cannot be moved to the trash: %1").arg(file.errorString());
    return false;
  }
  // The Recycle Bin names the file itself: it is told where it went after,
  // and comes back when that cannot be written down.
  if (beforeMove && !beforeMove(file.fileName())) {
    RestoreFromTrash(file.fileName(), path, nullptr);
    if (error)
      *error = QStringLiteral("the run's journal cannot record where the earlier file goes");
    return false;
  }
  if (trashedAs)
    *trashedAs = file.fileName();
  return true;
}

// The Recycle Bin chooses where a file goes and takes it only by moving it.
TrashLink LinkIntoTrash(const QString &, QString *, QString *, const std::function<bool(const QString &)> &) {
  return TrashLink::Unsupported;
}

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
  if (RemoveFile(trashedAs, nullptr) || !trashed.exists())
    if (const QString note = noteOf(trashed); !note.isEmpty())
      QFile::remove(note);
}

bool RestoreOver(const QString &trashedAs, const QString &path, const QString &identity, QString *error) {
  if (!QFileInfo::exists(trashedAs)) {
    if (error)
      *error = QStringLiteral("it is no longer in the trash");
    return false;
  }
  // Windows cannot swap two names: a last look, then a move over it.
  const Entry at = PathEntry(path);
  if (at.kind != EntryKind::Plain || at.identity != identity) {
    if (error)
      *error = QStringLiteral("its name is taken");
    return false;
  }
  const std::wstring from = NativePath(trashedAs), to = NativePath(path);
  if (!RetryWhileInUse(
          [&] { return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0; },
          true)) {
    if (error)
      *error = WindowsErrorText(GetLastError());
    return false;
  }
  if (const QString note = noteOf(QFileInfo(trashedAs)); !note.isEmpty())
    QFile::remove(note);
  return true;
}

bool RestoreFromTrash(const QString &trashedAs, const QString &path, QString *error) {
  const QFileInfo trashed(trashedAs);
  const QString note = noteOf(trashed);
  if (!trashed.exists()) {
    if (!note.isEmpty())
      QFile::remove(note);
    if (error)
      *error = QStringLiteral("it is no longer in the trash");
    return false;
  }
  const std::wstring from = NativePath(trashedAs), to = NativePath(path);
  if (!RetryWhileInUse([&] { return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0; }, true)) {
    const DWORD code = GetLastError();
    if (error)
      *error = code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS ? QStringLiteral("its name is taken")
                                                                          : WindowsErrorText(code);
    return false;
  }
  if (!note.isEmpty())
    QFile::remove(note);
  return true;
}

}  // namespace rekoda
