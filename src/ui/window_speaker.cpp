#include "ui/window_speaker.h"

#include <QCoreApplication>
#include <QLocale>

namespace rekoda {

QString WindowSpeaker::say(const char *english, const QStringList &args, qint64 n) const {
  return FillIn(QCoreApplication::translate("Rekoda", english, nullptr, n < 0 ? -1 : int(std::min<qint64>(n, INT_MAX))),
                args);
}

QString WindowSpeaker::number(qint64 n) const { return QLocale().toString(n); }

QString WindowSpeaker::date(const QDateTime &time) const { return QLocale().toString(time.date(), QLocale::ShortFormat); }

const WindowSpeaker &Words() {
  static const WindowSpeaker speaker;
  return speaker;
}

QString CodeWords(const FileCode &code) {
  if (!code.ok())
    return Words().words(code.problem);
  return code.codes.size() == 1 ? code.codes.front() : Words().words(code.severalCodes());
}

ReportRow WordedRow(const RunRecord::Row &row) {
  ReportRow out{row.file, row.newName, {}, Words().words(row.reason), {}};
  if (row.result != RunRecord::Row::Result::None)
    out.result = Words().result(row.result == RunRecord::Row::Result::Ok);
  if (row.replaced == Replaced::ToTrash)
    out.replaced = QCoreApplication::translate("Rekoda", "the older file is in the trash: %1").arg(row.trashedAs);
  else if (row.replaced == Replaced::Gone)
    out.replaced = QCoreApplication::translate("Rekoda", "the older file is gone (no trash)");
  return out;
}

QStringList ReportColumnWords() {
  return {QCoreApplication::translate("Rekoda", "File"), QCoreApplication::translate("Rekoda", "New name"),
          QCoreApplication::translate("Rekoda", "Result"), QCoreApplication::translate("Rekoda", "Reason"),
          QCoreApplication::translate("Rekoda", "Replaced")};
}

QList<QPair<QString, QString>> ReportAbout(const RunRecord &record) {
  const ConversionJob &job = record.job();
  const auto name = [](const char *english) { return QCoreApplication::translate("Rekoda", english); };
  return {{QStringLiteral("Rekoda"), record.version()},
          {name(QT_TRANSLATE_NOOP("Rekoda", "Time")), record.started().toString(Qt::ISODate)},
          {name(QT_TRANSLATE_NOOP("Rekoda", "Source folder")), job.source},
          {name(QT_TRANSLATE_NOOP("Rekoda", "Destination folder")), job.dest},
          {name(QT_TRANSLATE_NOOP("Rekoda", "Family")), job.family == Family::MA
                                                            ? name(QT_TRANSLATE_NOOP("Rekoda", "MA files"))
                                                            : name(QT_TRANSLATE_NOOP("Rekoda", "DF files"))},
          {name(QT_TRANSLATE_NOOP("Rekoda", "Code")), job.code}};
}

}  // namespace rekoda
