#include "formats/ma/ma_file.h"

namespace rekoda {

void WriteMAField(int, int field, const std::string &v, std::string &out) {
  if (field == 4 || field == 5) {
    out += '"';
    out += v;
    out += '"';
  } else {
    out += v;
  }
}

int ReadMAFile(const QString &Filenaam, ReadReport *report) {
  return ReadBufferFile(Filenaam, nullptr, "MA", report);
}

}  // namespace rekoda
