#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/status.h"

#include <functional>
#include <optional>
#include <string>

namespace rekoda {

// The platform's own path separator: folder texts are shown and joined with it.
QChar PathSeparator();
bool EndsWithSeparator(const QString &path);

// Joins a folder and a name with one separator; a folder that already ends
// in one (a root) gets no second.
QString JoinPath(const QString &folder, const QString &name);

// Removes one trailing separator, except from a root that would lose its
// meaning without it ("/").
QString StripTrailingSeparator(const QString &folder);

// The system's own description of an error number ("No space left on device").
QString ErrorText(int errnum);
#ifdef _WIN32
// A path as the wide-character Windows calls take it: absolute, with the
// \\?\ (or \\?\UNC\) prefix, so that it may be longer than 260
// characters and a name keeps a trailing dot or space.
std::wstring NativePath(const QString &path);
// Runs op again while it fails because another program (a virus scanner,
// the search indexer, a preview) has the file open for a moment: sharing
// and lock violations, and access denied when that counts too. Gives up
// after about a second and a half, leaving the last error in place.
bool RetryWhileInUse(const std::function<bool()> &op, bool accessDeniedToo);
// The same for a Windows error code (GetLastError).
QString WindowsErrorText(unsigned long code);
#endif

// A write past the process's file-size limit fails that file with "File
// too large" instead of ending the process (SIGXFSZ). Both programs call it
// first thing.
void KeepRunningPastFileSizeLimit();

// A file that is only ever appended to and synced, such as a run's journal:
// written through the system's own calls, from whichever thread a run is on.
class AppendFile {
 public:
  AppendFile() = default;
  ~AppendFile();
  AppendFile(const AppendFile &) = delete;
  AppendFile &operator=(const AppendFile &) = delete;

  // A new file (failing with EEXIST when one of that name is there
  // already), held as its writer's until closed (see HeldByWriter), or an
  // existing one to append to.
  Status create(const QString &path);
  Status openToAppend(const QString &path);
  // An existing file to append to, held as create() holds a new one, so
  // that no other writer appends to it meanwhile; heldByOther set when
  // another writer holds it now.
  Status openHeld(const QString &path, bool *heldByOther);
  bool isOpen() const;
  // Appends bytes, and with sync waits until they are on the disk.
  Status append(const QByteArray &bytes, bool sync);
  void close();

 private:
#ifdef _WIN32
  void *handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};
// The same for a folder's names (fsync of the folder; nothing to do on
// Windows, whose moves are written through).
Status SyncFolder(const QString &folder);

// Whether a file is held by the writer that created it with AppendFile and
// has not closed it yet (a lock on POSIX, the handle's sharing on Windows):
// a run still going, not one that was killed.
bool HeldByWriter(const QString &path);

// Removes a file. On Windows a file that another program holds a moment (a
// virus scanner) is waited for as a run waits.
Status RemoveFile(const QString &path);

// A whole file's bytes when it holds at most maxBytes; none, with the
// reason, when it cannot be read (held on Windows: waited for, as above).
// tooLarge says that it holds more.
std::optional<QByteArray> ReadFileBytes(const QString &path, qint64 maxBytes, Status *status = nullptr,
                                        bool *tooLarge = nullptr);

// Reads a file a line ('\n') at a time, never holding it whole: each line
// without its '\n', and last says that it is the end of a file that does not
// end in '\n' (cut short). each() returns false to stop.
Status ForEachLine(const QString &path, const std::function<bool(const QByteArray &line, bool last)> &each);

// The path made absolute, with the same bytes for every name in it.
QString AbsolutePath(const QString &path);

// Whether a path names a folder (a link to one too), by its own bytes.
bool IsFolder(const QString &path);

// Creates exactly one folder; its parent must exist (op CreateFolder, with
// EEXIST for a folder that is there already).
Status CreateFolder(const QString &path);

// What identifies a file or folder to the file system, so that two spellings
// of one file (links, "dir/.", letter case on a case-blind volume) compare
// equal. Empty when the path does not exist.
std::optional<QString> FileIdentity(const QString &path);
// How an identity is spelled: the volume (device, or volume serial number)
// and the file's number on it (inode, or file index).
QString FileIdentityText(quint64 volume, quint64 file);
// Whether two folder texts name one existing folder, however spelled.
bool SameFolder(const QString &a, const QString &b);

enum class EntryKind { Missing, Plain, Other };
struct Entry {
  EntryKind kind = EntryKind::Missing;
  QString identity;  // as FileIdentity() gives it; empty unless Plain
};
// What a path names, without following a link: a link, a folder, a pipe or
// a device is Other.
Entry PathEntry(const QString &path);

// Non-hidden files of a folder whose names match a wildcard pattern (pipes,
// sockets and devices too, which fail as they are read; never a folder),
// letter case ignored, in ascending order of name (case-blind, as people
// read a listing). A trailing ".*" also matches names without a dot, as
// "DF*.*" always has on the loggers' PCs. Names are kept as the file system
// gave them (see DecodeFileName). When the folder cannot be listed, returns
// nothing, and why in *status.
std::optional<QStringList> ListMatchingFiles(const QString &folder, const QString &pattern,
                                             Status *status = nullptr);

// Every name in a folder, hidden ones and folders included, as the file
// system gives them; none when it cannot be listed.
std::optional<QStringList> ListFolderNames(const QString &folder);

// A mounted volume that can hold a user's folders.
struct Volume {
  QString root;
  QString type;
};

// The volumes of a mount table in the form of /proc/self/mountinfo, without
// the system's own file systems (proc, sysfs, tmpfs under /run, overlays of
// containers and the like). Removable media stay, wherever they are mounted.
QList<Volume> VolumesFromMountInfo(const QByteArray &mountinfo);

// The volumes offered as drives, the system root first: drive letters on
// Windows, mounted volumes elsewhere.
QStringList Drives();

// The root of the volume that holds a folder.
QString VolumeRoot(const QString &folder);

// The nearest folder at or above the given one that exists.
QString NearestExistingFolder(const QString &folder);

}  // namespace rekoda
