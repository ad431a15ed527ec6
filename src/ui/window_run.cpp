#include "ui/window_run.h"

#include "conversion/conversion_run.h"
#include "platform/file_system.h"
#include "platform/message.h"
#include "ui/run_worker.h"

namespace rekoda {

namespace {

QString replaceQuestion(qsizetype existing, bool trash) {
  QString text = existing == 1
                     ? QStringLiteral("1 file already exists in the destination folder and will be replaced.")
                     : QStringLiteral("%1 files already exist in the destination folder and will be replaced.")
                           .arg(existing);
  text += trash ? QStringLiteral("\n\nEach file replaced goes to the trash first, from where it can be restored.")
                : QStringLiteral("\n\nThis volume has no trash: the files replaced cannot be restored.");
  return text;
}

}  // namespace

WindowRun::WindowRun(ConversionView &view, QObject *parent) : QObject(parent), view_(view) {}

WindowRun::~WindowRun() { delete worker_; }

bool WindowRun::start() {
  if (worker_)
    return false;
  auto job = PrepareStart(view_);
  if (!job)
    return false;
  // Asked once, before anything is written or cleared.
  if (const QStringList existing = ExistingOutputs(*job); !existing.isEmpty()) {
    const bool trash = FolderHasTrash(job->dest);
    switch (AskReplace(replaceQuestion(existing.size(), trash))) {
      case ReplaceAnswer::Cancel:
        return false;
      case ReplaceAnswer::Skip:
        job->existing = Existing::Skip;
        break;
      case ReplaceAnswer::Replace:
        job->existing = trash ? Existing::ReplaceToTrash : Existing::Replace;
        break;
    }
  }
  record_ = RunRecord(*job);
  ShowRunStarting(view_, *job);
  emit started();
  worker_ = new RunWorker(*job, this);
  connect(worker_, &RunWorker::fileDone, this, [this](qsizetype index, const FileOutcome &o) {
    record_.settle(index, o);
    emit fileSettled(index);
  });
  connect(worker_, &RunWorker::fileHandled, this, [this](qsizetype index, qint64 handled) {
    view_.setProgressValue(handled);
    emit fileHandled(index, handled);
  });
  connect(worker_, &QThread::finished, this, &WindowRun::finished);
  worker_->start();
  return true;
}

void WindowRun::requestStop() {
  if (worker_)
    worker_->requestStop();
}

void WindowRun::finished() {
  // finished() comes from the run's thread as it ends: let it end wholly.
  worker_->wait();
  record_.finish(worker_->summary());
  worker_->deleteLater();
  worker_ = nullptr;
  // The pointer is back and the controls free before any box appears.
  ShowRunEnded(view_);
  emit ended();
}

}  // namespace rekoda
