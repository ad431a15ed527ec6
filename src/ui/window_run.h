#pragma once

#include "conversion/conversion_view.h"
#include "conversion/run_record.h"

#include <QObject>

namespace rekoda {

class RunWorker;

// A run started from the window: the checks of Start, the one question
// before replacing, the run on its own thread, and the record of the last
// run, which the window shows, saves and copies.
class WindowRun : public QObject {
  Q_OBJECT

 public:
  explicit WindowRun(ConversionView &view, QObject *parent = nullptr);
  // A run still on is asked to stop, and its thread waited for.
  ~WindowRun() override;

  // Start pressed. True when a run has begun; a failed check or Cancel at
  // the question leaves the window and the record as they were.
  bool start();
  bool isRunning() const { return worker_ != nullptr; }
  // The files in hand finish, then the run ends.
  void requestStop();
  const RunRecord &record() const { return record_; }

 signals:
  // The record is the new run's, and the rows are cleared for it.
  void started();
  void fileHandled(qsizetype index, qint64 handled);
  void fileSettled(qsizetype index);
  // The record is complete and the controls are free again.
  void ended();

 private:
  void finished();

  ConversionView &view_;
  RunRecord record_;
  RunWorker *worker_ = nullptr;
};

}  // namespace rekoda
