#include "conversion/journaled_job.h"

#include "conversion/run_engine.h"
#include "conversion/run_journal.h"

namespace rekoda {

JournaledJob::JournaledJob(const ConversionJob &job, const QDateTime &started) : job_(job) {
  if (job.dryRun)
    return;
  journal_ = std::make_shared<RunJournal>();
  if (!journal_->begin(job, started, &why_))
    journal_.reset();
}

JournaledJob::~JournaledJob() = default;

RunSummary JournaledJob::run(RunObserver &observer) {
  RunSummary summary = RunJob(job_, observer, journal_.get());
  if (!job_.dryRun && !journal_)
    summary.journalError = JournalFailure(why_);
  return summary;
}

std::optional<QString> JournaledJob::journalProblem() const {
  if (job_.dryRun || journal_)
    return std::nullopt;
  return JournalFailure(why_);
}

}  // namespace rekoda
