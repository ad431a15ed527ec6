// The core's values and their words: every kind in English, as rekoda-cli
// says it (the contract its scripts read), and in the window's Dutch, with
// the arguments filled in after the translation, never translated.

#include "ui/translations.h"
#include "ui/window_speaker.h"

#include "conversion/speaker.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cerrno>
#include <set>

using namespace rekoda;

namespace {

using K = Reason::Kind;
using Op = Status::Op;

const Status kFull = Status::Failed(Op::Write, ENOSPC);

Reason with(K kind, const QStringList &args, const Status &status = {}, qint64 n = 0, qint64 m = 0) {
  Reason r(kind, args, n, m);
  r.status = status;
  return r;
}

struct Row {
  Reason reason;
  QString english;
};

// One row a kind.
const std::vector<Row> &contract() {
  static const std::vector<Row> rows = {
      {K::ReadError, "Error on reading Minilogger File!"},
      {{K::ReadErrorBecause, Status::Failed(Op::Open, EMFILE)}, "Error on reading Minilogger File! (Too many open files)"},
      {with(K::TooLarge, {}, {}, 64), "file too large (more than 64 MiB)"},
      {{K::CannotRead, Status::Failed(Op::NotPlain)}, "cannot read: not a plain file"},
      {K::NotDFWide, "not a DF file (UTF-16 or UTF-32 text)"},
      {K::NotMAWide, "not an MA file (UTF-16 or UTF-32 text)"},
      {K::NoMarker, "not a DF file (no MINI LOGGER or TREND MONITOR marker)"},
      {K::NoCodeField, "not an MA file (no record has a location code field)"},
      {with(K::TooManyLines, {}, {}, 100), "more than 100 lines"},
      {with(K::TooManyFields, {}, {}, 65, 3), "more than 65 fields on line 3"},
      {K::ChangedWhileRead, "the file changed while it was read"},
      {K::EmptyFile, "empty file (no lines)"},
      {with(K::HoldsTooManyLines, {}, {}, 101, 100), "the file holds 101 lines, more than 100"},
      {with(K::BadFieldCount, {"x"}, {}, 2), "row 2 has no valid field count (\"x\")"},
      {K::NoDot, "name has no dot"},
      {K::NoMemory, "not enough memory for this file"},
      {with(K::Unexpected, {"std::bad_cast"}), "std::bad_cast"},
      {K::DestinationExists, "Destination file already exists!"},
      {with(K::CannotWriteTo, {"/out"}, Status::Failed(Op::Open, ENOENT)), "cannot write to /out: No such file or directory"},
      {K::NotInJournal, "not put in place: the run's journal cannot be written"},
      {{K::WriteFailed, kFull}, "No space left on device"},
      {{K::FolderNotSynced, Status::Failed(Op::Sync, EIO)},
       "the folder cannot be synced: Input/output error; the file is in place under its name, not known to be on disk"},
      {Reason::About(K::EarlierFileBack, {K::WriteFailed, kFull}),
       "No space left on device (the earlier file is back at its name)"},
      {Reason::About(K::EarlierFileInTrash, K::DestinationExists, {"/t/X"}, Status::Failed(Op::NameTaken, EEXIST)),
       "Destination file already exists! (the earlier file stays in the trash: /t/X: its name is taken)"},
      {K::NotReached, "not reached"},
      {K::NoSourceFolder, "Source datapath not found!"},
      {K::NoDestinationFolder, "Destination datapath not found!"},
      {K::NoNewCode, "No new extension found!"},
      {K::InvalidNewCode, "Invalid new extension!"},
      {K::NoRows, "No rows found for conversion!"},
      {K::NoRowSelected, "No rows select for conversion!"},
      {with(K::CharacterNotInNames, {":"}), "':' cannot be part of a file name"},
      {with(K::CharacterNotInCodes, {","}), "',' cannot be part of a location code"},
      {K::ControlCharacter, "a control character cannot be part of a file name"},
      {K::OnlyWhiteSpace, "the code is only white space"},
      {K::SpaceAtEnds, "a code cannot begin or end with a space"},
      {K::DotAtEnd, "a code cannot end with a dot"},
      {K::CharacterSet, "the files' character set cannot hold this code"},
      {with(K::SeveralCodes, {"L07", "mixed"}, {}, 2), "2 codes: L07, mixed"},
      {with(K::SourceGone, {"/in"}), "The source folder /in is no longer there"},
      {with(K::DestinationGone, {"/out"}), "The destination folder /out is no longer there"},
      {with(K::JournalStopped, {}, kFull, 128),
       "The run's journal cannot be written: No space left on device; the 128 files put in place before that can be "
       "undone"},
      {{K::RunCannotBegin, Status::Failed(Op::FolderHeld, EWOULDBLOCK, "/out")},
       "The run cannot begin: another run holds the folder /out"},
      {{K::JournalNotBegun, Status::Failed(Op::MakeFolder, 0, "/runs")}, "its journal cannot be written: cannot make the folder /runs"},
      {K::BackFromTrash, "the file it replaced is back from the trash"},
      {K::NotFound, "not found"},
      {K::RemovedFromTrash, "removed from the trash"},
      {with(K::KeptSourceGone, {"DF1.L01"}), "kept: its source DF1.L01 is no longer there"},
      {with(K::KeptSourceChanged, {"DF1.L01"}), "kept: its source DF1.L01 has changed since the run"},
      {K::KeptChanged, "kept: changed since the run"},
      {{K::KeptUnreadable, Status::Failed(Op::Read, EACCES)}, "kept: it cannot be read: Permission denied"},
      {K::KeptNoTrash, "kept: the file it replaced cannot come back (it was replaced without a trash)"},
      {K::KeptNotInTrash, "kept: the file it replaced cannot come back (it is no longer in the trash)"},
      {Reason::About(K::KeptReplacedInTrash, K::KeptChanged, {"/t/X"}),
       "kept: changed since the run (the file it replaced stays in the trash: /t/X)"},
      {{K::CannotRemove, Status::Failed(Op::Remove, EBUSY)}, "cannot be removed: Device or resource busy"},
      {with(K::CannotComeBack, {"/t/X"}, Status::Failed(Op::NotInTrash, ENOENT)),
       "the file it replaced cannot come back from the trash (/t/X): it is no longer in the trash"},
      {with(K::StaysInTrash, {"/t/X"}), "not found; the file it replaced stays in the trash, its name is taken: /t/X"},
      {with(K::TookPlaceInTrash, {"/t/X.2"}),
       "another run wrote over it since: the file it replaced takes its place in the trash (/t/X.2), for that run's "
       "undo to bring back"},
      {with(K::CannotTakePlace, {"/t/X.2"}, Status::Failed(Op::RestoreLeft, EIO)),
       "cannot take its place in the trash (/t/X.2): it is back, but what took its place stays in the trash: "
       "Input/output error"},
      {{K::NotOnDisk, Status::Failed(Op::Sync, EIO)}, "not known to be on disk: Input/output error"},
      {with(K::StillGoing, {"14:02:09"}), "The run of 14:02:09 is still going: nothing was undone"},
      {with(K::UndoGoing, {"14:02:09"}), "An undo of the run of 14:02:09 is going: nothing was done"},
      {with(K::FolderNotThere, {"/out", "14:02:09"}),
       "The folder /out that the run of 14:02:09 wrote into is not there: nothing was undone"},
      {with(K::NotTheFolder, {"/out", "14:02:09"}),
       "/out is not the folder the run of 14:02:09 wrote into (moved or replaced): nothing was undone"},
      {{K::UndoJournalFailed, Status::Failed(Op::Open, EACCES)},
       "The run's journal cannot be written: Permission denied; nothing was undone"},
      {with(K::CannotUndoIn, {"/out"}, Status::Failed(Op::Open, ENOENT)), "cannot undo in /out: No such file or directory"},
      {{K::JournalNotRead, Status::Failed(Op::Read, EIO)}, "The run's journal cannot be read: Input/output error"},
      {{K::JournalNotMarked, kFull}, "The run's journal cannot be marked undone: No space left on device"},
      {{K::JournalNotWritten, kFull}, "The run's journal cannot be written: No space left on device"},
      {K::LocationQuoteOpen, "a quote is not closed"},
      {with(K::LocationNoCode, {"North"}), "no code for \"North\""},
      {Reason::About(K::LocationBadCode, K::DotAtEnd, {"K2."}), "K2. cannot be a code: a code cannot end with a dot"},
      {with(K::LocationTwice, {"K22", "North"}), "K22 is given twice (first as \"North\")"},
  };
  return rows;
}

}  // namespace

