#include "buffer/field_buffer.h"

#include "buffer/variable.h"

#include <algorithm>

namespace rekoda {

void ResetBuf() {
  LineCount = 0;
  // This runs once for every file read, and most rows of a small file's
  // buffer are empty already: a row is filled with its field count first,
  // so a row without one holds nothing to clear.
  for (auto &row : FieldBuffer) {
    if (row[0].empty())
      continue;
    for (auto &field : row)
      field.clear();
  }
}

long long SplitRegel(std::string &S1) {
  for (auto &f : SplitFields)
    f.clear();

  // Quote characters never group text: they are simply removed.
  S1.erase(std::remove_if(S1.begin(), S1.end(), [](char c) { return c == '"' || c == '\''; }),
           S1.end());

  long long n = 0;
  std::string::size_type start = 0;
  const auto len = S1.size();
  while (start < len) {
    auto comma = S1.find(',', start);
    if (comma == std::string::npos)
      comma = len;
    if (n < kSplitFields)
      SplitFields[static_cast<size_t>(n)].assign(S1, start, comma - start);
    ++n;
    start = comma + 1;
  }
  S1.clear();
  return n - 1;
}

}  // namespace rekoda
