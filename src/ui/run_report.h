#pragma once

#include <QString>

#include <optional>

namespace rekoda {

class RunRecord;

// The message at the end of a run in which something went wrong, and that
// it cannot be undone where its journal failed; none when all went.
std::optional<QString> RunEndMessage(const RunRecord &record);
// The status line under the list after a run: "12 of 14 converted, 2 failed".
QString RunStatusLine(const RunRecord &record);

// Where the report of a run is suggested: beside its files.
QString SuggestedReportPath(const RunRecord &record);

// The run's report saved as CSV, in the window's words, whole or not at
// all (a QSaveFile); why not, when it could not be saved.
std::optional<QString> SaveRunReport(const RunRecord &record, const QString &path);

}  // namespace rekoda
