#include "conversion/checks.h"

namespace rekoda {

namespace {

// Only the space character counts as blank here.
bool isBlank(const QString &text) {
  for (QChar c : text)
    if (c != u' ')
      return false;
  return true;
}

}  // namespace

std::optional<QString> NewCodeProblem(const QString &code) {
  // A separator would write outside the destination folder; the others
  // cannot be stored in a Windows name.
  static const QString notInNames = QStringLiteral("\\/<>:|?*");
  // Quotes and commas would not survive the next read of the file.
  static const QString notInFiles = QStringLiteral(",\"'");
  bool blank = true;
  for (QChar c : code) {
    if (notInNames.contains(c))
      return QStringLiteral("'%1' cannot be part of a file name").arg(c);
    if (notInFiles.contains(c))
      return QStringLiteral("'%1' cannot be part of a location code").arg(c);
    if (c.category() == QChar::Other_Control)
      return QStringLiteral("a control character cannot be part of a file name");
    blank = blank && (c.isSpace() || c.category() == QChar::Other_Format);
  }
  if (blank)
    return QStringLiteral("the code is only white space");
  // Windows drops these from the end of a name, so that the extension and
  // the code inside the file would differ.
  if (code.startsWith(u' ') || code.endsWith(u' '))
    return QStringLiteral("a code cannot begin or end with a space");
  if (code.endsWith(u'.'))
    return QStringLiteral("a code cannot end with a dot");
  // The code goes into the file in the 8-bit character set and into the
  // name as text: both must say the same, with no character lost or
  // replaced by a look-alike on the way.
  if (QString::fromLocal8Bit(code.toLocal8Bit()) != code)
    return QStringLiteral("the files' character set cannot hold this code");
  return std::nullopt;
}

std::optional<QString> CheckFoldersAndCode(const QString &source, const QString &dest,
                                           const QString &code) {
  if (isBlank(source))
    return QStringLiteral("Source datapath not found!");
  if (isBlank(dest))
    return QStringLiteral("Destination datapath not found!");
  if (isBlank(code))
    return QStringLiteral("No new extension found!");
  if (!IsValidNewCode(code))
    return QStringLiteral("Invalid new extension!");
  return std::nullopt;
}

}  // namespace rekoda
