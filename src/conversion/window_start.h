#pragma once

#include "conversion/conversion_job.h"
#include "conversion/conversion_view.h"

#include <optional>

namespace rekoda {

// The checks of Start: the first problem found is shown and nothing else
// happens; otherwise the job is fixed and returned, with the window as it
// was, so that a question the caller still asks can be cancelled.
std::optional<ConversionJob> PrepareStart(ConversionView &view);

// A run of the job begins: every row's result is cleared, the folder texts
// lose a trailing separator, the progress is set up and the controls that
// could disturb the run are locked.
void ShowRunStarting(ConversionView &view, const ConversionJob &job);

// Something else walks over files as a run does (an undo): the controls
// locked and the progress set up for that many files.
void ShowRunLocked(ConversionView &view, qint64 files);

// The run has ended: the progress hidden, the pointer back, the controls free.
void ShowRunEnded(ConversionView &view);

}  // namespace rekoda
