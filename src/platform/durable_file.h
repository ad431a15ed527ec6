#pragma once

#include "platform/file_system.h"
// What each system keeps of a folder and a file: one header per system.
#ifdef _WIN32
#include "platform/durable_file_windows.h"
#else
#include "platform/durable_file_posix.h"
#endif

#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace rekoda {

// The folder a run writes into, held open for the whole run so that every
// file lands in the folder that was chosen, and synced once per group of
// files rather than once per file.
// Threads: open() and beginRun() run on the run's own thread before any
// file. From then on path_, identity_, fd_ and the volume flags are only
// read; unnamedTemporaries_ belongs to the run's thread (StagedFile::
// create); canExchange_, canRenameNoReplace_, canLink_ and unremoved_ to
// the committing thread (install, sync), one group at a time; the
// destructor runs once that thread is joined.
class DestinationFolder : private DestinationFolderSystem {
 public:
  enum class Temporaries { Any, Named };

  DestinationFolder() = default;
  ~DestinationFolder();
  DestinationFolder(const DestinationFolder &) = delete;
  DestinationFolder &operator=(const DestinationFolder &) = delete;

  // Named temporaries are what file systems without unnamed ones get; tests
  // ask for them (REKODA_TEST_NAMED_TEMPORARIES=1 does the same for a run).
  Status open(const QString &folder, Temporaries temporaries = Temporaries::Any);
  bool isOpen() const;
  const QString &path() const { return path_; }

  // Takes the folder for a run. Runs into one folder share its lock, which
  // each holds until it is done, so that a temporary is never taken away
  // from a running writer. The first run into a folder that no other holds
  // removes the temporaries an interrupted run left: only names of the exact
  // form this program gives them, made by a process that no longer runs.
  // names: the folder's listing, which the run has made anyway. A failure
  // when the lock cannot be had (FolderHeld): no run goes on without it.
  Status beginRun(const QStringList &names);

  // Makes the names put in place since the last sync durable.
  Status sync();
  // Writes back every file of the volume and flushes the disk's cache, in
  // one call, where the file system does both for certain (ext4, XFS,
  // Btrfs); false where it does not, or when it reports an error.
  bool syncVolume();
  // Whether syncVolume() is how this folder's files are synced.
  bool syncsVolume() const;

  // Whether the folder is still the one that was opened, at its path: a
  // folder renamed or replaced under a run must get no more of its files.
  bool stillAtItsPath() const;

 private:
  friend class StagedFile;
  QString path_;
  std::optional<QString> identity_;  // as FileIdentity() gave it at open
  void removeLeftovers(const QStringList &names);
};

// One file on its way into the folder. Its states:
//
//   created ── write() ──> written ── syncData() ──> synced ── install() ──> installed
//      │                      │                        │
//      └──────────────────────┴───── discard() ────────┴──> discarded
//
// install() over an existing file, where names can be swapped (POSIX):
//
//   synced ── swap ──> swapped ── the file that came out is the one seen ──> unlink it ──> installed
//                         │                                                  (failed: again at the
//                         │                                                   group's sync, else the
//                         │                                                   next run's clean-up)
//                         └── it is another program's ── swap back ──> refused (kDestinationExists)
//                                                           │
//                                                   failed: nothing unlinked; that file is
//                                                   moved to NAME.other where it can be,
//                                                   the temporary's name forgotten, and the
//                                                   reason says where it is
//
// install() with toTrash over an existing file (Replace, with a trash):
//
//   synced ── the target still the file seen ── beforeTrash (the journal notes where it goes)
//                    │                                  │
//                    └── no: refused ───────────────────┴── fails: refused, the old file stays
//                                                       │
//            a second link to the old file into the trash (its note first)
//                 │                                          │
//   the new file takes the name in one step,          no links here (FAT, exFAT, the Recycle
//   as above ──> installed                            Bin): the old file moves to the trash; the
//                 │                                   name, free now, taken only while free ──> installed
//   fails: the trash's link and note go;                          │
//   the old file never left its name                  fails: the old file comes back to its name
//                                                     (taken meanwhile: it stays in the trash),
//                                                     and the reason says which
//
// A group of a run goes through these together: its journal lines written
// ahead, every file synced, each installed, then one sync of the folder.
//
// created: a temporary that no listing shows (unnamed, or a hidden name of
// the form .rekoda-<pid>-<n>.tmp, which the run's lock on the folder keeps
// from any clean-up until it is installed or discarded). Until install()
// succeeds the target is untouched; a failed step, or a StagedFile that
// goes away uninstalled, leaves nothing behind.
// The steps are separate so that a run can start write-back for many files
// before it waits on any.
class StagedFile : private StagedFileSystem {
  friend class DestinationFolder;
  friend struct DestinationFolderSystem;

