#include "ui/window_run.h"

#include "conversion/journaled_job.h"
#include "conversion/listing.h"
#include "conversion/undo.h"
#include "conversion/window_start.h"
#include "platform/file_system.h"
#include "platform/message.h"
#include "platform/trash.h"
#include "ui/run_worker.h"
#include "ui/window_speaker.h"

#include <QFileInfo>

namespace rekoda {

namespace {

QString replaceQuestion(qsizetype existing, bool trash) {
  QString text = existing == 1
                     ? WindowRun::tr("1 file already exists in the destination folder and will be replaced.")
                     : WindowRun::tr("%1 files already exist in the destination folder and will be replaced.")
                           .arg(existing);
  text += QStringLiteral("\n\n");
  text += trash ? WindowRun::tr("Each file replaced goes to the trash first, from where it can be restored.")
                : WindowRun::tr("This volume has no trash: the files replaced cannot be restored.");
  return text;
}

// Asked before a run whose files carry more than one code: renaming another
// logger's files is the mistake Undo then has to mend.
QString mixedCodesQuestion(const QList<QPair<QString, qsizetype>> &codes, const QString &code) {
  QStringList parts;
  for (const auto &[c, files] : codes)
    parts << WindowRun::tr("%1 (%2)").arg(c, files == 1 ? WindowRun::tr("1 file") : WindowRun::tr("%1 files").arg(files));
  return WindowRun::tr("The selected files carry %1 codes: %2. Convert them all to %3?")
      .arg(codes.size())
      .arg(parts.join(QStringLiteral(", ")), code);
}

QString unknownLocationQuestion(const QString &code, qsizetype known, qsizetype files) {
  const QString notKnown = known == 1 ? WindowRun::tr("%1 is not your one known location.").arg(code)
                                      : WindowRun::tr("%1 is not one of your %2 known locations.")
                                            .arg(code, Words().number(known));
  const QString convert = files == 1 ? WindowRun::tr("Convert the selected file to %1 anyway?").arg(code)
                                     : WindowRun::tr("Convert the %1 selected files to %2 anyway?")
                                           .arg(Words().number(files), code);
  return notKnown + u' ' + convert;
}

// Asked once, before anything is written or cleared: what becomes of the
// files of the job's output names already there. False: cancelled.
bool askReplace(ConversionJob &job) {
  if (const QStringList existing = ExistingOutputs(job); !existing.isEmpty()) {
    const bool trash = FolderHasTrash(job.dest);
    switch (AskReplace(replaceQuestion(existing.size(), trash))) {
      case ReplaceAnswer::Cancel:
        return false;
      case ReplaceAnswer::Skip:
        job.existing = Existing::Skip;
        break;
      case ReplaceAnswer::Replace:
        job.existing = trash ? Existing::ReplaceToTrash : Existing::Replace;
        break;
    }
  }
  return true;
}

// Whether both folders are still there; a folder gone is said as a run
// says it.
bool foldersThere(const ConversionJob &job) {
  for (const auto &[which, folder] : {std::pair{Reason::Kind::DestinationGone, job.dest},
                                      std::pair{Reason::Kind::SourceGone, job.source}}) {
    if (!IsFolder(folder)) {
      ShowMessage(Words().words(Reason(which, {folder})) + u'.', MsgPlain);
      return false;
    }
  }
  return true;
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
  // A mistyped code would give a day's files the wrong place.
  if (const LocationRegister *known = known_ ? &known_() : nullptr;
      known && !known->isEmpty() && !known->find(job->code) &&
      !AskConfirm(unknownLocationQuestion(job->code, qsizetype(known->rows.size()), job->files.size()), tr("Con&vert")))
    return false;
  if (const auto codes = view_.selectedCodeCounts();
      codes.size() > 1 && !AskConfirm(mixedCodesQuestion(codes, job->code), tr("Con&vert")))
    return false;
  if (!askReplace(*job))
    return false;
  // A question may have stood open a while: a folder gone meanwhile is
  // said as a run says it, before anything is written (a journal begun
  // too) or cleared.
  if (!foldersThere(*job))
    return false;
  // Before anything is written: a run that could not be undone is the
  // user's choice, not a surprise at its end. (Asked, there is no journal.)
  RunRecord record(*job);
  auto journaled = std::make_shared<JournaledJob>(*job, record.started());
  if (const auto problem = journaled->journalProblem();
      problem && (!AskConfirm(tr("This run cannot be undone: %1.\n\nRun anyway?").arg(Words().words(*problem)),
                              tr("&Run anyway")) ||
                  !foldersThere(*job)))
    return false;
  record_ = std::move(record);
  ShowRunStarting(view_, *job);
  emit started();
  launch(new RunWorker(*job, [journaled](RunObserver &o) { return journaled->run(o); }, this));
  return true;
}

bool WindowRun::startUndo() {
  if (worker_)
    return false;
  auto run = runToUndo();
  if (run && run->going) {
    ShowMessage(tr("The run of %1 is still going: it cannot be undone until it ends.").arg(Words().runTime(run->time)),
                MsgPlain);
    return false;
  }
  if (run && run->undoing) {
    ShowMessage(Words().words(Reason(Reason::Kind::UndoGoing, {Words().runTime(run->time)})) + u'.', MsgPlain);
    return false;
  }
  if (!run || !AskConfirm(Words().undoQuestion(*run), tr("&Undo")))
    return false;
  undoing_ = std::move(run);
  ShowRunLocked(view_, qsizetype(undoing_->entries));
  launch(new RunWorker({}, [run = *undoing_](RunObserver &o) { return UndoRun(run, o); }, this));
  return true;
}

void WindowRun::launch(RunWorker *worker) {
  worker_ = worker;
  connect(worker_, &RunWorker::filesSettled, this, [this](const RunWorker::Settled &files) {
    if (undoing_)
      return;  // an undo's files are told at its end, in one message
    for (const auto &[index, outcome] : files) {
      record_.settle(index, outcome);
      emit fileSettled(index);
    }
  });
  connect(worker_, &RunWorker::filesHandled, this, [this](qsizetype from, qsizetype upTo, qint64 handled) {
    view_.setProgressValue(handled);
    if (!undoing_)
      emit filesHandled(from, upTo);
  });
  connect(worker_, &QThread::finished, this, &WindowRun::finished);
  worker_->start();
}

void WindowRun::requestStop() {
  if (worker_)
    worker_->requestStop();
}

void WindowRun::finished() {
  // finished() comes from the run's thread as it ends: let it end wholly.
  worker_->wait();
  const RunSummary summary = worker_->summary();
  worker_->deleteLater();
  worker_ = nullptr;
  // The pointer is back and the controls free before any box appears.
  ShowRunEnded(view_);
  if (undoing_) {
    const JournaledRun run = std::move(*undoing_);
    undoing_.reset();
    emit undoEnded(Words().undoMessage(run, summary), !record_.isEmpty() && run.id == record_.summary().runId);
    return;
  }
  record_.finish(summary);
  emit ended();
}

}  // namespace rekoda
