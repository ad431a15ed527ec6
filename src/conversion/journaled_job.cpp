#include "conversion/journaled_job.h"

#include "conversion/run_engine.h"
#include "conversion/run_journal.h"

namespace rekoda {

JournaledJob::JournaledJob(const ConversionJob &job, const QDateTime &started) : job_(job) {
  if (job.dryRun)
    return;
  journal_ = std::make_shared<RunJournal>();
  why_ = journal_->begin(job, started);
  if (!why_.ok())
    journal_.reset();
}

JournaledJob::~JournaledJob() = default;

RunSummary JournaledJob::run(RunObserver &observer) {
  RunSummary summary = RunJob(job_, observer, journal_.get());
  if (!job_.dryRun && !journal_)
    summary.journalError = {Reason::Kind::JournalNotBegun, why_};
  return summary;
}

std::optional<Reason> JournaledJob::journalProblem() const {
  if (job_.dryRun || journal_)
    return std::nullopt;
  return Reason(Reason::Kind::JournalNotBegun, why_);
}

}  // namespace rekoda
