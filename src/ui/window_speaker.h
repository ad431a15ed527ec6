#pragma once

#include "conversion/file_code.h"
#include "conversion/report.h"
#include "conversion/run_record.h"
#include "conversion/speaker.h"

namespace rekoda {

// The window's speaker: the core's sentences in the window's language (the
// translation loaded, see Translations), plural forms by their count, the
// arguments filled in after the translation; numbers and dates as the
// user's locale writes them.
class WindowSpeaker : public Speaker {
 public:
  QString say(const char *english, const QStringList &args = {}, qint64 n = -1) const override;
  QString number(qint64 n) const override;

 protected:
  QString date(const QDateTime &time) const override;
};

// The window's words for a value, in one call.
const WindowSpeaker &Words();

// What the Code column shows of a file: its one code as it stands, or, set
// apart as words, how many codes and which, or why a run would fail on it.
QString CodeWords(const FileCode &code);

// A file of a run as the report and the clipboard show it, in the window's
// words.
ReportRow WordedRow(const RunRecord::Row &row);

// The report's column titles.
QStringList ReportColumnWords();

// The header of a saved report: what the run was, each a name and a value.
QList<QPair<QString, QString>> ReportAbout(const RunRecord &record);

}  // namespace rekoda
