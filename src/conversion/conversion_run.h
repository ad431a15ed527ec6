#pragma once

#include "conversion/conversion_job.h"
#include "conversion/conversion_view.h"

#include <optional>

namespace rekoda {

// The checks of Start: the first problem found is shown and nothing else
// happens; otherwise the rows' results are cleared, the progress is set up
// and the job is fixed.
std::optional<ConversionJob> PrepareStart(ConversionView &view);

// The Start button, in one go on the caller's thread: PrepareStart, then
// ConvertFiles. (The window runs the job on a thread of its own.)
void StartClicked(ConversionView &view);

// Converts a job, reporting to the window; one message at the end when
// files failed.
void ConvertFiles(ConversionView &view, const ConversionJob &job);

// What the window shows of a run, whichever thread the run works on:
// the controls locked and the busy pointer while it runs (the progress
// hidden again after), each file's result, and the files handled so far.
void ShowRunLocked(ConversionView &view, bool locked);
void ShowFileDone(ConversionView &view, const ConversionJob &job, const FileOutcome &outcome);
void ShowFileHandled(ConversionView &view, const ConversionJob &job, qsizetype index, qint64 handled);

}  // namespace rekoda
