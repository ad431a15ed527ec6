#include "cli/arguments.h"

namespace rekoda {

namespace {

const QSet<QString> kValued = {"family", "code", "from", "to", "files-from"};
const QSet<QString> kFlags = {"dry-run", "json", "quiet", "mkdir", "null", "no-clobber", "trash", "list-runs"};
// Options that stand alone or take a value joined by '=' (--undo, --undo=ID).
const QSet<QString> kOptionalValue = {"undo"};

bool looksLikeOption(const QString &arg) { return arg.size() > 1 && arg.startsWith(u'-'); }

}  // namespace

std::optional<QString> ParseCliArguments(const QStringList &arguments, CliArguments &out) {
  bool optionsEnded = false;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString &arg = arguments[i];
    if (optionsEnded || !looksLikeOption(arg)) {
      out.names << arg;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "-h" || arg == "--help") {
      out.help = true;
    } else if (arg == "--version") {
      out.version = true;
    } else if (arg.startsWith("--")) {
      const qsizetype eq = arg.indexOf(u'=');
      const QString name = arg.mid(2, eq < 0 ? -1 : eq - 2);
      if (kValued.contains(name)) {
        if (eq >= 0) {
          out.values[name] = arg.mid(eq + 1);
        } else if (i + 1 < arguments.size() && !looksLikeOption(arguments[i + 1])) {
          out.values[name] = arguments[++i];
        } else {
          return QStringLiteral("option --%1 needs a value").arg(name);
        }
      } else if (kOptionalValue.contains(name)) {
        out.flags.insert(name);
        if (eq >= 0)
          out.values[name] = arg.mid(eq + 1);
      } else if (kFlags.contains(name)) {
        if (eq >= 0)
          return QStringLiteral("option --%1 takes no value").arg(name);
        out.flags.insert(name);
      } else {
        return QStringLiteral("unknown option %1").arg(arg.left(eq < 0 ? arg.size() : eq));
      }
    } else {
      return QStringLiteral("unknown option %1").arg(arg);
    }
  }
  return std::nullopt;
}

}  // namespace rekoda
