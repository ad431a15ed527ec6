#pragma once

#include "conversion/conversion_view.h"

namespace rekoda {

inline constexpr char kResultOk[] = "OK";
inline constexpr char kResultFailed[] = "Faild";

// The Start button: checks the inputs, shows the first problem found, and
// otherwise prepares the progress bar and converts the selected rows.
void StartClicked(ConversionView &view);

// Converts the selected rows one after the other. Called by StartClicked
// once every check has passed.
void ConvertFiles(ConversionView &view);

// Whether a new code may be used as a file extension and a location code.
bool IsValidNewCode(const QString &code);

}  // namespace rekoda
