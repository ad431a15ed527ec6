#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace rekoda {

// File names as the file system gives them. On Linux a name is bytes, not
// always UTF-8 (old FAT media, Windows code pages). A name is carried as a
// QString that maps back to exactly the same bytes: valid UTF-8 decodes as
// usual, every other byte b becomes the lone surrogate U+DC00 + b. On
// Windows names are UTF-16 already; their bytes, in reports and lists of
// names, are UTF-8.
QString DecodeFileName(const QByteArray &bytes);
QByteArray EncodeFileName(const QString &name);

// The name as a person should see it: a byte that was not UTF-8 is shown as
// the Latin-1 character of that byte.
QString DisplayFileName(const QString &name);
// The same on one line: a control character is written as rekoda-cli's
// reports write it (\n, \t, \r, \xHH), so that it neither breaks the line
// nor hides the extension after it.
QString VisibleFileName(const QString &name);

// The name as a volume that ignores letter case compares it. Only what
// decodes is folded: a byte that is not UTF-8 stays itself, so that two
// names that differ in such bytes (DF\xe9 and DF\xe8) stay two names.
QString CaseFoldedFileName(const QString &name);

// Upper-cases ASCII letters only, whatever the locale: "i" is "I" in Turkish
// too, and a code never changes length or gains letters.
QString AsciiUpper(const QString &text);

// Whether Windows keeps a name for a device (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, with any extension, in any case): no file or folder can have it.
bool IsReservedDeviceName(const QString &name);
// The first part of a path that is such a name (checked where Windows is).
std::optional<QString> ReservedDeviceNameIn(const QString &path);

}  // namespace rekoda
