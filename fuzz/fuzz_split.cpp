// SplitRegel against an independent count of what a line must give.

#include "buffer/field_buffer.h"
#include "buffer/variable.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace rekoda;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string line(reinterpret_cast<const char *>(data), size);
  std::string bare;
  for (char c : line)
    if (c != '"' && c != '\'')
      bare += c;

  const long long last = SplitRegel(line);
  if (!line.empty())
    std::abort();  // the line is consumed

  if (bare.empty()) {
    if (last != -1)
      std::abort();
    return 0;
  }
  long long commas = 0;
  for (char c : bare)
    commas += c == ',';
  const bool trailing = bare.back() == ',';
  if (last + 1 != commas + 1 - (trailing ? 1 : 0))
    std::abort();

  // The stored fields joined again give the line back, up to the 76th field.
  std::string joined;
  for (long long i = 0; i <= last && i < kSplitFields; ++i)
    joined += (i ? "," : "") + SplitFields[static_cast<size_t>(i)];
  if (trailing)
    bare.pop_back();
  if (last < kSplitFields ? joined != bare : bare.compare(0, joined.size(), joined) != 0)
    std::abort();
  for (long long i = last + 1; i < kSplitFields; ++i)
    if (i >= 0 && !SplitFields[static_cast<size_t>(i)].empty())
      std::abort();
  return 0;
}
