#pragma once

#include "conversion/reason.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace rekoda {

// A team's register of the locations it works with: a code and the place
// it names ("K22", "Pump station north"), kept as a spreadsheet keeps it.
struct Location {
  QString code;
  QString name;
  bool operator==(const Location &) const = default;
};

// A row of a register file that could not be taken, by its line (from 1).
struct LocationProblem {
  qsizetype line = 0;
  Reason why;
};

struct LocationRegister {
  std::vector<Location> rows;
  std::vector<LocationProblem> problems;

  bool isEmpty() const { return rows.empty(); }
  const Location *find(const QString &code) const;
};

// Takes a row into the register, its code upper-cased and checked as a
// typed one is; why not, if not.
std::optional<Reason> AddLocation(LocationRegister &reg, const QString &code, const QString &name);

// A CSV file as LibreOffice and Excel write one: comma or semicolon
// separated (whichever ends the first field of most lines), fields quoted
// with "" inside them, an optional header row, UTF-8 with or without a
// byte-order mark (else Windows-1252), CRLF or LF. A code and a name a row;
// further columns (a note) are left to the spreadsheet. Codes are upper-
// cased and must be usable as a new code.
LocationRegister ParseLocations(const QByteArray &csv);
// The register as a CSV file that ParseLocations() reads back unchanged and
// a spreadsheet opens: UTF-8 with a mark, a header, commas, CRLF.
QByteArray LocationsCsv(const std::vector<Location> &rows);

// Where the window keeps its register: beside the run journals.
QString LocationsFile();
// The register in a file; an empty one when the file does not exist.
std::optional<LocationRegister> ReadLocations(const QString &path, Status *error = nullptr);
// Replaces the file whole and durably: the old register stays until the new
// one is on disk.
Status SaveLocations(const QString &path, const std::vector<Location> &rows);

}  // namespace rekoda
