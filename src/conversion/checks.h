#pragma once

#include "conversion/reason.h"

#include <QString>

#include <optional>

namespace rekoda {

// Whether a new code may be used as a file extension and a location code on
// every file system a technician meets; if not, why.
std::optional<Reason> NewCodeProblem(const QString &code);
inline bool IsValidNewCode(const QString &code) { return !NewCodeProblem(code); }

// The input checks of Start, in their order; the first that fails, or
// none. The row checks belong to the caller.
std::optional<Reason> CheckFoldersAndCode(const QString &source, const QString &dest, const QString &code);

}  // namespace rekoda
