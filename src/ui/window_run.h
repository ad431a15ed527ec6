#pragma once

#include "conversion/conversion_view.h"
#include "conversion/locations.h"
#include "conversion/run_journal.h"
#include "conversion/run_record.h"

#include <QObject>

#include <functional>
#include <optional>

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
  // The register of known locations Start checks the code against; none,
  // or an empty one, asks nothing.
  void setKnownLocations(std::function<const LocationRegister &()> known) { known_ = std::move(known); }

  // The run that Undo would undo now: the newest not undone yet, whose
  // journal the user's data folder keeps, after a restart too.
  std::optional<JournaledRun> runToUndo() const { return LastRunToUndo(); }
  // Undo pressed: asks once, naming the run; true when an undo has begun.
  bool startUndo();

 signals:
  // The record is the new run's, and the rows are cleared for it.
  void started();
  // The files of the job from one index up to another are handled.
  void filesHandled(qsizetype from, qsizetype upTo);
  void fileSettled(qsizetype index);
  // The record is complete and the controls are free again.
  void ended();
  // An undo is over: how it went, in a message, and whether it undid the
  // run of the record.
  void undoEnded(const QString &message, bool undidRecord);

 private:
  void finished();
  void launch(RunWorker *worker);

  ConversionView &view_;
  RunRecord record_;
  RunWorker *worker_ = nullptr;
  std::optional<JournaledRun> undoing_;
  std::function<const LocationRegister &()> known_;
};

}  // namespace rekoda
