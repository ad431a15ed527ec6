#include "ui/run_report.h"

#include "conversion/report.h"
#include "conversion/run_record.h"
#include "platform/file_system.h"
#include "ui/window_speaker.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

#include <algorithm>
#include <limits>

namespace rekoda {

// The message at the end of a run in which something went wrong, and that
// it cannot be undone where its journal failed; none when all went.
std::optional<QString> RunEndMessage(const RunRecord &record) {
  auto message = Words().endMessage(record.summary());
  if (record.summary().journalError.isNone())
    return message;
  const QString undo = QCoreApplication::translate("rekoda::FrmRekoda", "This run cannot be undone: %1.").arg(Words().words(record.summary().journalError));
  return message ? *message + QStringLiteral("\n\n") + undo : undo;
}

QString RunStatusLine(const RunRecord &record) {
  if (record.isEmpty())
    return {};
  const RunSummary &s = record.summary();
  const qint64 converted = s.handled - s.failed - s.skipped;
  const int total = static_cast<int>(std::min<qint64>(s.total, std::numeric_limits<int>::max()));
  QString line = s.handled < s.total
                     ? QCoreApplication::translate("rekoda::FrmRekoda", "Stopped after %1 of %n files: %2 converted", nullptr, total).arg(s.handled).arg(converted)
                     : QCoreApplication::translate("rekoda::FrmRekoda", "%1 of %n converted", nullptr, total).arg(converted);
  if (s.failed > 0)
    line += QCoreApplication::translate("rekoda::FrmRekoda", ", %1 failed").arg(s.failed);
  if (s.skipped > 0)
    line += QCoreApplication::translate("rekoda::FrmRekoda", ", %1 skipped").arg(s.skipped);
  return line;
}

QString SuggestedReportPath(const RunRecord &record) {
  return QDir::toNativeSeparators(JoinPath(
      record.job().dest, QStringLiteral("rekoda-report-%1.csv").arg(record.started().toString("yyyyMMdd-HHmmss"))));
}

std::optional<QString> SaveRunReport(const RunRecord &record, const QString &path) {
  QList<ReportRow> rows;
  rows.reserve(record.size());
  for (qsizetype i = 0; i < record.size(); ++i)
    rows << WordedRow(record.row(i));
  const QByteArray csv = CsvReport(ReportAbout(record), rows, ReportColumnWords());
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.commit())
    return std::nullopt;
  return file.errorString();
}

}  // namespace rekoda
