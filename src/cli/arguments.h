#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace rekoda {

struct CliArguments {
  QHash<QString, QString> values;  // option name without dashes -> value
  QSet<QString> flags;
  QStringList names;
  bool help = false;
  bool version = false;
};

// Parses rekoda-cli's arguments by the usual conventions: --opt VALUE or
// --opt=VALUE, -- ends the options, -h -n -q -V for --help --dry-run --quiet
// --version (bundled as -nq too). A value that looks like an option
// (--code --dry-run) is a missing value, never taken.
// The problem, if any, in words for standard error.
std::optional<QString> ParseCliArguments(const QStringList &arguments, CliArguments &out);

}  // namespace rekoda
