#include "ui/run_worker.h"

#include "buffer/variable.h"

#include <exception>

namespace rekoda {

RunWorker::RunWorker(ConversionJob job, Work work, QObject *parent)
    : QThread(parent), job_(std::move(job)), work_(std::move(work)) {
  qRegisterMetaType<rekoda::FileOutcome>();
}

RunWorker::~RunWorker() {
  requestStop();
  wait();
}

void RunWorker::run() {
  struct Forward : RunObserver {
    RunWorker &w;
    explicit Forward(RunWorker &worker) : w(worker) {}
    void fileDone(qsizetype index, const FileOutcome &o) override { emit w.fileDone(index, o); }
    void fileHandled(qsizetype index, qint64 handled) override { emit w.fileHandled(index, handled); }
    bool stopRequested() override { return w.stop_; }
  } forward(*this);
  try {
    summary_ = work_(forward);
  } catch (const std::exception &e) {
    summary_.total = job_.files.size();
    summary_.stopReason = {Reason::Kind::Unexpected, {QString::fromLocal8Bit(e.what())}};
  }
  ReleaseThreadBuffers();
}

}  // namespace rekoda
