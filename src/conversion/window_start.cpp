#include "conversion/window_start.h"

#include "conversion/checks.h"
#include "platform/file_name.h"
#include "platform/file_system.h"

#include <exception>

namespace rekoda {

namespace {

constexpr RunControl kLocked[] = {RunControl::DFFamily, RunControl::MAFamily,     RunControl::Start,
                                  RunControl::Close,    RunControl::ChooseSource, RunControl::ChooseDestination};

}  // namespace

std::optional<ConversionJob> PrepareStart(ConversionView &view) {
  ConversionJob job;
  try {
    // The job takes the code as it will be written: upper-cased, checked.
    job.code = AsciiUpper(view.newCode());
    if (const auto problem = CheckFoldersAndCode(view.sourceFolder(), view.destinationFolder(), job.code)) {
      view.showProblem(*problem, MsgCritical);
      return std::nullopt;
    }
    const qsizetype rows = view.rowCount();
    if (rows == 0) {
      view.showProblem(Reason::Kind::NoRows, MsgCritical);
      return std::nullopt;
    }
    for (qsizetype i = 1; i <= rows; ++i)
      if (view.isRowSelected(i))
        job.files << view.rowText(i);
    if (job.files.isEmpty()) {
      for (qsizetype i = 1; i <= rows; ++i)
        view.clearRowResult(i);
      view.showProblem(Reason::Kind::NoRowSelected, MsgCritical);
      return std::nullopt;
    }
    job.source = StripTrailingSeparator(view.sourceFolder());
    job.dest = StripTrailingSeparator(view.destinationFolder());
    job.family = view.isDFFamily() ? Family::DF : Family::MA;
  } catch (const std::exception &e) {
    view.showProblem({Reason::Kind::Unexpected, {QString::fromLocal8Bit(e.what())}}, MsgPlain);
    return std::nullopt;
  }
  return job;
}

void ShowRunStarting(ConversionView &view, const ConversionJob &job) {
  for (qsizetype i = 1, rows = view.rowCount(); i <= rows; ++i)
    view.clearRowResult(i);
  view.setSourceFolder(job.source);
  view.setDestinationFolder(job.dest);
  ShowRunLocked(view, job.files.size());
}

void ShowRunLocked(ConversionView &view, qint64 files) {
  view.setProgressMinimum(0);
  view.setProgressValue(0);
  view.setProgressMaximum(files);
  view.setProgressVisible(true);
  for (RunControl c : kLocked)
    view.setControlEnabled(c, false);
  view.setBusyPointer(true);
}

void ShowRunEnded(ConversionView &view) {
  view.setProgressVisible(false);
  view.setBusyPointer(false);
  for (RunControl c : kLocked)
    view.setControlEnabled(c, true);
}

}  // namespace rekoda
