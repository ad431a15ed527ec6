#pragma once

#include "conversion/reason.h"

#include <QDateTime>
#include <QString>
#include <QList>
#include <QMetaType>
#include <QPair>
#include <QStringList>

#include <memory>
#include <optional>

namespace rekoda {

inline constexpr char kResultOk[] = "OK";
inline constexpr char kResultFailed[] = "Faild";

enum class Family { DF, MA };

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
  Reason reason;  // why it failed, or what became of it
  bool skipped = false;  // not converted: its output exists, and the job skips those
  Replaced replaced = Replaced::No;
  QString trashedAs;  // with ToTrash: where the replaced file is now
  // An undo's file: what it did. ok with none of these: nothing to do.
  bool removed = false;   // the run's output is gone
  bool restored = false;  // the file it replaced is back at its name
  bool absent = false;    // the output was not there: nothing of the run's to take away
  bool kept = false;      // not ok, for the reason given, and no later undo changes that
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
  Reason stopReason;
  // Which folder that was, for a caller that words it itself.
  enum class Gone { None, Destination, Source } folderGone = Gone::None;
  QList<QPair<QString, Reason>> firstFailures;  // a file's name and its reason, the first few
  QString runId;        // its journal, when it has one
  Reason journalError;  // why it has none, or an incomplete one: it cannot be undone
  qint64 placed = 0;     // files that took their names (a run), whatever a later sync said
  // An undo's counts: outputs removed, replaced files brought back, outputs
  // not found, outputs kept (failed counts the rest that were not undone),
  // and outputs an earlier undo settled, passed over.
  struct UndoCounts {
    qint64 removed = 0, restored = 0, absent = 0, kept = 0, before = 0;
  } undo;
};

}  // namespace rekoda

Q_DECLARE_METATYPE(rekoda::FileOutcome)
