#pragma once

#include "conversion/conversion_job.h"

#include <QList>
#include <QPair>
#include <QThread>

#include <atomic>
#include <functional>

namespace rekoda {

// A run on a thread of its own, so that the window answers at once while
// files are read and written. Results come to the window as queued signals,
// a batch at a time, as Qt's Mandelbrot example hands over each pass: the
// files settled, once a group is; the files handled, every 50 ms or so.
// Stopping is a flag the run checks before each file. Destroyed during the
// run, it stops the run after the files in hand and waits for its thread.
class RunWorker : public QThread {
  Q_OBJECT

 public:
  // The work done on the thread: the job's run by default, or another walk
  // over files that reports as a run does (an undo).
  using Work = std::function<RunSummary(RunObserver &observer)>;
  using Settled = QList<QPair<qsizetype, rekoda::FileOutcome>>;
  RunWorker(ConversionJob job, Work work, QObject *parent = nullptr);
  ~RunWorker() override;
  void requestStop() { stop_ = true; }
  // Once finished() has come.
  const RunSummary &summary() const { return summary_; }
  const ConversionJob &job() const { return job_; }

 signals:
  // The files settled since the last batch, by their index in the job.
  void filesSettled(const rekoda::RunWorker::Settled &files);
  // The files from one index of the job up to another have been handled;
  // handled counts all so far.
  void filesHandled(qsizetype from, qsizetype upTo, qint64 handled);

 protected:
  void run() override;

 private:
  const ConversionJob job_;
  const Work work_;
  std::atomic<bool> stop_{false};
  RunSummary summary_;
};

}  // namespace rekoda
