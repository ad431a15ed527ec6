#pragma once

#include "conversion/conversion_job.h"
#include "conversion/file_code.h"
#include "conversion/locations.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace rekoda {

// A field of the text report: the bytes of the text as the file system
// spells names (a name that is not UTF-8 keeps its own bytes), with
// backslash, tab, newline and carriage return written \\ \t \n \r and every
// other control byte \xHH, so that a field never breaks its line.
QByteArray ReportField(const QString &text);

// One line per file for scripts: name, output name, OK or Faild, reason;
// tab-separated, ended by a newline.
QByteArray TextReportLine(const FileOutcome &outcome);

// The same as one JSON object: "file", "output", "result", "reason", each
// as text (a byte that is not UTF-8 shown as its Latin-1 character), and
// for a name that is not UTF-8 also "file_bytes" or "output_bytes": its
// exact bytes in base64, to tell it apart and open it again; "skipped":true
// for a file left as it was because its output exists.
QByteArray JsonReportLine(const FileOutcome &outcome);

// What rekoda-cli --list says of a file: its name, the codes it carries now
// (comma-separated; empty when none) and what a run would do with it ("ok"
// or the reason it would fail); as text, or as a JSON object with "file",
// "codes" (an array), "would" and, as above, "file_bytes".
// With a register (known), the place that the file's one code names: a
// fourth field, "location" in JSON (empty, or null, when it names none).
QByteArray TextListLine(const QString &file, const FileCode &code, const LocationRegister *known = nullptr);
QByteArray JsonListLine(const QString &file, const FileCode &code, const LocationRegister *known = nullptr);

// A saved report of a run, for people and spreadsheets: CSV as RFC 4180 has
// it (fields quoted where they hold a comma, a quote or a line end; quotes
// doubled; CR LF), in UTF-8 with a byte-order mark so that spreadsheets read
// it as UTF-8. First what the run was (each a name and a value), then an
// empty line, then one row per file.
struct ReportRow {
  QString file, newName, result, reason;
  QString replaced;  // what became of an older file of the new name, if any
};
// columns: the header words, English unless the window gives its own.
QStringList ReportColumns();
QByteArray CsvReport(const QList<QPair<QString, QString>> &about, const QList<ReportRow> &rows,
                     const QStringList &columns = ReportColumns());

}  // namespace rekoda
