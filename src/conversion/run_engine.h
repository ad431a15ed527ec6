#pragma once

#include "conversion/conversion_job.h"

namespace rekoda {

class RunJournal;

// Files are written in groups of at most this many, or this long, and the
// folder is synced once per group.
inline constexpr int kGroupFiles = 64;
inline constexpr int kGroupMilliseconds = 100;

// Runs a job. An error the run cannot go on from (the observer's, or no
// memory for the run itself) ends it after the files in hand, with the
// error as its stopReason.
// With a journal, what the run puts in place is written down ahead, so that
// the run can be undone.
RunSummary RunJob(const ConversionJob &job, RunObserver &observer, RunJournal *journal = nullptr);

}  // namespace rekoda
