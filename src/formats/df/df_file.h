#pragma once

#include "formats/buffer_file.h"

#include <QString>

#include <string>

namespace rekoda {

// Reads a DF file into FieldBuffer. Its first line must carry the marker pair
// MINI,LOGGER or TREND,MONITOR in its second and third fields. Returns a
// ReadStatus.
int ReadDFFile(const QString &Filenaam, ReadReport *report = nullptr);

// How a DF file quotes a field: rows 1 to 7 are the header, every non-empty
// field quoted (empty ones too from row 2); from row 8 on only the first.
void WriteDFField(int row, int field, const std::string &value, std::string &out);

}  // namespace rekoda
