#include "cli/names.h"

#include "platform/file_name.h"
#include "platform/file_system.h"

#include <QStringDecoder>

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

}  // namespace

std::optional<QStringList> NamesFromList(const QByteArray &bytes, bool nul, QString *error) {
  for (const auto &[bom, encoding] : {std::pair{QByteArray("\xFF\xFE"), QStringConverter::Utf16LE},
                                      std::pair{QByteArray("\xFE\xFF"), QStringConverter::Utf16BE}}) {
    if (!bytes.startsWith(bom))
      continue;
    const auto text = decoded(bytes.mid(2), encoding);
    if (!text) {
      *error = QStringLiteral("the list is not valid UTF-16");
      return std::nullopt;
    }
    return splitText(*text, nul);
  }
  const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
#ifdef _WIN32
  // Windows programs write lists in the ANSI code page as often as in UTF-8.
  if (!decoded(body, QStringConverter::Utf8))
    return splitText(QString::fromLocal8Bit(body), nul);
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

}  // namespace rekoda
