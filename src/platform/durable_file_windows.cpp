#include "platform/durable_file.h"

#include "platform/file_system.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

namespace rekoda {

namespace {

std::atomic<unsigned long long> tempCounter{0};

QString nextTempName() {
  static const long long pid = static_cast<long long>(GetCurrentProcessId());
  return TemporaryFileName(pid, tempCounter.fetch_add(1));
}

Status failed(Status::Op op, DWORD code = GetLastError()) { return Status::FromWindows(op, code); }

}  // namespace

DestinationFolder::~DestinationFolder() = default;

bool DestinationFolder::isOpen() const { return open_; }

Status DestinationFolder::open(const QString &folder, Temporaries) {
  path_ = folder;
  const DWORD attributes = GetFileAttributesW(NativePath(folder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return Status::FromWindows(Status::Op::Open, GetLastError(), folder);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Status::FromWindows(Status::Op::Open, ERROR_DIRECTORY, folder);
  identity_ = FileIdentity(folder);
  open_ = true;
  return {};
}

// A temporary is held open by its writer from its creation until it has its
// name: that handle is the lock that keeps it from another run's clean-up.
Status DestinationFolder::beginRun(const QStringList &names) {
  if (open_)
    removeLeftovers(names);
  return {};
}

void DestinationFolder::removeLeftovers(const QStringList &names) {
  // Whatever process number it carries (numbers are reused): a leftover is
  // one that no one holds. Opened to delete, shared with no one, a
  // temporary its writer still holds is refused at once and stays; so is
  // one a scanner holds this moment, for the next run to take.
  for (const QString &name : names) {
    if (!TemporaryFileOwner(name))
      continue;
    HANDLE h = CreateFileW(NativePath(JoinPath(path_, name)).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h != INVALID_HANDLE_VALUE)
      CloseHandle(h);
  }
}

// No call flushes a whole volume for an ordinary user: every file's own.
bool DestinationFolder::syncVolume() { return false; }
bool DestinationFolder::syncsVolume() const { return false; }

// MoveFileEx with MOVEFILE_WRITE_THROUGH returns only once the rename is on
// disk, so the folder needs no sync of its own.
Status DestinationFolder::sync() { return {}; }

Status StagedFile::create() {
  discard();
  outOfHandles_ = false;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString temp = nextTempName();
    // Not marked hidden: the mark would stay on the file after the rename.
    // The leading dot keeps it out of every listing of exports.
    const std::wstring native = NativePath(JoinPath(folder_.path_, temp));
    HANDLE h = INVALID_HANDLE_VALUE;
    // A scanner may hold the folder's newest file; a folder that truly
    // refuses writing is given up on after its first file.
    const bool retried = RetryWhileInUse(
        [&] {
          // Shared for the move alone, which renames it while it is held.
          h = CreateFileW(native.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
          return h != INVALID_HANDLE_VALUE;
        },
        !folder_.createDenied_);
    if (!retried && GetLastError() == ERROR_ACCESS_DENIED)
      folder_.createDenied_ = true;
    if (h != INVALID_HANDLE_VALUE) {
      handle_ = h;
      tempName_ = temp;
      return {};
    }
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_EXISTS) {
      outOfHandles_ = code == ERROR_TOO_MANY_OPEN_FILES;
      return failed(Status::Op::Open, code);
    }
  }
  return failed(Status::Op::Open);
}

Status StagedFile::write(const char *data, std::size_t size) {
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(static_cast<HANDLE>(handle_), data, chunk, &written, nullptr))
      return failed(Status::Op::Write);
    if (written == 0)  // a write that takes nothing would never end
      return failed(Status::Op::Write, ERROR_WRITE_FAULT);
    data += written;
    size -= written;
  }
  return {};
}

void StagedFile::startWriteback() {}

Status StagedFile::syncData() {
  if (!FlushFileBuffers(static_cast<HANDLE>(handle_)))
    return failed(Status::Op::Sync);
  synced_ = true;
  return {};
}

bool StagedFile::isWritten() const { return handle_ != nullptr; }

QString StagedFile::identity() const {
  BY_HANDLE_FILE_INFORMATION info;
  if (!handle_ || !GetFileInformationByHandle(static_cast<HANDLE>(handle_), &info))
    return QString();
  return FileIdentityText(info.dwVolumeSerialNumber, (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
}

// The move below holds the file it replaces for the last look (heldEntry).
Status StagedFile::holdTarget(const QString &, Entry *target) {
  // What cannot be looked at is missing, and the move says the rest.
  *target = PathEntry(targetPath());
  return {};
}

void StagedFile::releaseTarget() {}

namespace {

// What stands at a path, looked at through a handle that lets no one else
// open it meanwhile. False when it is there but cannot be opened so (held
// by another program), with the error left in place.
bool heldEntry(const std::wstring &path, Entry *entry) {
  HANDLE h = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    *entry = {};
    SetLastError(code);
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(h, &info) &&
      !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
    entry->kind = EntryKind::Plain;
    entry->identity =
        FileIdentityText(info.dwVolumeSerialNumber, (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
  } else {
    entry->kind = EntryKind::Other;
  }
  CloseHandle(h);
  return true;
}

}  // namespace

Status StagedFile::putInPlace(const QString *replaces) {
  // Held until it has its name (see removeLeftovers), closed after.
  struct CloseAfter {
    StagedFile &file;
    ~CloseAfter() {
      if (file.handle_)
        CloseHandle(static_cast<HANDLE>(file.handle_));
      file.handle_ = nullptr;
    }
  } closeAfter{*this};
  const std::wstring temp = NativePath(JoinPath(folder_.path_, tempName_));
  const std::wstring target = NativePath(targetPath());
  // The last look at a file to replace is taken through a handle that keeps
  // everyone else out while it is checked; the move follows at once. What
  // remains is the moment between the two, which Windows offers no way to
  // close.
  if (replaces) {
    Entry held;
    RetryWhileInUse([&] { return heldEntry(target, &held); }, true);
    if (held.kind == EntryKind::Other || (held.kind == EntryKind::Plain && held.identity != *replaces)) {
      discard();
      return refuse();
    }
  }
  const DWORD replace = replaces ? MOVEFILE_REPLACE_EXISTING : 0;
  if (!RetryWhileInUse([&] { return MoveFileExW(temp.c_str(), target.c_str(), replace | MOVEFILE_WRITE_THROUGH) != 0; },
                       true)) {
    const DWORD code = GetLastError();
    discard();
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
      return refuse();
    // An existing target that stays held past the retries: another program
    // has it open, which is what the technician needs to hear.
    if (replaces && (code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION))
      return failed(Status::Op::Rename, ERROR_SHARING_VIOLATION);
    return failed(Status::Op::Rename, code);
  }
  tempName_.clear();
  return {};
}

void StagedFile::discard() {
  if (handle_) {
    CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
  }
  if (!tempName_.isEmpty()) {
    // A temporary that stays locked is removed by the next run.
    const std::wstring temp = NativePath(JoinPath(folder_.path_, tempName_));
    RetryWhileInUse([&] { return DeleteFileW(temp.c_str()) != 0; }, true);
    tempName_.clear();
  }
  synced_ = false;
}

}  // namespace rekoda
