#include "formats/ma/ma_file.h"
#include "round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace rekoda;
  return fuzz::roundTrip(
      data, size, [](const QString &p) { return ReadMAFile(p); },
      WriteMAField, [] {
    for (int r = 1; r <= LineCount; ++r)
      FieldBuffer[static_cast<size_t>(r)][4] = "FZ";
  });
}
