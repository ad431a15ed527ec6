#include "platform/file_system.h"

#include "platform/file_name.h"
#include "platform/file_system_internal.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <direct.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>

namespace rekoda {

bool IsSeparator(QChar c) { return c == u'\\' || c == u'/'; }

QString StripTrailingSeparator(const QString &folder) {
  if (!EndsWithSeparator(folder) || folder.size() == 1)
    return folder;
  if (folder.size() == 3 && folder[1] == u':')
    return folder;  // "C:\" is a root
  return folder.left(folder.size() - 1);
}

std::wstring NativePath(const QString &path) {
  QString p = QDir::fromNativeSeparators(path);
  if (p.startsWith(QLatin1String("//?/")) || p.startsWith(QLatin1String("//./")))
    return QDir::toNativeSeparators(p).toStdWString();
  if (QDir::isRelativePath(p))
    p = QDir::currentPath() + u'/' + p;
  // The prefix turns off Windows' own tidying: "." and ".." go here, while
  // a trailing dot or space stays part of its name.
  p = QDir::cleanPath(p);
  if (p.startsWith(QLatin1String("//")))
    return (QStringLiteral("\\\\?\\UNC\\") + QDir::toNativeSeparators(p.mid(2))).toStdWString();
  if (p.size() == 2 && p[1] == u':')
    p += u'/';
  return (QStringLiteral("\\\\?\\") + QDir::toNativeSeparators(p)).toStdWString();
}

bool RetryWhileInUse(const std::function<bool()> &op, bool accessDeniedToo) {
  DWORD pause = 20;
  for (DWORD waited = 0;; waited += pause, pause = std::min<DWORD>(pause * 2, 250)) {
    if (op())
      return true;
    const DWORD code = GetLastError();
    const bool inUse = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
                       (accessDeniedToo && code == ERROR_ACCESS_DENIED);
    if (!inUse || waited >= 1500)
      return false;
    Sleep(pause);
    SetLastError(code);
  }
}

QString WindowsErrorText(unsigned long code) {
  // The common failures read as they do on Linux (the C runtime's own
  // texts), so that a reason means the same on every technician's machine.
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
      return ErrorText(ENOENT);
    case ERROR_ACCESS_DENIED:
      return ErrorText(EACCES);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ErrorText(ENOSPC);
    case ERROR_TOO_MANY_OPEN_FILES:
      return ErrorText(EMFILE);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return ErrorText(EEXIST);
    case ERROR_DIRECTORY:
      return ErrorText(ENOTDIR);
    default:
      break;
  }
  wchar_t *text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
  QString out = text ? QString::fromWCharArray(text).trimmed() : QStringLiteral("error %1").arg(code);
  LocalFree(text);
  return out;
}

void KeepRunningPastFileSizeLimit() {}  // no such signal

AppendFile::~AppendFile() { close(); }

bool AppendFile::isOpen() const { return handle_ != nullptr; }

