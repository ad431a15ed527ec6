#include "formats/df/df_file.h"

#include "buffer/variable.h"

namespace rekoda {

namespace {

constexpr int kFirstDataRow = 8;

// Spaces around the marker are tolerated, other white space is not. Only
// ASCII letters are upper-cased: under a Turkish locale toupper('i') is not
// 'I', and "mini logger" must still pass.
std::string markerWord(const std::string &field) {
  const auto first = field.find_first_not_of(' ');
  if (first == std::string::npos)
    return {};
  const auto last = field.find_last_not_of(' ');
  std::string word = field.substr(first, last - first + 1);
  for (char &c : word)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return word;
}

bool hasMarkerPair(long long) {
  const std::string a = markerWord(SplitFields[1]);
  const std::string b = markerWord(SplitFields[2]);
  return (a == "MINI" && b == "LOGGER") || (a == "TREND" && b == "MONITOR");
}

}  // namespace

void WriteDFField(int row, int field, const std::string &v, std::string &out) {
  const bool quoted = row < kFirstDataRow || field == 1;
  if (!quoted) {
    out += v;
  } else if (!v.empty() || row > 1) {
    out += '"';
    out += v;
    out += '"';
  }
}

int ReadDFFile(const QString &Filenaam, ReadReport *report) {
  return ReadBufferFile(Filenaam, hasMarkerPair, "DF", report);
}

}  // namespace rekoda
