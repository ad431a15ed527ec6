#pragma once

#include <QString>

namespace rekoda {

// Reads an MA file into FieldBuffer, one record per line. Returns a ReadStatus.
int ReadMAFile(const QString &Filenaam);

// Writes FieldBuffer as an MA file into destFolder: fields 4 and 5 quoted,
// all others bare. Returns whether the file was written.
bool WriteMAfile(const QString &destFolder, const QString &Filename, const QString &sExtension);

}  // namespace rekoda
