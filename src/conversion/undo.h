#pragma once

#include "conversion/conversion_job.h"
#include "conversion/run_journal.h"

namespace rekoda {

// Undoes a run from its journal, file by file, as a run goes, each file told
// to the observer (file: the output's name; output: its source's):
//  - an output that is still exactly what the run wrote, whose source is
//    still in place and unchanged, is removed (the measurements are still in
//    the source); otherwise it is kept, and the reason says why;
//  - a file the run replaced comes back from the trash to its name once the
//    name is free, and leaves the trash;
//  - the temporaries a killed run left in the destination go too.
// Every step is synced as a run's are, and an undo cut short can be run
// again: what was undone already counts as done. A run undone wholly is
// marked so in its journal.
RunSummary UndoRun(const JournaledRun &run, RunObserver &observer, bool dryRun = false);

// Why a run cannot be undone yet: its writer holds its journal ("The run of
// 14:02 is still going"). An undo of such a run undoes nothing.
QString StillGoing(const JournaledRun &run);

// The question the window asks before an undo, naming the run.
QString UndoQuestion(const JournaledRun &run, const QDateTime &now = QDateTime::currentDateTime());

// How an undo went, in one message (none is needed when it all went).
QString UndoMessage(const JournaledRun &run, const RunSummary &summary);

}  // namespace rekoda
