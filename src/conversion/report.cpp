#include "conversion/report.h"

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
         ReportField(o.reason) + '\n';
}

QByteArray JsonReportLine(const FileOutcome &o) {
  QByteArray line = "{\"file\":" + jsonString(o.file) + ",\"output\":" + jsonString(o.output) + ",\"result\":\"" +
                    (o.ok ? kResultOk : kResultFailed) + "\",\"reason\":" + jsonString(o.reason);
  if (!isUtf8Name(o.file))
    line += ",\"file_bytes\":\"" + EncodeFileName(o.file).toBase64() + '"';
  if (!isUtf8Name(o.output))
    line += ",\"output_bytes\":\"" + EncodeFileName(o.output).toBase64() + '"';
  return line + "}\n";
}

}  // namespace rekoda
