#pragma once

#include "conversion/conversion_job.h"
#include "conversion/report.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPair>

#include <optional>
#include <vector>

namespace rekoda {

struct JournaledRun;

// What a run did: the job as Start froze it, and each file's result as the
// run settles it. Whoever shows, saves or copies a run reads this, never the
// controls, which the user may change while the run is on and after it.
class RunRecord {
 public:
  struct File {
    QString name;    // as listed
    QString output;  // the name the run gives it; empty for a name without a dot
    bool settled = false;
    FileOutcome outcome;  // once settled
  };

  RunRecord() = default;  // no run
  explicit RunRecord(const ConversionJob &job, const QDateTime &started = QDateTime::currentDateTime());
  // A run as its journal tells it, for its report after a restart: the
  // files the journal names, each as it ended. None, and why in *status,
  // when the journal cannot be read.
  static std::optional<RunRecord> FromJournal(const JournaledRun &run, Status *status = nullptr);

  bool isEmpty() const { return files_.empty(); }
  const ConversionJob &job() const { return job_; }
  const QDateTime &started() const { return started_; }
  const QString &version() const { return version_; }
  qsizetype size() const { return static_cast<qsizetype>(files_.size()); }
  const File &file(qsizetype index) const { return files_.at(static_cast<size_t>(index)); }
  // The job's index of a file; -1 for a file that is not in the job.
  qsizetype indexOf(const QString &name) const { return index_.value(name, -1); }

  // The name a file of the run has in the destination: its output once it
  // is there, the one it is going to while the run is on, and none for a
  // file that was not written (failed, skipped, or never reached), which a
  // reader of the record would take for a file that is there.
  QString writtenName(qsizetype index) const;

  void settle(qsizetype index, const FileOutcome &outcome);
  void finish(const RunSummary &summary);
  bool finished() const { return finished_; }
  const RunSummary &summary() const { return summary_; }

  // A file of the run as a report shows it, in values for whoever words
  // them: its name, the name it has in the destination (see writtenName),
  // its result once settled, why (NotReached for a file a finished run
  // never came to), and where a file it replaced went.
  struct Row {
    QString file, newName;
    enum class Result { None, Ok, Faild } result = Result::None;
    Reason reason;
    Replaced replaced = Replaced::No;
    QString trashedAs;
  };
  Row row(qsizetype index) const;

 private:
  ConversionJob job_;
  QDateTime started_;
  QString version_;
  std::vector<File> files_;
  QHash<QString, qsizetype> index_;
  RunSummary summary_;
  bool finished_ = false;
};

// Text of a result in the program's own words: "OK", "Faild", or empty
// while not settled.
QString ResultText(const RunRecord::File &file);

}  // namespace rekoda
