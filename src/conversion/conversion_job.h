#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace rekoda {

inline constexpr char kResultOk[] = "OK";
inline constexpr char kResultFailed[] = "Faild";

enum class Family { DF, MA };

// Everything a run does, fixed when it starts: nothing the user does during
// the run (sorting, selecting, typing a code) can change it.
struct ConversionJob {
  QString source;  // folders without a trailing separator
  QString dest;
  QString code;  // checked and upper-cased
  Family family = Family::DF;
  QStringList files;  // names as listed, in list order
  bool dryRun = false;  // read and check everything, write nothing
};

struct FileOutcome {
  QString file;
  QString output;  // the output name; empty for a name without a dot
  bool ok = false;
  QString reason;  // why it failed
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
};

struct RunSummary {
  qint64 total = 0;
  qint64 handled = 0;
  qint64 failed = 0;
  QStringList firstFailures;  // "name: reason", the first few
};

// Files are written in groups of at most this many, or this long, and the
// folder is synced once per group.
inline constexpr int kGroupFiles = 64;
inline constexpr int kGroupMilliseconds = 100;

RunSummary RunJob(const ConversionJob &job, RunObserver &observer);

// Whether a new code may be used as a file extension and a location code on
// every file system a technician meets; if not, why, in words for the user.
std::optional<QString> NewCodeProblem(const QString &code);
inline bool IsValidNewCode(const QString &code) { return !NewCodeProblem(code); }

// The input checks of Start, in their order; the message of the first that
// fails, or none. The row checks belong to the caller.
std::optional<QString> CheckFoldersAndCode(const QString &source, const QString &dest,
                                           const QString &code);

// The one message at the end of a run in which files failed; none otherwise.
std::optional<QString> FailureSummary(const RunSummary &summary);

}  // namespace rekoda
