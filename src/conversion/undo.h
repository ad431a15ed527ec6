#pragma once

#include "conversion/conversion_job.h"
#include "conversion/run_journal.h"

namespace rekoda {

// Undoes a run from its journal, file by file, as a run goes, each file told
// to the observer (file: the output's name; output: its source's):
//  - an output that is still exactly what the run wrote (the same file, the
//    same bytes), whose source is still in place and unchanged, is removed
//    (the measurements are still in the source); otherwise it is kept, and
//    the reason says why;
//  - a file the run replaced comes back from the trash to its name, in the
//    same step as the output goes where the volume allows, never leaving
//    the name empty and never over a file that is not the run's;
//  - an output that is not there is "not found", never counted undone;
//  - the temporaries a killed run left in the destination go too.
// The undo holds the run's journal from its first look to its last write:
// a second undo of the run, or one beside the run still going, undoes
// nothing and says why. It undoes only in the folder the run wrote into: a
// folder moved or replaced since is refused whole, and the run stays to be
// undone once it is back. Every step is synced as a run's are, and what was
// settled is written down, so that an undo cut short is taken up where it
// stopped by the next. A run whose every output is settled (gone, or kept
// for a reason that no later undo changes) is marked undone.
RunSummary UndoRun(const JournaledRun &run, RunObserver &observer, bool dryRun = false);

}  // namespace rekoda
