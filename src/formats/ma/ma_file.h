#pragma once

#include "formats/buffer_file.h"

#include <QString>

#include <string>

namespace rekoda {

// Reads an MA file into FieldBuffer, one record per line. Returns a ReadStatus.
int ReadMAFile(const QString &Filenaam, ReadReport *report = nullptr);

// How an MA file quotes a field: fields 4 and 5 quoted, all others bare.
void WriteMAField(int row, int field, const std::string &value, std::string &out);

// Writes FieldBuffer as an MA file into destFolder. Returns whether the file
// was written.
bool WriteMAfile(const QString &destFolder, const QString &Filename, const QString &sExtension,
                 QString *reason = nullptr, bool utf8Bom = false);

}  // namespace rekoda
