#include "conversion/run_record.h"

#include "conversion/run_journal.h"
#include "formats/buffer_file.h"

namespace rekoda {

RunRecord::RunRecord(const ConversionJob &job, const QDateTime &started)
    : job_(job), started_(started), version_(QStringLiteral(REKODA_VERSION)) {
  files_.reserve(static_cast<size_t>(job.files.size()));
  index_.reserve(job.files.size());
  for (const QString &name : job.files) {
    index_.insert(name, static_cast<qsizetype>(files_.size()));
    files_.push_back({name, OutputFileName(name, job.code).value_or(QString()), false, {}});
  }
  summary_.total = job.files.size();
}

std::optional<RunRecord> RunRecord::FromJournal(const JournaledRun &run, Status *status) {
  std::vector<FileOutcome> outcomes;
  if (!ForEachOutcome(run, [&outcomes](const FileOutcome &f) { outcomes.push_back(f); }, status))
    return std::nullopt;
  ConversionJob job;
  job.source = run.source;
  job.dest = run.dest;
  job.code = run.code;
  job.family = run.family;
  job.files.reserve(qsizetype(outcomes.size()));
  for (const FileOutcome &f : outcomes)
    job.files << f.file;
  RunRecord record(job, run.time);
  record.version_ = run.version;
  RunSummary summary;
  summary.total = run.files;
  summary.runId = run.id;
  for (size_t i = 0; i < outcomes.size(); ++i) {
    const FileOutcome &f = outcomes[i];
    record.settle(qsizetype(i), f);
    ++summary.handled;
    summary.skipped += f.skipped;
    summary.failed += !f.ok && !f.skipped;
    summary.placed += f.ok;
  }
  record.finish(summary);
  return record;
}

void RunRecord::settle(qsizetype index, const FileOutcome &outcome) {
  File &f = files_.at(static_cast<size_t>(index));
  f.settled = true;
  f.outcome = outcome;
}

QString RunRecord::writtenName(qsizetype index) const {
  const File &f = file(index);
  if (f.settled)
    return f.outcome.ok ? f.output : QString();
  return finished_ ? QString() : f.output;
}

void RunRecord::finish(const RunSummary &summary) {
  summary_ = summary;
  finished_ = true;
}

QString ResultText(const RunRecord::File &file) {
  if (!file.settled)
    return {};
  return QString::fromLatin1(file.outcome.ok ? kResultOk : kResultFailed);
}

RunRecord::Row RunRecord::row(qsizetype index) const {
  const File &f = file(index);
  Row r{f.name, writtenName(index), Row::Result::None, {}, Replaced::No, {}};
  if (f.settled) {
    r.result = f.outcome.ok ? Row::Result::Ok : Row::Result::Faild;
    r.reason = f.outcome.reason;
    r.replaced = f.outcome.replaced;
    r.trashedAs = f.outcome.trashedAs;
  } else if (finished_) {
    r.reason = Reason::Kind::NotReached;
  }
  return r;
}

}  // namespace rekoda
