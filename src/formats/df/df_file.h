#pragma once

#include <QString>

namespace rekoda {

// Reads a DF file into FieldBuffer. Its first line must carry the marker pair
// MINI,LOGGER or TREND,MONITOR in its second and third fields. Returns a
// ReadStatus.
int ReadDFFile(const QString &Filenaam);

// Writes FieldBuffer as a DF file into destFolder: rows 1 to 7 are the header,
// every non-empty field quoted; from row 8 on only the first field is quoted.
// Returns whether the file was written.
bool WriteDFfile(const QString &destFolder, const QString &Filename, const QString &sExtension);

}  // namespace rekoda
