#include "conversion/speaker.h"

#include "platform/file_name.h"

#include <QCoreApplication>
#include <QLocale>

namespace rekoda {

namespace {

using Op = Status::Op;
using Kind = Reason::Kind;

QString family(Family f) { return f == Family::MA ? QStringLiteral("MA") : QStringLiteral("DF"); }

}  // namespace

QString FillIn(const QString &text, const QStringList &args) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const int n = i + 1 < text.size() ? text[i + 1].digitValue() : -1;
    if (text[i] == u'%' && n >= 1 && n <= args.size()) {
      out += args[n - 1];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

QString Speaker::result(bool ok) const {
  return ok ? say(QT_TRANSLATE_NOOP("Rekoda", "OK")) : say(QT_TRANSLATE_NOOP("Rekoda", "Faild"));
}

QString Speaker::words(const Status &s) const {
  // The system's own description of its error number, in its language;
  // another program holding the file is what a technician needs to hear.
  QString system = s.inUse() ? say(QT_TRANSLATE_NOOP("Rekoda", "the file is in use by another program"))
                                    : s.systemText();
  switch (s.op()) {
    case Op::None: return {};
    case Op::NotPlain: return say(QT_TRANSLATE_NOOP("Rekoda", "not a plain file"));
    case Op::NotWritten: return say(QT_TRANSLATE_NOOP("Rekoda", "the file was not written"));
    case Op::TargetTaken: return say(QT_TRANSLATE_NOOP("Rekoda", "Destination file already exists!"));
    case Op::ToTrash: return say(QT_TRANSLATE_NOOP("Rekoda", "the earlier file cannot be moved to the trash: %1"), {system});
    case Op::TrashNote: return say(QT_TRANSLATE_NOOP("Rekoda", "the run's journal cannot record where the earlier file goes"));
    case Op::SwapBack:
      return say(QT_TRANSLATE_NOOP("Rekoda", "another file took the name meanwhile and could not be given it back: "
                                             "it is now %1: %2"),
                 {s.path(), system});
    case Op::FolderHeld: return say(QT_TRANSLATE_NOOP("Rekoda", "another run holds the folder %1"), {s.path()});
    case Op::NotInTrash: return say(QT_TRANSLATE_NOOP("Rekoda", "it is no longer in the trash"));
    case Op::NameTaken: return say(QT_TRANSLATE_NOOP("Rekoda", "its name is taken"));
    case Op::RestoreSwapped:
      return say(QT_TRANSLATE_NOOP("Rekoda", "another file took its name meanwhile and is now in the trash: %1: %2"),
                 {s.path(), system});
    case Op::RestoreLeft:
      return say(QT_TRANSLATE_NOOP("Rekoda", "it is back, but what took its place stays in the trash: %1"), {system});
    case Op::FolderExists: return say(QT_TRANSLATE_NOOP("Rekoda", "Folder already exists"));
    case Op::MakeFolder: return say(QT_TRANSLATE_NOOP("Rekoda", "cannot make the folder %1"), {s.path()});
    case Op::Closed: return say(QT_TRANSLATE_NOOP("Rekoda", "it is closed"));
    case Op::ReservedName:
      return say(QT_TRANSLATE_NOOP("Rekoda", "'%1' cannot be part of a folder's name: Windows keeps it for a device"),
                 {ReservedDeviceNameIn(s.path()).value_or(s.path())});
    default: return system;
  }
}

QString Speaker::words(const Reason &r) const {
  switch (r.kind) {
    case Kind::None: return {};
    case Kind::Unexpected: return r.arg(0);  // what the failing step said, as it said it
    case Kind::WriteFailed: return words(r.status);
    case Kind::NotReached: return say(QT_TRANSLATE_NOOP("Rekoda", "not reached"));
    case Kind::SeveralCodes:
      return say(QT_TRANSLATE_N_NOOP("Rekoda", "%n codes: %1"), {r.args.join(QStringLiteral(", "))}, r.n);
    case Kind::LocationQuoteOpen: return say(QT_TRANSLATE_NOOP("Rekoda", "a quote is not closed"));
    case Kind::LocationNoCode: return say(QT_TRANSLATE_NOOP("Rekoda", "no code for \"%1\""), {r.arg(0)});
    case Kind::LocationBadCode:
      return say(QT_TRANSLATE_NOOP("Rekoda", "%1 cannot be a code: %2"), {r.arg(0), r.inner ? words(*r.inner) : QString()});
    case Kind::LocationTwice:
      return say(QT_TRANSLATE_NOOP("Rekoda", "%1 is given twice (first as \"%2\")"), {r.arg(0), r.arg(1)});
    default: break;
  }
  if (r.kind < Kind::DestinationExists)
    return readWords(r);
  if (r.kind < Kind::NoSourceFolder)
    return writeWords(r);
  if (r.kind < Kind::SourceGone)
    return checkWords(r);
  if (r.kind < Kind::StillGoing)
    return runAndUndoWords(r);
  return undoRunWords(r);
}

QString Speaker::words(const LocationProblem &problem) const {
  return say(QT_TRANSLATE_NOOP("Rekoda", "line %1: %2"), {number(problem.line), words(problem.why)});
}

QString Speaker::readWords(const Reason &r) const {
  switch (r.kind) {
    case Kind::ReadError: return say(QT_TRANSLATE_NOOP("Rekoda", "Error on reading Minilogger File!"));
    case Kind::ReadErrorBecause:
      return say(QT_TRANSLATE_NOOP("Rekoda", "Error on reading Minilogger File! (%1)"), {words(r.status)});
    case Kind::TooLarge: return say(QT_TRANSLATE_NOOP("Rekoda", "file too large (more than %1 MiB)"), {number(r.n)});
    case Kind::CannotRead: return say(QT_TRANSLATE_NOOP("Rekoda", "cannot read: %1"), {words(r.status)});
    case Kind::NotDFWide: return say(QT_TRANSLATE_NOOP("Rekoda", "not a DF file (UTF-16 or UTF-32 text)"));
    case Kind::NotMAWide: return say(QT_TRANSLATE_NOOP("Rekoda", "not an MA file (UTF-16 or UTF-32 text)"));
    case Kind::NoMarker: return say(QT_TRANSLATE_NOOP("Rekoda", "not a DF file (no MINI LOGGER or TREND MONITOR marker)"));
    case Kind::NoCodeField: return say(QT_TRANSLATE_NOOP("Rekoda", "not an MA file (no record has a location code field)"));
    case Kind::TooManyLines: return say(QT_TRANSLATE_NOOP("Rekoda", "more than %1 lines"), {number(r.n)});
    case Kind::TooManyFields:
      return say(QT_TRANSLATE_NOOP("Rekoda", "more than %1 fields on line %2"), {number(r.n), number(r.m)});
    case Kind::ChangedWhileRead: return say(QT_TRANSLATE_NOOP("Rekoda", "the file changed while it was read"));
    case Kind::EmptyFile: return say(QT_TRANSLATE_NOOP("Rekoda", "empty file (no lines)"));
    case Kind::HoldsTooManyLines:
      return say(QT_TRANSLATE_NOOP("Rekoda", "the file holds %1 lines, more than %2"), {number(r.n), number(r.m)});
    case Kind::BadFieldCount:
      return say(QT_TRANSLATE_NOOP("Rekoda", "row %1 has no valid field count (\"%2\")"), {number(r.n), r.arg(0)});
    case Kind::NoDot: return say(QT_TRANSLATE_NOOP("Rekoda", "name has no dot"));
    case Kind::NoMemory: return say(QT_TRANSLATE_NOOP("Rekoda", "not enough memory for this file"));
    default: return {};
  }
}

QString Speaker::writeWords(const Reason &r) const {
  const QString inner = r.inner ? words(*r.inner) : QString();
  switch (r.kind) {
    case Kind::DestinationExists: return say(QT_TRANSLATE_NOOP("Rekoda", "Destination file already exists!"));
    case Kind::CannotWriteTo: return say(QT_TRANSLATE_NOOP("Rekoda", "cannot write to %1: %2"), {r.arg(0), words(r.status)});
    case Kind::NotInJournal: return say(QT_TRANSLATE_NOOP("Rekoda", "not put in place: the run's journal cannot be written"));
    case Kind::FolderNotSynced:
      return say(QT_TRANSLATE_NOOP("Rekoda", "the folder cannot be synced: %1; the file is in place under its name, "
                                             "not known to be on disk"),
                 {words(r.status)});
    case Kind::EarlierFileBack: return say(QT_TRANSLATE_NOOP("Rekoda", "%1 (the earlier file is back at its name)"), {inner});
    case Kind::EarlierFileInTrash:
      return say(QT_TRANSLATE_NOOP("Rekoda", "%1 (the earlier file stays in the trash: %2: %3)"),
                 {inner, r.arg(0), words(r.status)});
    default: return {};
  }
}

QString Speaker::checkWords(const Reason &r) const {
  switch (r.kind) {
    case Kind::NoSourceFolder: return say(QT_TRANSLATE_NOOP("Rekoda", "Source datapath not found!"));
    case Kind::NoDestinationFolder: return say(QT_TRANSLATE_NOOP("Rekoda", "Destination datapath not found!"));
    case Kind::NoNewCode: return say(QT_TRANSLATE_NOOP("Rekoda", "No new extension found!"));
    case Kind::InvalidNewCode: return say(QT_TRANSLATE_NOOP("Rekoda", "Invalid new extension!"));
    case Kind::NoRows: return say(QT_TRANSLATE_NOOP("Rekoda", "No rows found for conversion!"));
    case Kind::NoRowSelected: return say(QT_TRANSLATE_NOOP("Rekoda", "No rows select for conversion!"));
    case Kind::CharacterNotInNames: return say(QT_TRANSLATE_NOOP("Rekoda", "'%1' cannot be part of a file name"), {r.arg(0)});
    case Kind::CharacterNotInCodes: return say(QT_TRANSLATE_NOOP("Rekoda", "'%1' cannot be part of a location code"), {r.arg(0)});
    case Kind::ControlCharacter: return say(QT_TRANSLATE_NOOP("Rekoda", "a control character cannot be part of a file name"));
    case Kind::OnlyWhiteSpace: return say(QT_TRANSLATE_NOOP("Rekoda", "the code is only white space"));
    case Kind::SpaceAtEnds: return say(QT_TRANSLATE_NOOP("Rekoda", "a code cannot begin or end with a space"));
    case Kind::DotAtEnd: return say(QT_TRANSLATE_NOOP("Rekoda", "a code cannot end with a dot"));
    case Kind::CharacterSet: return say(QT_TRANSLATE_NOOP("Rekoda", "the files' character set cannot hold this code"));
    default: return {};
  }
}

QString Speaker::runAndUndoWords(const Reason &r) const {
  const QString status = words(r.status);
  switch (r.kind) {
    case Kind::SourceGone: return say(QT_TRANSLATE_NOOP("Rekoda", "The source folder %1 is no longer there"), {r.arg(0)});
    case Kind::DestinationGone: return say(QT_TRANSLATE_NOOP("Rekoda", "The destination folder %1 is no longer there"), {r.arg(0)});
    case Kind::JournalStopped:
      return say(QT_TRANSLATE_N_NOOP("Rekoda", "The run's journal cannot be written: %1; the %2 files put in place "
                                               "before that can be undone"),
                 {status, number(r.n)}, r.n);
    case Kind::RunCannotBegin: return say(QT_TRANSLATE_NOOP("Rekoda", "The run cannot begin: %1"), {status});
    case Kind::JournalNotBegun: return say(QT_TRANSLATE_NOOP("Rekoda", "its journal cannot be written: %1"), {status});
    case Kind::BackFromTrash: return say(QT_TRANSLATE_NOOP("Rekoda", "the file it replaced is back from the trash"));
    case Kind::NotFound: return say(QT_TRANSLATE_NOOP("Rekoda", "not found"));
    case Kind::RemovedFromTrash: return say(QT_TRANSLATE_NOOP("Rekoda", "removed from the trash"));
    case Kind::KeptSourceGone: return say(QT_TRANSLATE_NOOP("Rekoda", "kept: its source %1 is no longer there"), {r.arg(0)});
    case Kind::KeptSourceChanged: return say(QT_TRANSLATE_NOOP("Rekoda", "kept: its source %1 has changed since the run"), {r.arg(0)});
    case Kind::KeptChanged: return say(QT_TRANSLATE_NOOP("Rekoda", "kept: changed since the run"));
    case Kind::KeptUnreadable: return say(QT_TRANSLATE_NOOP("Rekoda", "kept: it cannot be read: %1"), {status});
    case Kind::KeptNoTrash:
      return say(QT_TRANSLATE_NOOP("Rekoda", "kept: the file it replaced cannot come back (it was replaced without a trash)"));
    case Kind::KeptNotInTrash:
      return say(QT_TRANSLATE_NOOP("Rekoda", "kept: the file it replaced cannot come back (it is no longer in the trash)"));
    case Kind::KeptReplacedInTrash:
      return say(QT_TRANSLATE_NOOP("Rekoda", "%1 (the file it replaced stays in the trash: %2)"),
                 {r.inner ? words(*r.inner) : QString(), r.arg(0)});
    case Kind::CannotRemove: return say(QT_TRANSLATE_NOOP("Rekoda", "cannot be removed: %1"), {status});
    case Kind::CannotComeBack:
      return say(QT_TRANSLATE_NOOP("Rekoda", "the file it replaced cannot come back from the trash (%1): %2"), {r.arg(0), status});
    case Kind::StaysInTrash:
      return say(QT_TRANSLATE_NOOP("Rekoda", "not found; the file it replaced stays in the trash, its name is taken: %1"), {r.arg(0)});
    case Kind::TookPlaceInTrash:
      return say(QT_TRANSLATE_NOOP("Rekoda", "another run wrote over it since: the file it replaced takes its place in "
                                             "the trash (%1), for that run's undo to bring back"),
                 {r.arg(0)});
    case Kind::CannotTakePlace:
      return say(QT_TRANSLATE_NOOP("Rekoda", "cannot take its place in the trash (%1): %2"), {r.arg(0), status});
    case Kind::NotOnDisk: return say(QT_TRANSLATE_NOOP("Rekoda", "not known to be on disk: %1"), {status});
    default: return {};
  }
}

QString Speaker::undoRunWords(const Reason &r) const {
  const QString status = words(r.status);
  switch (r.kind) {
    case Kind::StillGoing: return say(QT_TRANSLATE_NOOP("Rekoda", "The run of %1 is still going: nothing was undone"), {r.arg(0)});
    case Kind::UndoGoing: return say(QT_TRANSLATE_NOOP("Rekoda", "An undo of the run of %1 is going: nothing was done"), {r.arg(0)});
    case Kind::FolderNotThere:
      return say(QT_TRANSLATE_NOOP("Rekoda", "The folder %1 that the run of %2 wrote into is not there: nothing was undone"),
                 {r.arg(0), r.arg(1)});
    case Kind::NotTheFolder:
      return say(QT_TRANSLATE_NOOP("Rekoda", "%1 is not the folder the run of %2 wrote into (moved or replaced): "
                                             "nothing was undone"),
                 {r.arg(0), r.arg(1)});
    case Kind::UndoJournalFailed:
      return say(QT_TRANSLATE_NOOP("Rekoda", "The run's journal cannot be written: %1; nothing was undone"), {status});
    case Kind::CannotUndoIn: return say(QT_TRANSLATE_NOOP("Rekoda", "cannot undo in %1: %2"), {r.arg(0), status});
    case Kind::JournalNotRead: return say(QT_TRANSLATE_NOOP("Rekoda", "The run's journal cannot be read: %1"), {status});
    case Kind::JournalNotMarked: return say(QT_TRANSLATE_NOOP("Rekoda", "The run's journal cannot be marked undone: %1"), {status});
    case Kind::JournalNotWritten: return say(QT_TRANSLATE_NOOP("Rekoda", "The run's journal cannot be written: %1"), {status});
    default: return {};
  }
}

QString Speaker::failures(const RunSummary &s, qint64 more) const {
  QString text;
  for (const auto &[file, reason] : s.firstFailures)
    text += u'\n' + say(QT_TRANSLATE_NOOP("Rekoda", "%1: %2"), {DisplayFileName(file), words(reason)});
  if (more > s.firstFailures.size())
    text += QStringLiteral("\n…");
  return text;
}

std::optional<QString> Speaker::endMessage(const RunSummary &s) const {
  const bool stopped = !s.stopReason.isNone();
  if (s.failed == 0 && s.skipped == 0 && !stopped)
    return std::nullopt;
  QStringList parts;
  if (stopped)
    parts << say(QT_TRANSLATE_N_NOOP("Rekoda", "%1; stopped after %2 of %3 files."),
                 {words(s.stopReason), number(s.handled), number(s.total)}, s.total);
  if (s.failed > 0)
    parts << (s.handled < s.total && !stopped
                  ? say(QT_TRANSLATE_N_NOOP("Rekoda", "Stopped after %1 of %2 files; %3 failed."),
                        {number(s.handled), number(s.total), number(s.failed)}, s.total)
                  : say(QT_TRANSLATE_N_NOOP("Rekoda", "%1 of %2 files failed."), {number(s.failed), number(s.total)},
                        s.total));
  if (s.skipped > 0)
    parts << say(QT_TRANSLATE_N_NOOP("Rekoda", "%1 of %2 files were skipped: they are in the destination folder already."),
                 {number(s.skipped), number(s.total)}, s.total);
  QString text = parts.join(u'\n');
  if (s.failed > 0)
    text += u'\n' + failures(s, s.failed);
  return text;
}

QString Speaker::runTime(const QDateTime &time, const QDateTime &now) const {
  const QString clock = time.toString(QStringLiteral("HH:mm:ss"));
  return time.date() == now.date() ? clock : date(time) + u' ' + clock;
}

QString Speaker::runName(const JournaledRun &run, const QDateTime &now) const {
  return say(QT_TRANSLATE_NOOP("Rekoda", "the run of %1 (%2 files, code %3, into %4)"),
             {runTime(run.time, now), family(run.family), run.code, run.dest});
}

QString Speaker::undoQuestion(const JournaledRun &run, const QDateTime &now) const {
  return say(QT_TRANSLATE_N_NOOP("Rekoda", "Undo the run of %1 that wrote %2 %3 files with code %4 to %5?"),
             {runTime(run.time, now), number(run.placed()), family(run.family), run.code, run.dest}, run.placed());
}

QString Speaker::undoCounts(const RunSummary &s) const {
  const RunSummary::UndoCounts &c = s.undo;
  QStringList parts;
  parts << say(QT_TRANSLATE_NOOP("Rekoda", "%1 removed"), {number(c.removed)});
  if (c.restored > 0)
    parts << say(QT_TRANSLATE_NOOP("Rekoda", "%1 brought back from the trash"), {number(c.restored)});
  if (c.absent > 0)
    parts << say(QT_TRANSLATE_NOOP("Rekoda", "%1 not found"), {number(c.absent)});
  if (c.kept > 0)
    parts << say(QT_TRANSLATE_NOOP("Rekoda", "%1 kept"), {number(c.kept)});
  if (s.failed > 0)
    parts << say(QT_TRANSLATE_NOOP("Rekoda", "%1 Faild"), {number(s.failed)});
  return parts.join(QStringLiteral(", "));
}

QString Speaker::undoMessage(const JournaledRun &run, const RunSummary &s) const {
  if (s.total == 0 && !s.stopReason.isNone())
    return say(QT_TRANSLATE_NOOP("Rekoda", "%1."), {words(s.stopReason)});  // nothing was done, and it says why
  const QString name = runName(run), counts = undoCounts(s);
  QString text = s.handled < s.total
                     ? say(QT_TRANSLATE_N_NOOP("Rekoda", "The undo of %1 stopped after %2 of %3 files: %4."),
                           {name, number(s.handled), number(s.total), counts}, s.total)
                 : s.failed > 0 ? say(QT_TRANSLATE_NOOP("Rekoda", "%1 is partly undone: %2."), {name, counts})
                                : say(QT_TRANSLATE_NOOP("Rekoda", "%1 is undone: %2."), {name, counts});
  if (!text.isEmpty())
    text[0] = text[0].toUpper();
  if (!s.firstFailures.isEmpty())
    text += u'\n' + failures(s, s.failed + s.undo.kept);
  if (!s.stopReason.isNone())
    text += QStringLiteral("\n\n") + words(s.stopReason);
  return text;
}

QString EnglishSpeaker::say(const char *english, const QStringList &args, qint64 n) const {
  QString text = QString::fromUtf8(english);
  if (n >= 0)
    text.replace(QStringLiteral("%n"), QString::number(n));
  return FillIn(text, args);
}

QString EnglishSpeaker::number(qint64 n) const { return QString::number(n); }

QString EnglishSpeaker::date(const QDateTime &time) const {
  return QLocale(QLocale::English).toString(time.date(), QStringLiteral("d MMM yyyy"));
}

namespace {
const EnglishSpeaker &english() {
  static const EnglishSpeaker speaker;
  return speaker;
}
}  // namespace

QString English(const Status &status) { return english().words(status); }
QString English(const Reason &reason) { return english().words(reason); }
QString English(const LocationProblem &problem) { return english().words(problem); }
std::optional<QString> FailureSummary(const RunSummary &summary) { return english().endMessage(summary); }
QString UndoCountsText(const RunSummary &summary) { return english().undoCounts(summary); }
QString UndoMessage(const JournaledRun &run, const RunSummary &summary) { return english().undoMessage(run, summary); }
QString UndoQuestion(const JournaledRun &run, const QDateTime &now) { return english().undoQuestion(run, now); }
QString RunTime(const QDateTime &time, const QDateTime &now) { return english().runTime(time, now); }

}  // namespace rekoda
