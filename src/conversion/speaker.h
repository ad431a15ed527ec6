#pragma once

#include "conversion/conversion_job.h"
#include "conversion/locations.h"
#include "conversion/reason.h"
#include "conversion/run_journal.h"

#include <QDateTime>

#include <optional>

namespace rekoda {

// Who puts the core's values into words. Every sentence is written here
// once, in English, marked for translation (context "Rekoda"); a speaker
// says it: EnglishSpeaker as it stands, for rekoda-cli, whose words scripts
// and logs read, and the window's in its language (ui/window_speaker.h).
// The arguments (names, codes, folders, counts) are filled in after, so
// that none is ever looked up as a text to translate.
class Speaker {
 public:
  virtual ~Speaker() = default;

  // One sentence: english is its text and the key of its translation; %1,
  // %2, ... are the arguments, and n, where not -1, picks a plural form.
  virtual QString say(const char *english, const QStringList &args = {}, qint64 n = -1) const = 0;
  // A count as this speaker writes numbers.
  virtual QString number(qint64 n) const = 0;

  QString words(const Status &status) const;
  QString words(const Reason &reason) const;
  // A row of a register that could not be taken: "line 4: …".
  QString words(const LocationProblem &problem) const;
  // The program's own word for a file's result: "OK" or "Faild".
  QString result(bool ok) const;

  // The one message at the end of a run in which files failed, were
  // skipped, or which a vanished folder stopped; none otherwise.
  std::optional<QString> endMessage(const RunSummary &summary) const;

  // When a run began, to the second ("15:47:12", or "8 Dec 2026 15:47:12" on
  // another day), and the run named whole: "the run of 15:47:12 (DF files,
  // code K22, into /media/stick/out)".
  QString runTime(const QDateTime &time, const QDateTime &now = QDateTime::currentDateTime()) const;
  QString runName(const JournaledRun &run, const QDateTime &now = QDateTime::currentDateTime()) const;
  // The question before an undo, naming the run.
  QString undoQuestion(const JournaledRun &run, const QDateTime &now = QDateTime::currentDateTime()) const;
  // What an undo did, counted: "12 removed, 3 brought back from the trash,
  // 1 not found".
  QString undoCounts(const RunSummary &summary) const;
  // How an undo went, in one message, naming the run.
  QString undoMessage(const JournaledRun &run, const RunSummary &summary) const;

 protected:
  // How a date is written in the speaker's language.
  virtual QString date(const QDateTime &time) const = 0;

 private:
  QString failures(const RunSummary &summary, qint64 more) const;
  QString readWords(const Reason &r) const;
  QString writeWords(const Reason &r) const;
  QString checkWords(const Reason &r) const;
  QString runAndUndoWords(const Reason &r) const;
  QString undoRunWords(const Reason &r) const;
};

// rekoda-cli's speaker: English, the sentences as they stand.
class EnglishSpeaker : public Speaker {
 public:
  QString say(const char *english, const QStringList &args = {}, qint64 n = -1) const override;
  QString number(qint64 n) const override;

 protected:
  QString date(const QDateTime &time) const override;
};

// Shorthands for rekoda-cli and the core's own English.
QString English(const Status &status);
QString English(const Reason &reason);
QString English(const LocationProblem &problem);
std::optional<QString> FailureSummary(const RunSummary &summary);
QString UndoCountsText(const RunSummary &summary);
QString UndoMessage(const JournaledRun &run, const RunSummary &summary);
QString UndoQuestion(const JournaledRun &run, const QDateTime &now = QDateTime::currentDateTime());
QString RunTime(const QDateTime &time, const QDateTime &now = QDateTime::currentDateTime());

// Puts the arguments in place of %1 to %9 in one pass, so that an argument
// that holds "%2" itself (a file name) stays as it is.
QString FillIn(const QString &text, const QStringList &args);

}  // namespace rekoda
