#include "buffer/field_buffer.h"

#include "buffer/variable.h"

#include <algorithm>
#include <cstring>

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

namespace {

// Quote characters never group text: they are simply removed. The runs
// between them move as blocks, found with memchr: a data line holds a few
// quotes in a hundred bytes.
void dropQuotes(std::string &s) {
  char *d = s.data();
  const size_t n = s.size();
  size_t w = 0, r = 0;
  while (r < n) {
    const auto *dq = static_cast<const char *>(std::memchr(d + r, '"', n - r));
    const size_t limit = dq ? static_cast<size_t>(dq - d) : n;
    const auto *sq = static_cast<const char *>(std::memchr(d + r, '\'', limit - r));
    const size_t q = sq ? static_cast<size_t>(sq - d) : limit;
    if (w != r)
      std::memmove(d + w, d + r, q - r);
    w += q - r;
    r = q + 1;
  }
  s.resize(w);
}

}  // namespace

long long SplitRegel(std::string &S1) {
  for (auto &f : SplitFields)
    f.clear();

  dropQuotes(S1);

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