// The contract: every kind has its row, and its English words are these.
// A kind added without words, or worded otherwise, fails here.
TEST(Words, everyKindSaysItsEnglishAndTheWindowSaysItInDutch) {
  std::set<int> covered;
  for (const Row &row : contract()) {
    covered.insert(int(row.reason.kind));
    EXPECT_EQ(English(row.reason), row.english) << int(row.reason.kind);
  }
  for (int k = int(K::None) + 1; k < int(K::Count); ++k)
    EXPECT_TRUE(covered.count(k)) << "kind " << k << " has no row";

  const Translations dutch(QLocale(QStringLiteral("nl_NL")),
                           {QCoreApplication::applicationDirPath() + "/../src/translations"});
  ASSERT_EQ(dutch.language(), "nl");
  for (const Row &row : contract()) {
    const QString said = Words().words(row.reason);
    EXPECT_FALSE(said.isEmpty()) << int(row.reason.kind);
    // Translated, but for what only passes arguments on, and "codes",
    // which Dutch writes alike.
    if (row.reason.kind != K::Unexpected && row.reason.kind != K::WriteFailed && row.reason.kind != K::SeveralCodes) {
      EXPECT_NE(said, row.english) << int(row.reason.kind) << ": " << said.toStdString();
    }
  }
  // Rekoda's own steps among the statuses have words of their own too.
  for (int op = int(Op::NotPlain); op <= int(Op::Closed); ++op)
    EXPECT_NE(Words().words(Status::Failed(Op(op), EIO, "/p")), English(Status::Failed(Op(op), EIO, "/p"))) << op;
}

