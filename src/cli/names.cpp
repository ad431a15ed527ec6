#include "cli/names.h"

#include "platform/console.h"
#include "platform/file_name.h"
#include "platform/file_system.h"

#include <QStringDecoder>

#include <cstring>
#include <type_traits>

namespace rekoda {

namespace {

// The lines of a list, as text or as bytes, each made a name by decode: a
// carriage return before a newline belongs to the line end, and an empty
// line names nothing.
template <class Text, class Decode>
QStringList namesOf(const Text &list, bool nul, Decode decode) {
  using Char = std::remove_cvref_t<decltype(list[0])>;
  QStringList names;
  for (Text item : list.split(nul ? Char(0) : Char('\n'))) {
    if (!nul && item.endsWith(Char('\r')))
      item.chop(1);
    if (!item.isEmpty())
      names << decode(item);
  }
  return names;
}

QStringList splitText(const QString &text, bool nul) {
  return namesOf(text, nul, [](const QString &name) { return name; });
}

std::optional<QString> decoded(const QByteArray &bytes, QStringConverter::Encoding encoding) {
  QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
  const QString text = decoder.decode(bytes);
  if (decoder.hasError())
    return std::nullopt;
  return text;
}

bool isSeparator(QChar c) { return c == u'/' || c == PathSeparator(); }

// The length of the UTF-8 character of a printable code point at the start
// of bytes; 0 for a control character or bytes that are not UTF-8.
qsizetype printableLength(const QByteArray &bytes, qsizetype at) {
  const auto byte = [&](qsizetype i) { return i < bytes.size() ? uchar(bytes[i]) : 0u; };
  const uint lead = byte(at);
  if (lead < 0x80)
    return lead >= 0x20 && lead != 0x7F ? 1 : 0;
  const auto cont = [&](qsizetype i, uint lo = 0x80, uint hi = 0xBF) { return byte(i) >= lo && byte(i) <= hi; };
  if (lead >= 0xC2 && lead <= 0xDF)
    return cont(at + 1) && !(lead == 0xC2 && byte(at + 1) < 0xA0) ? 2 : 0;  // C1 controls are controls
  if (lead >= 0xE0 && lead <= 0xEF) {
    const uint lo = lead == 0xE0 ? 0xA0 : 0x80, hi = lead == 0xED ? 0x9F : 0xBF;
    return cont(at + 1, lo, hi) && cont(at + 2) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const uint lo = lead == 0xF0 ? 0x90 : 0x80, hi = lead == 0xF4 ? 0x8F : 0xBF;
    return cont(at + 1, lo, hi) && cont(at + 2) && cont(at + 3) ? 4 : 0;
  }
  return 0;
}

QByteArray escaped(uchar c) {
  static const char named[] = "abtnvfr";
  if (c >= 7 && c <= 13)
    return QByteArray("\\") + named[c - 7];
  return QByteArray("\\") + char('0' + (c >> 6)) + char('0' + ((c >> 3) & 7)) + char('0' + (c & 7));
}

}  // namespace

std::optional<QStringList> NamesFromList(const QByteArray &bytes, bool nul, ListProblem *problem, QStringList *oem) {
  Q_UNUSED(oem)  // a Windows list's alone
  for (const auto &[bom, encoding] : {std::pair{QByteArray("\xFF\xFE"), QStringConverter::Utf16LE},
                                      std::pair{QByteArray("\xFE\xFF"), QStringConverter::Utf16BE}}) {
    if (!bytes.startsWith(bom))
      continue;
    const auto text = decoded(bytes.mid(2), encoding);
    if (!text) {
      *problem = ListProblem::BadUtf16;
      return std::nullopt;
    }
    return splitText(*text, nul);
  }
  // Some Windows tools write UTF-16 without a mark: every second byte of
  // an ASCII name is 0, which no list of file names in a byte encoding
  // has. Guessing the byte order could misread it; it is refused, saying so.
  const auto zeroEvery = [&bytes](qsizetype first) {
    for (qsizetype i = first; i < bytes.size(); i += 2)
      if (bytes[i] != 0)
        return false;
    return true;
  };
  const bool allZero = zeroEvery(0) && zeroEvery(1);  // --null's empty names
  // Whatever its characters (a name of no Latin letters has no zero byte),
  // its line ends give it away: "\n" as 0A 00 or 00 0A at a character's
  // place, which no byte encoding has, and the whole decodes cleanly.
  const auto utf16LineEnds = [&bytes](QStringConverter::Encoding encoding) {
    const qsizetype low = encoding == QStringConverter::Utf16LE ? 0 : 1;
    bool lineEnd = false;
    for (qsizetype i = 0; i + 1 < bytes.size() && !lineEnd; i += 2)
      lineEnd = bytes[i + low] == '\n' && bytes[i + 1 - low] == 0;
    return lineEnd && decoded(bytes, encoding).has_value();
  };
  if (bytes.size() >= 4 && bytes.size() % 2 == 0 && !allZero &&
      (zeroEvery(1) || zeroEvery(0) || utf16LineEnds(QStringConverter::Utf16LE) ||
       utf16LineEnds(QStringConverter::Utf16BE))) {
    *problem = ListProblem::Utf16WithoutMark;
    return std::nullopt;
  }
  const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
#ifdef _WIN32
  // Windows programs write lists in the ANSI code page as often as in UTF-8.
  if (!decoded(body, QStringConverter::Utf8)) {
    if (oem)
      *oem = splitText(FromConsoleCodePage(body), nul);
    return splitText(QString::fromLocal8Bit(body), nul);
  }
#endif
  return namesOf(body, nul, DecodeFileName);
}

std::optional<QString> NameInFolder(const QString &arg, const QString &source) {
  qsizetype cut = arg.size();
  while (cut > 0 && !isSeparator(arg[cut - 1]))
    --cut;
  const QString name = arg.mid(cut);
  if (name.isEmpty() || name == "." || name == ".." || name.contains(QChar(0)))
    return std::nullopt;
  if (cut == 0)
    return name;
  // "/NAME" is the root's.
  const QString folder = cut == 1 ? arg.left(1) : arg.left(cut - 1);
  if (!SameFolder(folder, source))
    return std::nullopt;
  return name;
}

QString Quoted(const QString &name) {
  const QByteArray bytes = EncodeFileName(name);
  // Runs of printable text in single quotes, the rest as $'...'.
  QByteArray out, plain, special;
  bool hasQuote = false, doubleQuotable = true;
  const auto flushPlain = [&] {
    if (!plain.isEmpty())
      out += '\'' + plain.replace("'", "'\\''") + '\'';
    plain.clear();
  };
  const auto flushSpecial = [&] {
    if (!special.isEmpty())
      out += "$'" + special + '\'';
    special.clear();
  };
  for (qsizetype i = 0; i < bytes.size();) {
    const qsizetype n = printableLength(bytes, i);
    if (n == 0) {
      flushPlain();
      special += escaped(uchar(bytes[i]));
      doubleQuotable = false;
      ++i;
      continue;
    }
    flushSpecial();
    const char c = bytes[i];
    hasQuote = hasQuote || c == '\'';
    doubleQuotable = doubleQuotable && !std::strchr("\"$`\\!", c);
    plain += bytes.mid(i, n);
    i += n;
  }
  // A name with a quote and nothing a double quote would change: "it's".
  if (hasQuote && doubleQuotable)
    return QString::fromUtf8('"' + bytes + '"');
  flushPlain();
  flushSpecial();
  return out.isEmpty() ? QStringLiteral("''") : QString::fromUtf8(out);
}

}  // namespace rekoda
