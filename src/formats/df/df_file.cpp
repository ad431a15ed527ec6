#include "formats/df/df_file.h"

#include "buffer/variable.h"
#include "formats/buffer_file.h"

#include <algorithm>
#include <cctype>

namespace rekoda {

namespace {

constexpr int kFirstDataRow = 8;

// Spaces around the marker are tolerated, other white space is not.
std::string markerWord(const std::string &field) {
  const auto first = field.find_first_not_of(' ');
  if (first == std::string::npos)
    return {};
  const auto last = field.find_last_not_of(' ');
  std::string word = field.substr(first, last - first + 1);
  std::transform(word.begin(), word.end(), word.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return word;
}

bool hasMarkerPair(long long) {
  const std::string a = markerWord(SplitFields[1]);
  const std::string b = markerWord(SplitFields[2]);
  return (a == "MINI" && b == "LOGGER") || (a == "TREND" && b == "MONITOR");
}

void writeDFField(int row, int field, const std::string &v, std::string &out) {
  const bool quoted = row < kFirstDataRow || field == 1;
  if (!quoted) {
    out += v;
  } else if (!v.empty() || row > 1) {
    out += '"';
    out += v;
    out += '"';
  }
}

}  // namespace

int ReadDFFile(const QString &Filenaam) { return ReadBufferFile(Filenaam, hasMarkerPair); }

bool WriteDFfile(const QString &destFolder, const QString &Filename, const QString &sExtension) {
  return WriteBufferFile(destFolder, Filename, sExtension, writeDFField);
}

}  // namespace rekoda
