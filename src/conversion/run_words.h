#pragma once

#include "conversion/conversion_job.h"

#include <optional>

namespace rekoda {

// The words of a run's end, for the window and rekoda-cli.

// What a run says of a folder that went while it ran, or before it began.
QString FolderGoneText(RunSummary::Gone which, const QString &folder);

// The one message at the end of a run in which files failed, were skipped,
// or which a vanished folder stopped; none otherwise.
std::optional<QString> FailureSummary(const RunSummary &summary);

}  // namespace rekoda
