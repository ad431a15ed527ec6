#include "formats/df/df_file.h"
#include "round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace rekoda;
  return fuzz::roundTrip(
      data, size, [](const QString &p) { return ReadDFFile(p); },
      WriteDFField, [] { FieldBuffer[1][1] = "FZ"; });
}
