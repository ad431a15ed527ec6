#include "conversion/report.h"

#include "conversion/speaker.h"
#include "platform/file_name.h"

namespace rekoda {

namespace {

constexpr char kHex[] = "0123456789abcdef";

QByteArray jsonString(const QString &text) {
  // UTF-8 first: its multi-byte sequences hold no byte below 0x80, so the
  // escapes below can go byte by byte.
  const QByteArray utf8 = DisplayFileName(text).toUtf8();
  QByteArray out;
  out.reserve(utf8.size() + 2);
  out += '"';
  for (const char ch : utf8) {
    const auto b = static_cast<unsigned char>(ch);
    if (b == '"' || b == '\\') {
      out += '\\';
      out += ch;
    } else if (b < 0x20 || b == 0x7F) {
      out += "\\u00";
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    } else {
      out += ch;
    }
  }
  return out + '"';
}

bool isUtf8Name(const QString &name) { return DisplayFileName(name) == name; }

}  // namespace

QByteArray ReportField(const QString &text) {
  const QByteArray bytes = EncodeFileName(text);
  QByteArray out;
  out.reserve(bytes.size());
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    switch (b) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default:
        if (b < 0x20 || b == 0x7F) {
          out += "\\x";
          out += kHex[b >> 4];
          out += kHex[b & 0xF];
        } else {
          out += ch;
        }
    }
  }
  return out;
}

QByteArray TextReportLine(const FileOutcome &o) {
  return ReportField(o.file) + '\t' + ReportField(o.output) + '\t' + (o.ok ? kResultOk : kResultFailed) + '\t' +
         ReportField(English(o.reason)) + '\n';
}

QByteArray JsonReportLine(const FileOutcome &o) {
  QByteArray line = "{\"file\":" + jsonString(o.file) + ",\"output\":" + jsonString(o.output) + ",\"result\":\"" +
                    (o.ok ? kResultOk : kResultFailed) + "\",\"reason\":" + jsonString(English(o.reason));
  if (o.skipped)
    line += ",\"skipped\":true";
  if (!isUtf8Name(o.file))
    line += ",\"file_bytes\":\"" + EncodeFileName(o.file).toBase64() + '"';
  if (!isUtf8Name(o.output))
    line += ",\"output_bytes\":\"" + EncodeFileName(o.output).toBase64() + '"';
  return line + "}\n";
}

namespace {

// The place a file's code names, where it carries one code and it is known.
const Location *placeOf(const FileCode &code, const LocationRegister &known) {
  return code.codes.size() == 1 ? known.find(code.codes.front()) : nullptr;
}

}  // namespace

QByteArray TextListLine(const QString &file, const FileCode &code, const LocationRegister *known) {
  QByteArray line = ReportField(file) + '\t' + ReportField(code.codes.join(u',')) + '\t' +
                    (code.ok() ? QByteArray("ok") : ReportField(English(code.problem)));
  if (known) {
    const Location *place = placeOf(code, *known);
    line += '\t' + (place ? ReportField(place->name) : QByteArray());
  }
  return line + '\n';
}

QByteArray JsonListLine(const QString &file, const FileCode &code, const LocationRegister *known) {
  QByteArrayList codes;
  for (const QString &c : code.codes)
    codes << jsonString(c);
  QByteArray line = "{\"file\":" + jsonString(file) + ",\"codes\":[" + codes.join(',') + "],\"would\":" +
                    (code.ok() ? QByteArray("\"ok\"") : jsonString(English(code.problem)));
  if (known) {
    const Location *place = placeOf(code, *known);
    line += ",\"location\":" + (place ? jsonString(place->name) : QByteArray("null"));
  }
  if (!isUtf8Name(file))
    line += ",\"file_bytes\":\"" + EncodeFileName(file).toBase64() + '"';
  return line + "}\n";
}

namespace {

QByteArray csvField(const QString &text) {
  QByteArray utf8 = DisplayFileName(text).toUtf8();
  if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\r') && !utf8.contains('\n'))
    return utf8;
  QByteArray quoted = utf8;
  quoted.replace('"', "\"\"");
  return '"' + quoted + '"';
}

QByteArray csvLine(const QStringList &fields) {
  QByteArrayList out;
  for (const QString &f : fields)
    out << csvField(f);
  return out.join(',') + "\r\n";
}

}  // namespace

QStringList ReportColumns() {
  return {QStringLiteral("File"), QStringLiteral("New name"), QStringLiteral("Result"), QStringLiteral("Reason"),
          QStringLiteral("Replaced")};
}

QByteArray CsvReport(const QList<QPair<QString, QString>> &about, const QList<ReportRow> &rows,
                     const QStringList &columns) {
  QByteArray out = "\xEF\xBB\xBF";
  for (const auto &[name, value] : about)
    out += csvLine({name, value});
  out += "\r\n";
  out += csvLine(columns);
  for (const ReportRow &r : rows)
    out += csvLine({r.file, r.newName, r.result, r.reason, r.replaced});
  return out;
}

}  // namespace rekoda
