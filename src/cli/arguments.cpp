#include "cli/arguments.h"

namespace rekoda {

namespace {

const QSet<QString> kValued = {"family", "code", "from", "to", "files-from", "only-code", "locations"};
const QSet<QString> kFlags = {"dry-run", "json", "quiet", "mkdir", "null", "no-clobber", "trash", "list-runs", "list"};
// Options that stand alone or take a value joined by '=' (--undo, --undo=ID).
const QSet<QString> kOptionalValue = {"undo"};
// The short forms people reach for; they may be bundled (-nq).
const QHash<QChar, QString> kShort = {{u'n', "dry-run"}, {u'q', "quiet"}, {u'h', "help"}, {u'V', "version"}};

bool looksLikeOption(const QString &arg) { return arg.size() > 1 && arg.startsWith(u'-'); }

void setFlag(const QString &name, CliArguments &out) {
  if (name == "help")
    out.help = true;
  else if (name == "version")
    out.version = true;
  else
    out.flags.insert(name);
}

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
      } else if (kFlags.contains(name) || name == "help" || name == "version") {
        if (eq >= 0)
          return QStringLiteral("option '--%1' doesn't allow an argument").arg(name);
        setFlag(name, out);
      } else {
        return QStringLiteral("unknown option %1").arg(arg.left(eq < 0 ? arg.size() : eq));
      }
    } else {
      for (const QChar c : arg.mid(1)) {
        if (!kShort.contains(c))
          return QStringLiteral("unknown option -%1").arg(c);
        setFlag(kShort[c], out);
      }
    }
  }
  return std::nullopt;
}

}  // namespace rekoda
