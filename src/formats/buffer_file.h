#pragma once

#include <QString>

#include <optional>
#include <string>

namespace rekoda {

// Outcome of reading a data file into FieldBuffer; anything but ReadOk means
// LineCount is 0 and the buffer is empty.
enum ReadStatus : int {
  ReadOk = 0,
  ReadNoMarker = 2,     // DF identification line without a marker pair
  ReadOpenFailed = -1,  // cannot be opened, no handle free, or a read error
  ReadEmpty = -2,       // not a single line
  ReadTooLarge = -3,    // more lines or fields than the buffer holds
};

// Text shown when a file cannot even be tried.
inline constexpr char kReadErrorText[] = "Error on reading Minilogger File!";

// Tests the first line, whose fields are in SplitFields; null accepts any.
using FirstLineTest = bool (*)(long long lastField);

// Reads the file line by line into FieldBuffer, one row per line.
int ReadBufferFile(const QString &Filenaam, FirstLineTest firstLineTest);

// The output path: the name up to and including its first dot, then the new
// code, in the destination folder. None for a name without a dot.
std::optional<QString> OutputFilePath(const QString &destFolder, const QString &Filename,
                                      const QString &sExtension);

// Appends one field of a row, quoted as the format wants it.
using FieldWriter = void (*)(int row, int field, const std::string &value, std::string &out);

// Writes rows 1..LineCount atomically, fields joined by commas, each line
// ended by CR LF. Returns whether the file was written; every failure but a
// name without a dot is shown to the user.
bool WriteBufferFile(const QString &destFolder, const QString &Filename, const QString &sExtension,
                     FieldWriter writeField);

}  // namespace rekoda
