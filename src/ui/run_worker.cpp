#include "ui/run_worker.h"

#include "buffer/variable.h"

#include <QElapsedTimer>

#include <exception>

namespace rekoda {

RunWorker::RunWorker(ConversionJob job, Work work, QObject *parent)
    : QThread(parent), job_(std::move(job)), work_(std::move(work)) {
  qRegisterMetaType<rekoda::FileOutcome>();
  qRegisterMetaType<Settled>("rekoda::RunWorker::Settled");
}

RunWorker::~RunWorker() {
  requestStop();
  wait();
}

namespace {

// How often handled files are told at most: the progress and the rows in
// hand move ten to twenty times a second, which the eye cannot tell from
// every file, and the window's queue stays short.
constexpr qint64 kHandledEveryMs = 50;

}  // namespace

void RunWorker::run() {
  struct Forward : RunObserver {
    RunWorker &w;
    Settled settled;
    qsizetype first = -1, last = -1;
    qint64 handled = 0;
    QElapsedTimer told;
    explicit Forward(RunWorker &worker) : w(worker) { told.start(); }
    void fileDone(qsizetype index, const FileOutcome &o) override { settled.append({index, o}); }
    void fileHandled(qsizetype index, qint64 count) override {
      if (first < 0)
        first = index;
      last = index;
      handled = count;
      if (told.elapsed() >= kHandledEveryMs)
        tellHandled();
    }
    bool stopRequested() override { return w.stop_; }
    void groupSettled() override {
      tellHandled();
      if (!settled.isEmpty())
        emit w.filesSettled(settled);
      settled.clear();
    }
    void tellHandled() {
      if (first >= 0)
        emit w.filesHandled(first, last, handled);
      first = -1;
      told.restart();
    }
  } forward(*this);
  try {
    summary_ = work_(forward);
  } catch (const std::exception &e) {
    summary_.total = job_.files.size();
    summary_.stopReason = {Reason::Kind::Unexpected, {QString::fromLocal8Bit(e.what())}};
  }
  forward.groupSettled();
  ReleaseThreadBuffers();
}

}  // namespace rekoda
