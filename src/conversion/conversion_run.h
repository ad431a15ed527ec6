#pragma once

#include "conversion/conversion_job.h"
#include "conversion/conversion_view.h"

namespace rekoda {

// The Start button: checks the inputs, shows the first problem found, and
// otherwise fixes the job and converts it.
void StartClicked(ConversionView &view);

// Converts a job, reporting to the window; one message at the end when
// files failed.
void ConvertFiles(ConversionView &view, const ConversionJob &job);

}  // namespace rekoda
