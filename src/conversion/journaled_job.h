#pragma once

#include "conversion/conversion_job.h"

#include <QDateTime>

#include <memory>
#include <optional>

namespace rekoda {

class RunJournal;

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
  std::optional<Reason> journalProblem() const;
  RunSummary run(RunObserver &observer);

 private:
  ConversionJob job_;
  std::shared_ptr<RunJournal> journal_;
  Status why_;  // why there is no journal
};

}  // namespace rekoda
