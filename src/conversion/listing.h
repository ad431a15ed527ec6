#pragma once

#include "conversion/conversion_job.h"

namespace rekoda {

// The output names of a job that are files in its destination folder now,
// but for a file rewritten onto itself: what Start asks about.
QStringList ExistingOutputs(const ConversionJob &job);

}  // namespace rekoda
