#pragma once

// The names of the files rekoda-cli is to convert, as scripts hand them over.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace rekoda {

// The names of a list file's bytes, one per line (or NUL-ended with nul).
// The list is read by its byte-order mark: UTF-8, UTF-16LE or UTF-16BE;
// without one as file names are spelled (on Windows, a list that is not
// UTF-8 is in the ANSI code page). A carriage return before a newline
// belongs to the line end. None, with why in *problem, for a list that is
// not text in its encoding.
// oem: where the list was read in the ANSI code page, the same names read
// in the console's (OEM) code page, line for line, for a name not found
// so (cmd's "dir /b > list.txt" writes that one).
enum class ListProblem { None, BadUtf16, Utf16WithoutMark };
std::optional<QStringList> NamesFromList(const QByteArray &bytes, bool nul, ListProblem *problem,
                                         QStringList *oem = nullptr);

// The name in the source folder that an argument stands for: a bare name,
// or a path whose folder is the source folder itself however spelled
// (./NAME run there, SOURCE/NAME as find prints it). None for a name of
// another folder or one that names no file (".", "..", a NUL inside).
std::optional<QString> NameInFolder(const QString &arg, const QString &source);

// A name or path for a message, quoted as coreutils quote file names
// (ls --quoting-style=shell-escape-always): 'out/no where', '', "it's",
// and control characters and bytes that are not UTF-8 as $'\n' or $'\351'
// outside the quotes, so that the text pastes back into a shell as it was
// and never steers the terminal.
QString Quoted(const QString &name);

}  // namespace rekoda
