#pragma once

#include "conversion/conversion_job.h"

#include <QThread>

#include <atomic>
#include <functional>

namespace rekoda {

// A run on a thread of its own, so that the window answers at once while
// files are read and written. Results come to the window as queued signals;
// stopping is a flag the run checks before each file. Destroyed during the
// run, it stops the run after the files in hand and waits for its thread.
class RunWorker : public QThread {
  Q_OBJECT

 public:
  // The work done on the thread: the job's run by default, or another walk
  // over files that reports as a run does (an undo).
  using Work = std::function<RunSummary(RunObserver &observer)>;
  RunWorker(ConversionJob job, Work work, QObject *parent = nullptr);
  ~RunWorker() override;
  void requestStop() { stop_ = true; }
  // Once finished() has come.
  const RunSummary &summary() const { return summary_; }
  const ConversionJob &job() const { return job_; }

 signals:
  void fileDone(qsizetype index, const rekoda::FileOutcome &outcome);
  void fileHandled(qsizetype index, qint64 handled);

 protected:
  void run() override;

 private:
  const ConversionJob job_;
  const Work work_;
  std::atomic<bool> stop_{false};
  RunSummary summary_;
};

}  // namespace rekoda
