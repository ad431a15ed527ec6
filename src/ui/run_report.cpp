#include "ui/run_report.h"

#include "conversion/report.h"
#include "conversion/run_record.h"
#include "platform/file_system.h"
#include "ui/window_speaker.h"

#include <QDir>
#include <QSaveFile>

namespace rekoda {

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