 public:
  StagedFile(DestinationFolder &folder, const QString &name);
  ~StagedFile();
  StagedFile(const StagedFile &) = delete;
  StagedFile &operator=(const StagedFile &) = delete;

  Status create();
  // Whether create() failed for want of a free file handle, which committing
  // the files in hand gives back.
  bool outOfHandles() const { return outOfHandles_; }
  Status write(const char *data, std::size_t size);
  // Asks the system to start writing the data out; syncData() waits for it.
  void startWriteback();
  Status syncData();
  // The volume was synced as a whole since the file was written.
  void syncedWithVolume() { synced_ = isWritten(); }
  bool synced() const { return synced_; }

  // Puts the file in place under its name. It replaces only the plain file
  // whose identity (as FileIdentity() gives it) is *replaces, as the caller
  // saw it; with none, the name must be free. A name taken since, a link,
  // a folder, anything but that file is never written through or replaced:
  // the failure is then TargetTaken, and all stay as they were.
  // With toTrash the file it replaces goes to the trash just before the new
  // one takes the name, so that a replace can be undone; a crash between
  // the two leaves the old file in the trash, never lost; a failed move to
  // the trash fails the file and keeps the old one. replacement says
  // whether a file was replaced, and where it went. This policy is the
  // same on every system; what differs is below, per system.
  struct Replacement {
    bool happened = false;
    QString trashedAs;  // its path in the trash; empty when it is gone
    // Hears where the old file is going just before it goes to the trash.
    std::function<bool(const QString &trashedAs)> beforeTrash;
    // Where the volume has no links, a failure after the old file went to
    // the trash puts it back: whether that worked, and if not, why.
    bool putBack = false;
    Status putBackFailure;
  };
  Status install(const QString *replaces = nullptr, bool toTrash = false, Replacement *replacement = nullptr);
  void discard();

  const QString &name() const { return name_; }
  // The file's identity (as FileIdentity() gives it), which its name, once
  // it has one, keeps; empty when it cannot be told.
  QString identity() const;
  // The temporary's hidden name; empty while it has none.
  const QString &temporaryName() const { return tempName_; }

 private:
  // The failure of a name taken (TargetTaken).
  static Status refuse();
  bool isWritten() const;
  QString targetPath() const;
  // What stands at the name now, a link not followed; the file of the
  // identity given is held against other runs replacing it until
  // releaseTarget() (see HeldTarget). A failure when that cannot be told.
  Status holdTarget(const QString &identity, Entry *target);
  void releaseTarget();
  // Gives the file its name: a free one only while it stays free, an
  // existing one (replaces) only while it is still that file.
  Status putInPlace(const QString *replaces);
  // install() of a file that replaces another through the trash.
  Status replaceThroughTrash(const QString &replaces, Replacement &replaced);

  DestinationFolder &folder_;
  QString name_;
  QString tempName_;
  bool synced_ = false;
  bool outOfHandles_ = false;
};

// Writes a small file of the program's own whole: the old content stays at
// its name until the new is on disk (through a StagedFile).
Status ReplaceFileDurably(const QString &path, const QByteArray &data);

// The exact form of a temporary's name (.rekoda-<pid>-<n>.tmp, numbers
// as the program writes them: no leading zero, a pid the system can give),
// and the process that made it; none for any other name.
std::optional<long long> TemporaryFileOwner(const QString &name);
QString TemporaryFileName(long long pid, unsigned long long counter);

}  // namespace rekoda
