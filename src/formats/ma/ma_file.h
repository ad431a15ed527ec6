#pragma once

#include "formats/buffer_file.h"

#include <QString>

#include <string>

namespace rekoda {

// Reads an MA file into FieldBuffer, one record per line. Returns a ReadStatus.
int ReadMAFile(const QString &Filenaam, ReadReport *report = nullptr);

// How an MA file quotes a field: fields 4 and 5 quoted, all others bare.
void WriteMAField(int row, int field, const std::string &value, std::string &out);

}  // namespace rekoda