namespace {

Status openForAppend(const QString &path, DWORD disposition, void **handle) {
  HANDLE h = CreateFileW(NativePath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return Status::FromWindows(Status::Op::Open, GetLastError(), path);
  *handle = h;
  return {};
}

}  // namespace

Status AppendFile::create(const QString &path) {
  close();
  return openForAppend(path, CREATE_NEW, &handle_);
}

Status AppendFile::openToAppend(const QString &path) {
  close();
  return openForAppend(path, OPEN_EXISTING, &handle_);
}

Status AppendFile::openHeld(const QString &path, bool *heldByOther) {
  // Shared for reading only, as create() does: another writer's handle, or
  // one that will not share writing, keeps it from opening.
  Status opened = openToAppend(path);
  *heldByOther = opened.isWindowsCode() && opened.code() == ERROR_SHARING_VIOLATION;
  return opened;
}

Status AppendFile::append(const QByteArray &bytes, bool sync) {
  DWORD written = 0;
  if (!WriteFile(static_cast<HANDLE>(handle_), bytes.constData(), DWORD(bytes.size()), &written, nullptr) ||
      written != DWORD(bytes.size()))
    return Status::FromWindows(Status::Op::Write, GetLastError());
  if (sync && !FlushFileBuffers(static_cast<HANDLE>(handle_)))
    return Status::FromWindows(Status::Op::Sync, GetLastError());
  return {};
}

void AppendFile::close() {
  if (handle_)
    CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}

Status SyncFolder(const QString &) { return {}; }

Status OpenToRead(QFile &file, const QString &path) {
  // Qt shares reading and writing: the run or undo that appends to it
  // meanwhile is not kept out.
  file.setFileName(path);
  if (file.open(QIODevice::ReadOnly))
    return {};
  return Status::Failed(Status::Op::Open, file.exists() ? EACCES : ENOENT, path);
}

bool HeldByWriter(const QString &path) {
  // The writer shares its handle for reading only: a reader that will not
  // share writing is refused while it is open.
  HANDLE h = CreateFileW(NativePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(h);
  return false;
}

Status RemoveFile(const QString &path) {
  const std::wstring native = NativePath(path);
  if (RetryWhileInUse([&] { return DeleteFileW(native.c_str()) != 0; }, true))
    return {};
  return Status::FromWindows(Status::Op::Remove, GetLastError(), path);
}

std::optional<QByteArray> ReadFileBytes(const QString &path, qint64 maxBytes, Status *status, bool *tooLarge) {
  if (tooLarge)
    *tooLarge = false;
  const std::wstring native = NativePath(path);
  HANDLE h = INVALID_HANDLE_VALUE;
  const bool opened = RetryWhileInUse(
      [&] {
        // Shared with a writer too: a run's journal is read while the run
        // holds it, and a file's bytes, not who else has it, tell what it is.
        h = CreateFileW(native.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return h != INVALID_HANDLE_VALUE;
      },
      false);
  const auto failed = [&](const Status &why) -> std::optional<QByteArray> {
    if (status)
      *status = why;
    if (h != INVALID_HANDLE_VALUE)
      CloseHandle(h);
    return std::nullopt;
  };
  const auto windows = [&] { return Status::FromWindows(Status::Op::Read, GetLastError(), path); };
  if (!opened)
    return failed(windows());
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h, &size))
    return failed(windows());
  if (size.QuadPart > maxBytes) {
    if (tooLarge)
      *tooLarge = true;
    return failed(Status::Failed(Status::Op::Read, EFBIG, path));
  }
  QByteArray bytes(qsizetype(size.QuadPart), Qt::Uninitialized);
  DWORD got = 0;
  if (!bytes.isEmpty() && (!ReadFile(h, bytes.data(), DWORD(bytes.size()), &got, nullptr) || got != DWORD(bytes.size())))
    return failed(windows());
  CloseHandle(h);
  return bytes;
}

QString AbsolutePath(const QString &path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

bool IsFolder(const QString &path) { return QFileInfo(path).isDir(); }

Status CreateFolder(const QString &path) {
  if (ReservedDeviceNameIn(path))
    return Status::Failed(Status::Op::ReservedName, 0, path);
  if (_wmkdir(NativePath(path).c_str()) == 0)
    return {};
  const int err = errno;
  return Status::Failed(err == EEXIST && QFileInfo(path).isDir() ? Status::Op::FolderExists : Status::Op::CreateFolder,
                        err, path);
}

std::optional<QString> FileIdentity(const QString &path) {
  HANDLE h = CreateFileW(NativePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool ok = GetFileInformationByHandle(h, &info);
  CloseHandle(h);
  if (!ok)
    return std::nullopt;
  return FileIdentityText(info.dwVolumeSerialNumber, (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
}

Entry PathEntry(const QString &path) {
  const DWORD attributes = GetFileAttributesW(NativePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return {};
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))
    return {EntryKind::Other, {}};
  return {EntryKind::Plain, FileIdentity(path).value_or(QString())};
}

Status ListFileNames(const QString &folder, const std::function<bool(const QString &)> &keep,
                          QStringList &names) {
  const QFileInfo info(folder);
  if (!info.isDir() || !QDir(folder).isReadable())
    return Status::Failed(Status::Op::List, !info.exists() ? ENOENT : !info.isDir() ? ENOTDIR : EACCES, folder);
  QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
  while (it.hasNext()) {
    it.next();
    const QString name = it.fileName();
    if (keep(name))
      names.append(name);
  }
  return {};
}

std::optional<QStringList> ListFolderNames(const QString &folder) {
  if (!QFileInfo(folder).isDir())
    return std::nullopt;
  QStringList names;
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  while (it.hasNext()) {
    it.next();
    names << it.fileName();
  }
  return names;
}

QStringList Drives() {
  QStringList roots;
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i)
    if (mask & (1u << i))
      roots << QString(QChar(u'A' + i)) + QStringLiteral(":\\");
  return roots;
}

}  // namespace rekoda
