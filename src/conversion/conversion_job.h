#pragma once

#include <QDateTime>
#include <QString>
#include <QMetaType>
#include <QStringList>

#include <memory>
#include <optional>

namespace rekoda {

inline constexpr char kResultOk[] = "OK";
inline constexpr char kResultFailed[] = "Faild";

enum class Family { DF, MA };

// Reasons a run gives for a file that the file itself, not the run, causes.
inline constexpr char kNoDotReason[] = "name has no dot";
inline constexpr char kNoCodeFieldReason[] = "not an MA file (no record has a location code field)";

// What a run does with an output name that is a file in the destination
// already (never one of the source folder's originals, which is refused).
enum class Existing {
  Replace,         // replaced in one step
  ReplaceToTrash,  // the old file goes to the trash just before
  Skip,            // left as it is; the file is reported, not converted
};

// Everything a run does, fixed when it starts: nothing the user does during
// the run (sorting, selecting, typing a code) can change it.
struct ConversionJob {
  QString source;  // folders without a trailing separator
  QString dest;
  QString code;  // checked and upper-cased
  Family family = Family::DF;
  QStringList files;  // names as listed, in list order
  bool dryRun = false;  // read and check everything, write nothing
  Existing existing = Existing::Replace;
};

// What became of a file that an output took the name of.
enum class Replaced { No, ToTrash, Gone };

struct FileOutcome {
  QString file;
  QString output;  // the output name; empty for a name without a dot
  bool ok = false;
  QString reason;  // why it failed
  bool skipped = false;  // not converted: its output exists, and the job skips those
  Replaced replaced = Replaced::No;
  QString trashedAs;  // with ToTrash: where the replaced file is now
};

// What a run tells whoever started it.
class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // The file at this index of the job is settled: written and on disk, or
  // failed with its reason. Files are settled in job order, a group at a
  // time, so this comes somewhat after fileHandled().
  virtual void fileDone(qsizetype index, const FileOutcome &outcome) = 0;
  // The file at this index has been read and written out; handled counts
  // them. The window lets its events through here.
  virtual void fileHandled(qsizetype index, qint64 handled) = 0;
  // Checked before each file: the file in hand and its group finish first.
  virtual bool stopRequested() = 0;
  // The files settled since the last call are all told: a reader that
  // writes them somewhere writes them now, once for the group.
  virtual void groupSettled() {}
};

struct RunSummary {
  qint64 total = 0;
  qint64 handled = 0;
  qint64 failed = 0;   // skipped files not counted
  qint64 skipped = 0;
  // Why the run stopped short on its own: a folder that is no longer there.
  QString stopReason;
  // Which folder that was, for a caller that words it itself.
  enum class Gone { None, Destination, Source } folderGone = Gone::None;
  QStringList firstFailures;  // "name: reason", the first few
  QString runId;         // its journal, when it has one
  QString journalError;  // why it has none, or an incomplete one: it cannot be undone
};

class RunJournal;

// Files are written in groups of at most this many, or this long, and the
// folder is synced once per group.
inline constexpr int kGroupFiles = 64;
inline constexpr int kGroupMilliseconds = 100;

// Runs a job. An error the run cannot go on from (the observer's, or no
// memory for the run itself) ends it after the files in hand, with the
// error as its stopReason.
// With a journal, what the run puts in place is written down ahead, so that
// the run can be undone.
RunSummary RunJob(const ConversionJob &job, RunObserver &observer, RunJournal *journal = nullptr);
// A run as the window and rekoda-cli make it: with a journal in the user's
// data folder, unless it is a dry run. The journal is begun by the caller's
// thread (the window's, where the user's folders are asked for), the run may
// go on another.
class JournaledJob {
 public:
  JournaledJob(const ConversionJob &job, const QDateTime &started);
  ~JournaledJob();
  // Why the run will not be undoable (its journal could not be begun),
  // to be said before it writes anything.
  std::optional<QString> journalProblem() const;
  RunSummary run(RunObserver &observer);

 private:
  ConversionJob job_;
  std::shared_ptr<RunJournal> journal_;
  QString why_;  // why there is no journal
};

// What a run says of a folder that went while it ran, or before it began.
QString FolderGoneText(RunSummary::Gone which, const QString &folder);

// Whether a new code may be used as a file extension and a location code on
// every file system a technician meets; if not, why, in words for the user.
std::optional<QString> NewCodeProblem(const QString &code);
inline bool IsValidNewCode(const QString &code) { return !NewCodeProblem(code); }

// The input checks of Start, in their order; the message of the first that
// fails, or none. The row checks belong to the caller.
std::optional<QString> CheckFoldersAndCode(const QString &source, const QString &dest,
                                           const QString &code);

// The one message at the end of a run in which files failed, were skipped,
// or which a vanished folder stopped; none otherwise.
std::optional<QString> FailureSummary(const RunSummary &summary);

// The output names of a job that are files in its destination folder now,
// but for a file rewritten onto itself: what Start asks about.
QStringList ExistingOutputs(const ConversionJob &job);

}  // namespace rekoda

Q_DECLARE_METATYPE(rekoda::FileOutcome)
