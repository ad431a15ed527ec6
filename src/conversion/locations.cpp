#include "conversion/locations.h"

#include "conversion/checks.h"
#include "platform/durable_file.h"
#include "platform/file_name.h"
#include "platform/file_system.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

#include <array>
#include <cerrno>

namespace rekoda {

namespace {

// A register is a short list; a file far beyond one is not a register.
constexpr qint64 kMaxRegisterBytes = qint64{4} * 1024 * 1024;

// Excel's "CSV" in a Western European Windows: Latin-1 but for 0x80-0x9F.
QString FromWindows1252(const QByteArray &bytes) {
  static constexpr std::array<char16_t, 32> k80 = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  QString text = QString::fromLatin1(bytes);
  for (QChar &c : text)
    if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
      c = QChar(k80[c.unicode() - 0x80]);
  return text;
}

QString Decoded(const QByteArray &bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (utf8.hasError())
    return FromWindows1252(bytes);
  if (text.startsWith(QChar(0xFEFF)))
    text.remove(0, 1);
  return text;
}

struct CsvRow {
  qsizetype line = 0;  // where it begins
  QStringList fields;
  bool unclosed = false;
};

// Rows as RFC 4180 has them; a quoted field may hold the separator, a line
// end and "" for a quote. Empty lines are no rows.
std::vector<CsvRow> SplitCsv(const QString &text, QChar separator) {
  std::vector<CsvRow> rows;
  CsvRow row;
  QString field;
  bool quoted = false, any = false;
  qsizetype line = 1;
  row.line = 1;
  const auto endRow = [&](qsizetype next) {
    if (any || !field.isEmpty() || !row.fields.isEmpty()) {
      row.fields << field;
      rows.push_back(row);
    }
    row = CsvRow{next, {}, false};
    field.clear();
    any = false;
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (quoted) {
      if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
        field += u'"';
        ++i;
      } else if (c == u'"') {
        quoted = false;
      } else {
        line += c == u'\n';
        field += c;
      }
    } else if (c == u'"') {
      quoted = any = true;
    } else if (c == separator) {
      row.fields << field;
      field.clear();
      any = true;
    } else if (c == u'\n' || c == u'\r') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
        ++i;
      endRow(++line);
    } else {
      field += c;
    }
  }
  row.unclosed = quoted;
  endRow(line);
  return rows;
}

// The separator is whichever of ',' and ';' ends the first field of most
// lines: a code holds neither comma nor line end, while a name may hold
// either separator unquoted.
QChar DetectSeparator(const QString &text) {
  int commas = 0, semicolons = 0;
  bool quoted = false, first = true;
  for (QChar c : text) {
    if (c == u'"')
      quoted = !quoted;
    else if (quoted)
      continue;
    else if (c == u'\n' || c == u'\r')
      first = true;
    else if (first && (c == u',' || c == u';')) {
      (c == u',' ? commas : semicolons) += 1;
      first = false;
    }
  }
  return semicolons > commas ? u';' : u',';
}

// What a header's first cell says in the languages a register is kept in.
bool IsHeader(const QString &first) {
  static const QStringList words = {QStringLiteral("code"), QStringLiteral("location code"),
                                    QStringLiteral("locatiecode"), QStringLiteral("ortscode"),
                                    QStringLiteral("standortcode"), QStringLiteral("kürzel")};
  return words.contains(first.toLower());
}

QString CsvField(const QString &text) {
  // ';' too: a code may hold one, and it must not decide the separator.
  if (!text.contains(u',') && !text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') &&
      !text.contains(u'\r'))
    return text;
  return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

}  // namespace

const Location *LocationRegister::find(const QString &code) const {
  for (const Location &l : rows)
    if (l.code == code)
      return &l;
  return nullptr;
}

std::optional<Reason> AddLocation(LocationRegister &reg, const QString &code, const QString &name) {
  const QString upper = AsciiUpper(code.trimmed());
  if (upper.isEmpty())
    return Reason(Reason::Kind::LocationNoCode, {name});
  if (const auto why = NewCodeProblem(upper))
    return Reason::About(Reason::Kind::LocationBadCode, *why, {upper});
  if (const Location *earlier = reg.find(upper)) {
    if (earlier->name != name)
      return Reason(Reason::Kind::LocationTwice, {upper, earlier->name});
    return std::nullopt;  // the same row again: nothing lost in passing it over
  }
  reg.rows.push_back({upper, name});
  return std::nullopt;
}

LocationRegister ParseLocations(const QByteArray &csv) {
  const QString text = Decoded(csv);
  LocationRegister reg;
  bool firstRow = true;
  for (const CsvRow &row : SplitCsv(text, DetectSeparator(text))) {
    const bool header = std::exchange(firstRow, false) && IsHeader(row.fields[0].trimmed());
    const QString name = row.fields.value(1).trimmed();
    if (header)
      continue;
    if (row.unclosed) {
      reg.problems.push_back({row.line, Reason::Kind::LocationQuoteOpen});
      continue;
    }
    // A spreadsheet saves a row it has formatted but left empty as ";;".
    bool blank = true;
    for (const QString &f : row.fields)
      blank = blank && f.trimmed().isEmpty();
    if (blank)
      continue;
    if (auto why = AddLocation(reg, row.fields[0], name))
      reg.problems.push_back({row.line, std::move(*why)});
  }
  return reg;
}

QByteArray LocationsCsv(const std::vector<Location> &rows) {
  QString text = QStringLiteral("Code,Location\r\n");
  for (const Location &l : rows)
    text += CsvField(l.code) + u',' + CsvField(l.name) + QStringLiteral("\r\n");
  return "\xEF\xBB\xBF" + text.toUtf8();
}

QString LocationsFile() {
  return QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                                  QStringLiteral("/locations.csv"));
}

std::optional<LocationRegister> ReadLocations(const QString &path, Status *error) {
  if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
    return LocationRegister{};
  bool tooLarge = false;
  const auto bytes = ReadFileBytes(path, kMaxRegisterBytes, error, &tooLarge);
  if (!bytes) {
    if (tooLarge && error)
      *error = Status::Failed(Status::Op::Read, EFBIG, path);
    return std::nullopt;
  }
  return ParseLocations(*bytes);
}

Status SaveLocations(const QString &path, const std::vector<Location> &rows) {
  const QString folder = QFileInfo(path).absolutePath();
  if (!QDir().mkpath(folder))
    return Status::Failed(Status::Op::MakeFolder, 0, folder);
  return ReplaceFileDurably(path, LocationsCsv(rows));
}

}  // namespace rekoda