// Nested, line by line, with its plural, and arguments that are data: a
// name like a place marker, a code like a program word, stay as they are.
TEST(Words, theWindowFillsInDataAfterTheTranslation) {
  const Translations dutch(QLocale(QStringLiteral("nl_NL")),
                           {QCoreApplication::applicationDirPath() + "/../src/translations"});
  ASSERT_EQ(dutch.language(), "nl");
  EXPECT_EQ(Words().result(false), "Mislukt");
  EXPECT_EQ(Words().words(Reason::About(K::KeptReplacedInTrash, with(K::KeptSourceGone, {"DF1.L01"}), {"/t/DF1.L02"})),
            "behouden: de bron DF1.L01 is er niet meer (het vervangen bestand blijft in de prullenbak: /t/DF1.L02)");
  EXPECT_EQ(Words().words({K::CannotRead, Status::Failed(Op::NotPlain, 0, "100%2 sure %1")}),
            "kan niet lezen: geen gewoon bestand");
  EXPECT_EQ(Words().words(with(K::CharacterNotInNames, {"%1"})), "'%1' kan geen deel zijn van een bestandsnaam");
  EXPECT_EQ(Words().words(with(K::SeveralCodes, {"Time", "Faild"}, {}, 2)), "2 codes: Time, Faild");
  RunSummary end;
  end.total = end.handled = 1;
  end.failed = 1;
  end.firstFailures.append({"DF: Time", Reason(K::NoDot)});
  EXPECT_EQ(Words().endMessage(end), "1 van 1 bestand mislukt.\n\nDF: Time: naam heeft geen punt");
}
