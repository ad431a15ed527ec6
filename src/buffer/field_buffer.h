#pragma once

#include <string>

namespace rekoda {

// Empties every element of FieldBuffer and sets LineCount to 0.
void ResetBuf();

// Splits one line into SplitFields and returns the index of the last field
// (the field count minus 1; -1 for a line without fields). All double quotes
// and apostrophes are dropped first, then the line is cut at every comma; a
// comma at the very end opens no further field. Only the first 76 fields are
// kept, but all are counted. The line is consumed: S1 is empty afterwards.
long long SplitRegel(std::string &S1);

}  // namespace rekoda
