#include "conversion/run_words.h"

#include <QStringList>

namespace rekoda {

QString FolderGoneText(RunSummary::Gone which, const QString &folder) {
  return which == RunSummary::Gone::Source ? QStringLiteral("The source folder %1 is no longer there").arg(folder)
                                           : QStringLiteral("The destination folder %1 is no longer there").arg(folder);
}

std::optional<QString> FailureSummary(const RunSummary &summary) {
  if (summary.failed == 0 && summary.skipped == 0 && summary.stopReason.isEmpty())
    return std::nullopt;
  QStringList parts;
  if (!summary.stopReason.isEmpty())
    parts << QStringLiteral("%1; stopped after %2 of %3 files.")
                 .arg(summary.stopReason)
                 .arg(summary.handled)
                 .arg(summary.total);
  if (summary.failed > 0)
    parts << (summary.handled < summary.total && summary.stopReason.isEmpty()
                  ? QStringLiteral("Stopped after %1 of %2 files; %3 failed.")
                        .arg(summary.handled)
                        .arg(summary.total)
                        .arg(summary.failed)
                  : QStringLiteral("%1 of %2 files failed.").arg(summary.failed).arg(summary.total));
  if (summary.skipped > 0)
    parts << QStringLiteral("%1 of %2 files were skipped: they are in the destination folder already.")
                 .arg(summary.skipped)
                 .arg(summary.total);
  QString text = parts.join(u'\n');
  if (summary.failed > 0) {
    text += u'\n';
    for (const QString &line : summary.firstFailures)
      text += u'\n' + line;
    if (summary.failed > summary.firstFailures.size())
      text += QStringLiteral("\n…");
  }
  return text;
}

}  // namespace rekoda
