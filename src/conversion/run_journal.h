#pragma once

#include "conversion/conversion_job.h"
#include "conversion/name_key.h"
#include "platform/file_system.h"

#include <QDateTime>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace rekoda {

// One file a run put in place, as its journal keeps it.
struct JournalEntry {
  QString output;      // its name in the destination folder
  qint64 size = 0;     // what identifies the bytes written: their count
  QByteArray hash;     // and their SHA-1, in hex
  QString identity;    // the output file's identity (FileIdentity()); empty in older journals
  QString source;      // its name in the source folder
  qint64 index = -1;   // its place in the job; -1 in older journals
  qint64 sourceSize = -1;
  qint64 sourceChanged = -1;  // the source's change time when it was read
  bool replaces = false;      // it was to take the name of an existing file
  QString trashedAs;          // where that file went in the trash
  bool replacedGone = false;  // it was replaced without a trash
  // Whether it took its name: a file in place stays so even when a later
  // sync of its folder failed.
  enum class Placed { Unknown, Yes, No } placed = Placed::Unknown;
};

// What an undo did with one output, as the journal keeps it, so that a
// later undo takes up only what is left.
enum class UndoneAs { Removed, Restored, Absent, Kept };

// A run as its journal tells it, without its files: those are read a group
// at a time (ForEachEntry), however many there are.
struct JournaledRun {
  QString id;
  QString path;  // the journal file
  QDateTime time;
  QString version, source, dest, code;
  QString destIdentity;  // the destination folder as the run found it; empty in older journals
  Family family = Family::DF;
  qint64 files = 0;    // in the job
  qint64 entries = 0;  // written down ahead of being put in place
  qint64 placedFiles = 0;  // of them, in place: as the journal says, else as the folder shows
  qint64 settled = 0;  // outputs an undo has settled (removed, restored, not found, kept)
  bool undone = false;      // wholly: every output settled
  bool lastLineCut = false;  // it ends in a line cut short (a full disk, a crash)
  bool ended = false;    // its end line is there: the run finished
  bool going = false;    // its writer still holds it: the run is still going
  bool undoing = false;  // an undo holds it now
  // The outputs undos have settled, when asked for (LoadRun's keepSettled).
  std::shared_ptr<const QSet<NameKey>> settledOutputs;

  enum class State { NotUndone, PartlyUndone, Undone, Going, BeingUndone };
  State state() const;
  qint64 placed() const { return placedFiles; }
};

// The journal of a real run, kept in the user's application data folder so
// that the run can be undone later, after a restart too. Written ahead: a
// group's entries are on disk before the group is put in place, and where a
// replaced file goes is on disk before it goes, so that a run killed at any
// moment can be undone up to where it got; once a write fails, nothing
// more is written, and the run puts nothing more in place. The run holds
// it until its end, so that an undo can tell a run still going from one
// that was killed. Names and folders are kept as their bytes too, so that
// a name that is not UTF-8 comes back exactly. The last kKeptRuns runs are
// kept. An undo appends to the same journal what it settled.
class RunJournal {
 public:
  static constexpr int kKeptRuns = 20;
  // Where journals live: <AppLocalDataLocation>/runs.
  static QString folder();

  // A failure when the journal cannot be begun; a run then cannot be undone.
  Status begin(const ConversionJob &job, const QDateTime &time);
  const QString &id() const { return id_; }
  // Why the journal stopped taking lines after it was begun; empty while
  // every line went in. The calls below say only whether their lines went
  // in: the first failure is the journal's one reason.
  const Status &failure() const { return failure_; }

  // sync: wait until the entries are on disk; a caller that syncs the
  // journal's volume as a whole anyway says no, and syncs() later if that
  // did not happen.
  bool writeAhead(const std::vector<JournalEntry> &group, bool sync);
  bool sync();
  // The volume the journal is on (as the part of FileIdentity() before ':').
  const QString &volume() const { return volume_; }
  // A false answer: the file must not go.
  bool trashing(const QString &output, const QString &trashedAs);
  // After the group: which files took their names, and what they replaced;
  // written with the group's last one.
  void placed(const JournalEntry &entry, bool inPlace);
  void groupPlaced();
  // A file that failed or was skipped, and why: written with the next
  // group's lines or the end, so that the run's report can be made again.
  void failed(qint64 index, const FileOutcome &outcome);
  void end();

 private:
  Status append(const QByteArray &lines, bool sync);

  QString id_;
  AppendFile file_;
  QByteArray placed_;  // the group's lines, not yet written
  QString volume_;
  Status failure_;
};

// A run's journal held by its undo from its first look to its last write,
// so that no second undo works on the run meanwhile and none starts beside
// its run: the writer holds it the same way until the run ends.
class UndoJournal {
 public:
  enum class Hold { Held, HeldByRun, HeldByUndo, Failed };
  // Holds the journal and reads it again (what another undo did before this
  // one got it counts); run is updated.
  // status: why it failed (Failed).
  Hold hold(JournaledRun &run, Status *status);
  // Written and synced once the undo begins, so that a second undo can tell
  // it from the run.
  Status begin();
  // What a group of outputs became, synced.
  Status settled(const std::vector<std::pair<QString, UndoneAs>> &outputs);
  Status markUndone();

 private:
  Status append(const QByteArray &lines);
  AppendFile file_;
  bool lastLineCut_ = false;
};

// Every run that has a journal, newest first; damaged lines (the end of a
// journal whose run was killed while writing it) are passed over.
std::vector<JournaledRun> ListRuns();
std::optional<JournaledRun> LoadRun(const QString &id, bool keepSettled = false);
// The newest run not wholly undone yet.
std::optional<JournaledRun> LastRunToUndo();
// The run's files in the order the journal has them, each with everything
// the journal says of it, a group at a time: index counts from 0. False,
// and why in *status, when the journal cannot be read.
bool ForEachEntry(const JournaledRun &run, const std::function<void(qint64 index, const JournalEntry &)> &each,
                  Status *status = nullptr);

// How each file the journal knows of ended: written and in place (OK), or
// failed with its reason, in the order the journal first names them. Files
// the run never came to are not in it.
bool ForEachOutcome(const JournaledRun &run, const std::function<void(const FileOutcome &)> &each,
                    Status *status = nullptr);

// SHA-1 of bytes, in hex, as the journal keeps it.
QByteArray ContentHash(const char *data, std::size_t size);

}  // namespace rekoda
