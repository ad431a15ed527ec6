#include "cli/names.h"

#include "platform/file_name.h"
#include "platform/file_system.h"

#include <QStringDecoder>

namespace rekoda {

namespace {

QStringList splitText(const QString &text, bool nul) {
  QStringList names;
  for (QString item : text.split(nul ? QChar(0) : QChar(u'\n'))) {
    if (!nul && item.endsWith(u'\r'))
      item.chop(1);
    if (!item.isEmpty())
      names << item;
  }
  return names;
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
  QStringList names;
  for (QByteArray item : body.split(nul ? '\0' : '\n')) {
    if (!nul && item.endsWith('\r'))
      item.chop(1);
    if (!item.isEmpty())
      names << DecodeFileName(item);
  }
  return names;
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
