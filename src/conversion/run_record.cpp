#include "conversion/run_record.h"

#include "conversion/run_words.h"
#include "formats/buffer_file.h"

namespace rekoda {

RunRecord::RunRecord(const ConversionJob &job, const QDateTime &started)
    : job_(job), started_(started), version_(QStringLiteral(REKODA_VERSION)) {
  files_.reserve(static_cast<size_t>(job.files.size()));
  index_.reserve(job.files.size());
  for (const QString &name : job.files) {
    index_.insert(name, static_cast<qsizetype>(files_.size()));
    files_.push_back({name, OutputFileName(name, job.code).value_or(QString()), false, {}});
  }
  summary_.total = job.files.size();
}

void RunRecord::settle(qsizetype index, const FileOutcome &outcome) {
  File &f = files_.at(static_cast<size_t>(index));
  f.settled = true;
  f.outcome = outcome;
}

QString RunRecord::writtenName(qsizetype index) const {
  const File &f = file(index);
  if (f.settled)
    return f.outcome.ok ? f.output : QString();
  return finished_ ? QString() : f.output;
}

void RunRecord::finish(const RunSummary &summary) {
  summary_ = summary;
  finished_ = true;
}

QString ResultText(const RunRecord::File &file) {
  if (!file.settled)
    return {};
  return QString::fromLatin1(file.outcome.ok ? kResultOk : kResultFailed);
}

QList<QPair<QString, QString>> RunRecord::about() const {
  return {{QStringLiteral("Rekoda"), version_},
          {QStringLiteral("Time"), started_.toString(Qt::ISODate)},
          {QStringLiteral("Source folder"), job_.source},
          {QStringLiteral("Destination folder"), job_.dest},
          {QStringLiteral("Family"), job_.family == Family::MA ? QStringLiteral("MA files") : QStringLiteral("DF files")},
          {QStringLiteral("Code"), job_.code}};
}

ReportRow RunRecord::reportRow(qsizetype index) const {
  const File &f = file(index);
  QString replaced;
  if (f.settled && f.outcome.replaced == Replaced::ToTrash)
    replaced = QStringLiteral("the older file is in the trash: %1").arg(f.outcome.trashedAs);
  else if (f.settled && f.outcome.replaced == Replaced::Gone)
    replaced = QStringLiteral("the older file is gone (no trash)");
  const QString reason = f.settled ? f.outcome.reason : finished_ ? QStringLiteral("not reached") : QString();
  return {f.name, writtenName(index), ResultText(f), reason, replaced};
}

QList<ReportRow> RunRecord::reportRows() const {
  QList<ReportRow> rows;
  rows.reserve(size());
  for (qsizetype i = 0; i < size(); ++i)
    rows << reportRow(i);
  return rows;
}

std::optional<QString> RunRecord::endMessage() const {
  auto message = FailureSummary(summary_);
  if (summary_.journalError.isEmpty())
    return message;
  const QString undo = QStringLiteral("This run cannot be undone: %1.").arg(summary_.journalError);
  return message ? *message + QStringLiteral("\n\n") + undo : undo;
}

}  // namespace rekoda
