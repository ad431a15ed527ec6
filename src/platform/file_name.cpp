#include "platform/file_name.h"

#include <QStringList>

#include <algorithm>

namespace rekoda {

#ifndef Q_OS_WIN
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscapedByte(char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

// Length of the valid UTF-8 sequence at p (at most n bytes), 0 if invalid.
int validUtf8Length(const unsigned char *p, qsizetype n, char32_t &cp) {
  const unsigned char b = p[0];
  int len;
  if (b < 0x80) {
    cp = b;
    return 1;
  } else if (b >= 0xC2 && b <= 0xDF) {
    len = 2;
    cp = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3;
    cp = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4;
    cp = b & 0x07;
  } else {
    return 0;
  }
  if (n < len)
    return 0;
  for (int i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80)
      return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  // Overlong forms, surrogates and values past Unicode are not valid UTF-8.
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return len;
}

}  // namespace
#endif

#ifdef Q_OS_WIN

QString DecodeFileName(const QByteArray &bytes) { return QString::fromUtf8(bytes); }
QByteArray EncodeFileName(const QString &name) { return name.toUtf8(); }
QString DisplayFileName(const QString &name) { return name; }

#else

QString DecodeFileName(const QByteArray &bytes) {
  // Most names are ASCII, which Latin-1 decodes alike and much faster.
  if (std::all_of(bytes.begin(), bytes.end(), [](char b) { return static_cast<unsigned char>(b) < 0x80; }))
    return QString::fromLatin1(bytes);
  QString out;
  out.reserve(bytes.size());
  const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
  const qsizetype n = bytes.size();
  for (qsizetype i = 0; i < n;) {
    char32_t cp = 0;
    const int len = validUtf8Length(p + i, n - i, cp);
    if (len == 0) {
      out.append(QChar(char16_t(kEscapeBase + p[i])));
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      const char32_t v = cp - 0x10000;
      out.append(QChar(char16_t(0xD800 + (v >> 10))));
      out.append(QChar(char16_t(0xDC00 + (v & 0x3FF))));
    } else {
      out.append(QChar(char16_t(cp)));
    }
    i += len;
  }
  return out;
}

QByteArray EncodeFileName(const QString &name) {
  QByteArray out;
  out.reserve(name.size());
  const qsizetype n = name.size();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = name[i].unicode();
    char32_t cp = c;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && name[i + 1].unicode() >= 0xDC00 &&
        name[i + 1].unicode() <= 0xDFFF) {
      cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (name[i + 1].unicode() - 0xDC00);
      ++i;
    } else if (isEscapedByte(c)) {
      out.append(char(c - kEscapeBase));
      continue;
    }
    if (cp < 0x80) {
      out.append(char(cp));
    } else if (cp < 0x800) {
      out.append(char(0xC0 | (cp >> 6)));
      out.append(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.append(char(0xE0 | (cp >> 12)));
      out.append(char(0x80 | ((cp >> 6) & 0x3F)));
      out.append(char(0x80 | (cp & 0x3F)));
    } else {
      out.append(char(0xF0 | (cp >> 18)));
      out.append(char(0x80 | ((cp >> 12) & 0x3F)));
      out.append(char(0x80 | ((cp >> 6) & 0x3F)));
      out.append(char(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

QString DisplayFileName(const QString &name) {
  if (std::none_of(name.begin(), name.end(), [](QChar c) { return isEscapedByte(c.unicode()); }))
    return name;  // shared, not copied
  QString out = name;
  for (QChar &c : out)
    if (isEscapedByte(c.unicode()))
      c = QChar(char16_t(c.unicode() - kEscapeBase));
  return out;
}

#endif

QString VisibleFileName(const QString &name) {
  QString shown = DisplayFileName(name);
  const auto control = [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; };
  if (std::none_of(shown.begin(), shown.end(), control))
    return shown;
  QString out;
  for (const QChar c : shown) {
    if (!control(c))
      out += c;
    else if (c == u'\n' || c == u'\t' || c == u'\r')
      out += c == u'\n' ? u"\\n" : c == u'\t' ? u"\\t" : u"\\r";
    else
      out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
  }
  return out;
}

QString CaseFoldedFileName(const QString &name) {
#ifndef Q_OS_WIN
  // Qt folds a lone surrogate, which is how such a byte is carried, to
  // U+FFFD: every such byte alike. The text between them is folded alone.
  QString folded;
  qsizetype from = 0;
  for (qsizetype i = 0; i < name.size(); ++i) {
    const char16_t c = name[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < name.size() && QChar::isLowSurrogate(name[i + 1].unicode())) {
      ++i;  // a character beyond the first plane, folded with its text
      continue;
    }
    if (!isEscapedByte(c))
      continue;
    folded += QStringView(name).mid(from, i - from).toString().toCaseFolded();
    folded += name[i];
    from = i + 1;
  }
  if (from > 0)
    return folded + QStringView(name).mid(from).toString().toCaseFolded();
#endif
  return name.toCaseFolded();
}

QString AsciiUpper(const QString &text) {
  QString out = text;
  for (QChar &c : out)
    if (c.unicode() >= 'a' && c.unicode() <= 'z')
      c = QChar(char16_t(c.unicode() - 32));
  return out;
}

bool IsReservedDeviceName(const QString &name) {
  // Windows reads the part before the first dot, its trailing spaces gone.
  QString base = AsciiUpper(name.section(u'.', 0, 0));
  while (base.endsWith(u' '))
    base.chop(1);
  static const QStringList devices = {"CON", "PRN", "AUX", "NUL"};
  if (devices.contains(base))
    return true;
  return base.size() == 4 && (base.startsWith(QStringLiteral("COM")) || base.startsWith(QStringLiteral("LPT"))) &&
         base[3] >= u'1' && base[3] <= u'9';
}

std::optional<QString> ReservedDeviceNameIn(const QString &path) {
  for (const QString &part : QString(path).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts))
    if (IsReservedDeviceName(part))
      return part;
  return std::nullopt;
}

}  // namespace rekoda
