#pragma once

#include "platform/status.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace rekoda {

// Why a file failed, what became of it, why a run stopped, what a Start
// check found: as a value. Its kind says what it is; its arguments are data
// (names, codes, folders, times, counts, the system's error) and are never
// looked up as text to translate. It is worded where it is shown: in
// English for rekoda-cli (English()), in the window's language by the
// window, with the arguments filled in after the translation.
struct Reason {
  enum class Kind : quint8 {
    None,
    // Reading a file.
    ReadError,          // the reader's own message, nothing else known
    ReadErrorBecause,   // the same, with the status beneath (no file handle free)
    TooLarge,           // n: the limit in MiB
    CannotRead,         // status
    NotDFWide,          // UTF-16 or UTF-32 text
    NotMAWide,
    NoMarker,
    NoCodeField,
    TooManyLines,       // n: the limit
    TooManyFields,      // n: the limit, m: the line
    ChangedWhileRead,
    EmptyFile,
    HoldsTooManyLines,  // n: the lines, m: the limit
    BadFieldCount,      // n: the row, args[0]: its field 0
    NoDot,
    NoMemory,
    Unexpected,         // args[0]: what the failing step said (an exception's text)
    // Writing it.
    DestinationExists,
    CannotWriteTo,       // args[0]: the folder; status
    NotInJournal,
    WriteFailed,         // status
    FolderNotSynced,     // status
    EarlierFileBack,     // inner: why it failed; the earlier file is at its name again
    EarlierFileInTrash,  // inner: why it failed; args[0]: where the earlier file is; status: why it stays
    NotReached,
    // The Start checks.
    NoSourceFolder,
    NoDestinationFolder,
    NoNewCode,
    InvalidNewCode,
    NoRows,
    NoRowSelected,
    // Why a new code cannot be used.
    CharacterNotInNames,  // args[0]: the character
    CharacterNotInCodes,  // args[0]: the character
    ControlCharacter,
    OnlyWhiteSpace,
    SpaceAtEnds,
    DotAtEnd,
    CharacterSet,
    // A file's codes: more than one (n: how many; args: which).
    SeveralCodes,
    // A run's end.
    SourceGone,        // args[0]: the folder
    DestinationGone,   // args[0]: the folder
    JournalStopped,    // status; n: the files put in place before
    RunCannotBegin,    // status
    JournalNotBegun,   // status
    // Undo, a file.
    BackFromTrash,
    NotFound,
    RemovedFromTrash,
    KeptSourceGone,     // args[0]: the source
    KeptSourceChanged,  // args[0]: the source
    KeptChanged,
    KeptUnreadable,     // status
    KeptNoTrash,
    KeptNotInTrash,
    KeptReplacedInTrash,  // inner: why it is kept; args[0]: where the replaced file is
    CannotRemove,         // status
    CannotComeBack,       // args[0]: where the replaced file is; status
    StaysInTrash,         // args[0]: where the replaced file is
    TookPlaceInTrash,     // args[0]: the other run's place in the trash
    CannotTakePlace,      // args[0]: that place; status
    NotOnDisk,            // status
    // Undo, the run.
    StillGoing,           // args[0]: the run's time
    UndoGoing,            // args[0]: the run's time
    FolderNotThere,       // args[0]: the folder; args[1]: the run's time
    NotTheFolder,         // args[0]: the folder; args[1]: the run's time
    UndoJournalFailed,    // status: nothing was undone
    CannotUndoIn,         // args[0]: the folder; status
    JournalNotRead,       // status
    JournalNotMarked,     // status
    JournalNotWritten,    // status
    // A row of a register of locations.
    LocationQuoteOpen,
    LocationNoCode,   // args[0]: the name given
    LocationBadCode,  // args[0]: the code; inner: why it cannot be one
    LocationTwice,    // args[0]: the code; args[1]: the name it had first
    Count  // not a kind: how many there are
  };

  Reason() = default;
  Reason(Kind k) : kind(k) {}  // NOLINT(google-explicit-constructor): a kind alone is a reason
  Reason(Kind k, const Status &s) : kind(k), status(s) {}
  Reason(Kind k, const QStringList &a, qint64 count = 0, qint64 other = 0) : kind(k), args(a), n(count), m(other) {}
  // This reason about another (its inner one).
  static Reason About(Kind k, const Reason &inner, const QStringList &a = {}, const Status &s = {}) {
    Reason r(k, a);
    r.status = s;
    r.inner = std::make_shared<const Reason>(inner);
    return r;
  }

  bool isNone() const { return kind == Kind::None; }
  bool is(Kind k) const { return kind == k; }
  QString arg(qsizetype i) const { return args.value(i); }

  Kind kind = Kind::None;
  QStringList args;
  qint64 n = 0, m = 0;
  Status status;
  std::shared_ptr<const Reason> inner;
};

}  // namespace rekoda
