#pragma once

#include <QString>

#include <optional>

namespace rekoda {

class RunRecord;

// Where the report of a run is suggested: beside its files.
QString SuggestedReportPath(const RunRecord &record);

// The run's report saved as CSV, in the window's words, whole or not at
// all (a QSaveFile); why not, when it could not be saved.
std::optional<QString> SaveRunReport(const RunRecord &record, const QString &path);

}  // namespace rekoda
