#pragma once

#include <QString>

#include <optional>

namespace rekoda {

// Whether a new code may be used as a file extension and a location code on
// every file system a technician meets; if not, why, in words for the user.
std::optional<QString> NewCodeProblem(const QString &code);
inline bool IsValidNewCode(const QString &code) { return !NewCodeProblem(code); }

// The input checks of Start, in their order; the message of the first that
// fails, or none. The row checks belong to the caller.
std::optional<QString> CheckFoldersAndCode(const QString &source, const QString &dest,
                                           const QString &code);

}  // namespace rekoda
