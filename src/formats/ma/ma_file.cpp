#include "formats/ma/ma_file.h"

#include "formats/buffer_file.h"

namespace rekoda {

namespace {

void writeMAField(int, int field, const std::string &v, std::string &out) {
  if (field == 4 || field == 5) {
    out += '"';
    out += v;
    out += '"';
  } else {
    out += v;
  }
}

}  // namespace

int ReadMAFile(const QString &Filenaam) { return ReadBufferFile(Filenaam, nullptr); }

bool WriteMAfile(const QString &destFolder, const QString &Filename, const QString &sExtension) {
  return WriteBufferFile(destFolder, Filename, sExtension, writeMAField);
}

}  // namespace rekoda
