#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace rekoda {

// The platform's own path separator: folder texts are shown and joined with it.
QChar PathSeparator();
bool EndsWithSeparator(const QString &path);

// Joins a folder and a name with one separator; a folder that already ends
// in one (a root) gets no second.
QString JoinPath(const QString &folder, const QString &name);

// Removes one trailing separator, except from a root that would lose its
// meaning without it ("/").
QString StripTrailingSeparator(const QString &folder);

// Creates exactly one folder; its parent must exist. On failure returns
// false and puts the system's description of the failure in *error.
bool CreateFolder(const QString &path, QString *error);

// What identifies a file or folder to the file system, so that two spellings
// of one file (links, letter case on a case-blind volume) compare equal.
// Empty when the path does not exist.
std::optional<QString> FileIdentity(const QString &path);

// Plain, non-hidden files of a folder whose names match a wildcard pattern,
// letter case ignored, in ascending order of name (case-blind, as people
// read a listing). A trailing ".*" also
// matches names without a dot, as "DF*.*" always has on the loggers' PCs.
QStringList ListMatchingFiles(const QString &folder, const QString &pattern);

}  // namespace rekoda
