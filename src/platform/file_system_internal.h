#pragma once

// What each system's file services give the shared ones.

#include "platform/status.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace rekoda {

bool IsSeparator(QChar c);

// Names of the non-hidden entries of a folder that are no folders (files,
// and on POSIX pipes, sockets and devices too) that keep() accepts, as the
// file system gives them; what failed when the folder cannot be listed.
Status ListFileNames(const QString &folder, const std::function<bool(const QString &)> &keep,
                          QStringList &names);

// Opens a file for reading by its own bytes (POSIX) or name (Windows),
// sharing it with a writer that appends to it.
Status OpenToRead(QFile &file, const QString &path);

// File systems that never hold a user's folders (proc, sysfs, overlays, ...).
bool IsPseudoFileSystem(const QString &type);

}  // namespace rekoda
