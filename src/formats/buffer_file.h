#pragma once

#include "conversion/reason.h"

#include <QString>

#include <optional>
#include <string>

namespace rekoda {

// Outcome of reading a data file into FieldBuffer; anything but ReadOk means
// LineCount is 0 and the buffer is empty.
enum ReadStatus : int {
  ReadOk = 0,
  ReadNoMarker = 2,     // DF identification line without a marker pair
  ReadOpenFailed = -1,  // cannot be opened, not a plain file, no handle free, or a read error
  ReadEmpty = -2,       // not a single line
  ReadTooLarge = -3,    // more lines, fields or bytes than the buffer holds
  ReadNotText = -4,     // UTF-16 or UTF-32 text, not 8-bit text
};

// Text shown when a file cannot even be tried and no report is asked for.
inline constexpr char kReadErrorText[] = "Error on reading Minilogger File!";

// What a read found besides its status.
struct ReadReport {
  Reason reason;         // why the file was not read
  bool utf8Bom = false;  // began with a UTF-8 byte-order mark, which the output keeps
  bool outOfHandles = false;  // no file handle was free to open it with
  long long size = -1;        // the file's size and change time when it was opened
  long long changed = -1;
};

// Field 0 of a buffer row as its field count; none when it is not one.
std::optional<int> RowFieldCount(const std::string &fieldZero);

// Tests the first line, whose fields are in SplitFields; null accepts any.
using FirstLineTest = bool (*)(long long lastField);

// Reads the file line by line into FieldBuffer, one row per line. Without a
// report, a file that cannot even be tried is shown to the user; with one,
// every failure is described there instead.
int ReadBufferFile(const QString &Filenaam, FirstLineTest firstLineTest, const char *family,
                   ReadReport *report);

// The output name: the name up to and including its first dot, then the new
// code. None for a name without a dot.
std::optional<QString> OutputFileName(const QString &Filename, const QString &sExtension);

// Appends one field of a row, quoted as the format wants it.
using FieldWriter = void (*)(int row, int field, const std::string &value, std::string &out);

// Renders rows 1..LineCount, fields joined by commas, each line ended by
// CR LF. A reason (kind None when it went) when the buffer is not one a
// reader left.
Reason RenderBufferFile(FieldWriter writeField, bool utf8Bom, std::string &out);

}  // namespace rekoda
