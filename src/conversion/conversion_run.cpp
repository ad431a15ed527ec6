#include "conversion/conversion_run.h"

#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/message.h"

#include <exception>

namespace rekoda {

namespace {

class ViewObserver : public RunObserver {
 public:
  ViewObserver(ConversionView &view, const ConversionJob &job) : view_(view), job_(job) {}

  void fileDone(qsizetype, const FileOutcome &o) override { ShowFileDone(view_, job_, o); }
  void fileHandled(qsizetype index, qint64 handled) override {
    ShowFileHandled(view_, job_, index, handled);
    view_.processPendingEvents();
  }
  bool stopRequested() override { return view_.stopRequested(); }

 private:
  ConversionView &view_;
  const ConversionJob &job_;
};

}  // namespace

std::optional<ConversionJob> PrepareStart(ConversionView &view) {
  ConversionJob job;
  try {
    // The job takes the code as it will be written: upper-cased, checked.
    job.code = AsciiUpper(view.newCode());
    if (const auto problem = CheckFoldersAndCode(view.sourceFolder(), view.destinationFolder(), job.code)) {
      ShowMessage(*problem, MsgCritical);
      return std::nullopt;
    }
    const qsizetype rows = view.rowCount();
    if (rows == 0) {
      ShowMessage(QStringLiteral("No rows found for conversion!"), MsgCritical);
      return std::nullopt;
    }
    for (qsizetype i = 1; i <= rows; ++i) {
      if (view.isRowSelected(i))
        job.files << view.rowText(i);
      view.clearRowResult(i);
    }
    if (job.files.isEmpty()) {
      ShowMessage(QStringLiteral("No rows select for conversion!"), MsgCritical);
      return std::nullopt;
    }
    view.setSourceFolder(StripTrailingSeparator(view.sourceFolder()));
    view.setDestinationFolder(StripTrailingSeparator(view.destinationFolder()));
    job.source = view.sourceFolder();
    job.dest = view.destinationFolder();
    job.family = view.isDFFamily() ? Family::DF : Family::MA;
    view.setProgressMinimum(0);
    view.setProgressValue(0);
    view.setProgressMaximum(job.files.size());
    view.setProgressVisible(true);
  } catch (const std::exception &e) {
    ShowMessage(QString::fromLocal8Bit(e.what()), MsgPlain);
    return std::nullopt;
  }
  return job;
}

void StartClicked(ConversionView &view) {
  if (const auto job = PrepareStart(view))
    ConvertFiles(view, *job);
}

void ConvertFiles(ConversionView &view, const ConversionJob &job) {
  ShowRunLocked(view, true);
  std::optional<QString> message;
  try {
    if (!job.files.isEmpty())
      view.showFileInProgress(job.files.first());
    ViewObserver observer(view, job);
    message = FailureSummary(RunJob(job, observer));
  } catch (const std::exception &e) {
    message = QString::fromLocal8Bit(e.what());
  }
  // The pointer is back before any box appears.
  ShowRunLocked(view, false);
  if (message)
    ShowMessage(*message, MsgPlain);
}

void ShowRunLocked(ConversionView &view, bool locked) {
  static constexpr RunControl kLocked[] = {RunControl::OptDF,    RunControl::OptMA,      RunControl::CmdStart,
                                           RunControl::CmdClose, RunControl::CmdBestand, RunControl::CmdBestand1};
  if (locked) {
    for (RunControl c : kLocked)
      view.setControlEnabled(c, false);
    view.setBusyPointer(true);
    return;
  }
  view.setProgressVisible(false);
  view.setBusyPointer(false);
  for (RunControl c : kLocked)
    view.setControlEnabled(c, true);
}

void ShowFileDone(ConversionView &view, const ConversionJob &job, const FileOutcome &o) {
  view.setFileResult(o.file, QString::fromLatin1(o.ok ? kResultOk : kResultFailed), o.reason,
                     o.ok && !job.dryRun ? o.output : QString());
}

void ShowFileHandled(ConversionView &view, const ConversionJob &job, qsizetype index, qint64 handled) {
  view.showFileHandled(job.files[index]);
  view.setProgressValue(handled);
  if (index + 1 < job.files.size())
    view.showFileInProgress(job.files[index + 1]);
}

}  // namespace rekoda
