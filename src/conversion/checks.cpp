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

std::optional<Reason> NewCodeProblem(const QString &code) {
  // A separator would write outside the destination folder; the others
  // cannot be stored in a Windows name.
  static const QString notInNames = QStringLiteral("\\/<>:|?*");
  // Quotes and commas would not survive the next read of the file.
  static const QString notInFiles = QStringLiteral(",\"'");
  bool blank = true;
  for (QChar c : code) {
    if (notInNames.contains(c))
      return Reason(Reason::Kind::CharacterNotInNames, {QString(c)});
    if (notInFiles.contains(c))
      return Reason(Reason::Kind::CharacterNotInCodes, {QString(c)});
    if (c.category() == QChar::Other_Control)
      return Reason::Kind::ControlCharacter;
    blank = blank && (c.isSpace() || c.category() == QChar::Other_Format);
  }
  if (blank)
    return Reason::Kind::OnlyWhiteSpace;
  // Windows drops these from the end of a name, so that the extension and
  // the code inside the file would differ.
  if (code.startsWith(u' ') || code.endsWith(u' '))
    return Reason::Kind::SpaceAtEnds;
  if (code.endsWith(u'.'))
    return Reason::Kind::DotAtEnd;
  // The code goes into the file in the 8-bit character set and into the
  // name as text: both must say the same, with no character lost or
  // replaced by a look-alike on the way.
  if (QString::fromLocal8Bit(code.toLocal8Bit()) != code)
    return Reason::Kind::CharacterSet;
  return std::nullopt;
}

std::optional<Reason> CheckFoldersAndCode(const QString &source, const QString &dest, const QString &code) {
  if (isBlank(source))
    return Reason::Kind::NoSourceFolder;
  if (isBlank(dest))
    return Reason::Kind::NoDestinationFolder;
  if (isBlank(code))
    return Reason::Kind::NoNewCode;
  if (!IsValidNewCode(code))
    return Reason::Kind::InvalidNewCode;
  return std::nullopt;
}

}  // namespace rekoda
