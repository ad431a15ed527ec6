#include "conversion/undo.h"

#include "conversion/speaker.h"
#include "conversion/run_engine.h"
#include "platform/durable_file.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/text_file.h"
#include "platform/trash.h"

#include <QLocale>

namespace rekoda {

namespace {

// What stands at an output's name, against what the run wrote there: its
// bytes decide, never a failure to open it (a scanner holding it).
enum class Content { Same, Changed, Unreadable };

Content contentAt(const QString &path, const JournalEntry &e, Status *why) {
  bool tooLarge = false;
  const auto bytes = ReadFileBytes(path, e.size, why, &tooLarge);
  if (!bytes)
    return tooLarge ? Content::Changed : Content::Unreadable;
  return bytes->size() == e.size && ContentHash(bytes->constData(), size_t(bytes->size())) == e.hash
             ? Content::Same
             : Content::Changed;
}

// Why an output that is the run's own stays for its source; none when the
// measurements are still in the source, as the run read them.
std::optional<Reason> sourceProblem(const JournaledRun &run, const JournalEntry &e) {
  const auto stamp = StampOf(JoinPath(run.source, e.source));
  const QString source = DisplayFileName(e.source);
  if (!stamp)
    return Reason(Reason::Kind::KeptSourceGone, {source});
  if (stamp->size != e.sourceSize || stamp->changed != e.sourceChanged)
    return Reason(Reason::Kind::KeptSourceChanged, {source});
  return std::nullopt;
}

// The volume part of an identity ("device:inode", "serial:index").
QString volumeOf(const QString &identity) { return identity.section(u':', 0, 0); }

// Whose file stands at an output's name.
enum class Whose { Runs, NotRuns, ByContent };

class Undo {
 public:
  Undo(const JournaledRun &run, RunObserver &observer, bool dryRun)
      : run_(run), observer_(observer), dryRun_(dryRun) {
    summary_.runId = run.id;
  }

  RunSummary go() {
    if (!takeJournal() || !folderIsTheRuns())
      return summary_;
    if (!dryRun_) {
      Status opened = folder_.open(run_.dest);
      // Alone in the folder, the temporaries a killed run left go too.
      if (opened.ok())
        opened = folder_.beginRun(ListFolderNames(run_.dest).value_or(QStringList()));
      if (!opened.ok())
        return stop({Reason::Kind::CannotUndoIn, {run_.dest}}, opened);
      // A journal that cannot take a line (a full disk) stops no undo: the
      // files themselves tell the next one what is left, and removing them
      // may be what frees the disk.
      journalProblem_ = journal_.begin();
    }
    summary_.total = run_.entries;
    Status why;
    const bool read = ForEachEntry(run_, [this](qint64 index, const JournalEntry &e) { take(index, e); }, &why);
    settleGroup();
    if (!read)
      stop(Reason::Kind::JournalNotRead, why);
    const bool whole = summary_.handled == summary_.total && summary_.failed == 0 && summary_.stopReason.isNone();
    if (whole && !dryRun_ && !(why = journal_.markUndone()).ok())
      stop(Reason::Kind::JournalNotMarked, why);
    else if (!journalProblem_.ok())
      stop(Reason::Kind::JournalNotWritten, journalProblem_);
    return summary_;
  }

 private:
  RunSummary &stop(Reason reason, const Status &status = {}) {
    if (summary_.stopReason.isNone()) {
      summary_.stopReason = std::move(reason);
      summary_.stopReason.status = status;
    }
    stopped_ = true;
    return summary_;
  }

  // The journal held for the whole undo, and read again once held: no
  // second undo works on the run meanwhile, and none beside its run.
  bool takeJournal() {
    const QStringList when = {RunTime(run_.time)};
    if (dryRun_) {
      if (run_.going)
        stop({Reason::Kind::StillGoing, when});
      else if (run_.undoing)
        stop({Reason::Kind::UndoGoing, when});
      return !stopped_;
    }
    Status why;
    switch (journal_.hold(run_, &why)) {
      case UndoJournal::Hold::Held:
        return true;
      case UndoJournal::Hold::HeldByRun:
        stop({Reason::Kind::StillGoing, when});
        break;
      case UndoJournal::Hold::HeldByUndo:
        stop({Reason::Kind::UndoGoing, when});
        break;
      case UndoJournal::Hold::Failed:
        stop(Reason::Kind::UndoJournalFailed, why);
        break;
    }
    return false;
  }

  // The folder the run wrote into, or nothing: a folder moved or replaced
  // since would have other files at the run's names. A volume mounted again
  // (a stick plugged in anew) has new numbers for everything on it: there
  // the outputs are told by their bytes alone.
  bool folderIsTheRuns() {
    const auto now = FileIdentity(run_.dest);
    if (!now) {
      stop({Reason::Kind::FolderNotThere, {run_.dest, RunTime(run_.time)}});
      return false;
    }
    trustIdentities_ = !run_.destIdentity.isEmpty() && *now == run_.destIdentity;
    if (!run_.destIdentity.isEmpty() && !trustIdentities_ && volumeOf(*now) == volumeOf(run_.destIdentity)) {
      stop({Reason::Kind::NotTheFolder, {run_.dest, RunTime(run_.time)}});
      return false;
    }
    return true;
  }

  void take(qint64 index, const JournalEntry &e) {
    if (stopped_)
      return;
    if (group_.empty() && !groupMayGo())
      return;
    ++summary_.handled;
    if (run_.settledOutputs && run_.settledOutputs->contains(KeyOf(e.output))) {
      ++summary_.undo.before;  // an earlier undo settled it
      return;
    }
    FileOutcome o;
    o.file = e.output;
    o.output = e.source;
    undoFile(e, o);
    group_.push_back({index, o});
    observer_.fileHandled(index, summary_.handled);
    if (group_.size() >= size_t(kGroupFiles))
      settleGroup();
  }

  // Before each group: stopped by the user, or the folder gone under it.
  bool groupMayGo() {
    if (observer_.stopRequested()) {
      stopped_ = true;
      return false;
    }
    if (!dryRun_ && folder_.isOpen() && !folder_.stillAtItsPath()) {
      stop({Reason::Kind::DestinationGone, {run_.dest}});
      return false;
    }
    return true;
  }

  Whose whose(const JournalEntry &e, const Entry &target) const {
    if (target.kind != EntryKind::Plain)
      return Whose::NotRuns;
    if (trustIdentities_ && !e.identity.isEmpty())
      return target.identity == e.identity ? Whose::Runs : Whose::NotRuns;
    return Whose::ByContent;  // an older journal, or the volume mounted again
  }

  // What an undo finds of one output: its path, the file at its name, and
  // where the file it replaced went.
  struct Found {
    QString path;
    Entry target, trashed;
    bool noted = false;    // the journal says where a replaced file went
    bool inTrash = false;  // and it is there
  };

  void undoFile(const JournalEntry &e, FileOutcome &o) {
    Found f{JoinPath(run_.dest, e.output), {}, {}, !e.trashedAs.isEmpty(), false};
    f.trashed = f.noted ? PathEntry(e.trashedAs) : Entry{};
    // The run's own output in the trash's place: an undo that brought the
    // file back but could not then remove what it swapped with.
    if (f.trashed.kind == EntryKind::Plain && trustIdentities_ && f.trashed.identity == e.identity) {
      if (!dryRun_)
        DropFromTrash(e.trashedAs);
      f.trashed = {};
      o.removed = true;
    }
    f.inTrash = f.trashed.kind == EntryKind::Plain;
    // A run killed between writing down where an older file would go and
    // moving it leaves a note without a file: it goes.
    if (f.noted && !f.inTrash && !dryRun_)
      RestoreFromTrash(e.trashedAs, f.path);
    f.target = PathEntry(f.path);
    if (f.target.kind == EntryKind::Missing)
      return f.inTrash ? restore(e, f.path, o) : absent(o);
    Whose w = whose(e, f.target);
    Status why;
    const Content content = w == Whose::NotRuns ? Content::Changed : contentAt(f.path, e, &why);
    // Not the run's file: one brought back by an undo cut short, or the
    // file a killed run had not yet replaced.
    if (w == Whose::ByContent && content == Content::Changed &&
        ((f.noted && !f.inTrash) || (e.placed == JournalEntry::Placed::Unknown && !f.noted)))
      w = Whose::NotRuns;
    if (w == Whose::NotRuns)
      return notTheRuns(e, f.target, f.trashed, f.inTrash, o);
    if (content == Content::Unreadable)
      return fail(o, {Reason::Kind::KeptUnreadable, why});
    if (const auto reason = whyKept(e, f, content))
      return keep(o, f.inTrash ? Reason::About(Reason::Kind::KeptReplacedInTrash, *reason, {DisplayFileName(e.trashedAs)})
                               : *reason);
    takeAway(e, f, o);
  }

  // Why the run's output at its name stays; none when it goes.
  std::optional<Reason> whyKept(const JournalEntry &e, const Found &f, Content content) const {
    if (content == Content::Changed)
      return Reason::Kind::KeptChanged;
    if (auto problem = sourceProblem(run_, e))
      return problem;
    // Whether a file had the name when the run put its own there: known
    // for a file the journal saw placed, else taken to be so. Its name
    // would hold no file at all: the run's stays.
    const bool replacedOne = e.replaces && !(e.placed == JournalEntry::Placed::Yes && !e.replacedGone && !f.noted);
    if (replacedOne && !f.inTrash)
      return e.replacedGone || !f.noted ? Reason::Kind::KeptNoTrash : Reason::Kind::KeptNotInTrash;
    return std::nullopt;
  }

  // The run's output goes; what it replaced takes its name in the same
  // step, so that the name never stands empty.
  void takeAway(const JournalEntry &e, const Found &f, FileOutcome &o) {
    Status why;
    if (f.inTrash) {
      if (!dryRun_ && !(why = RestoreOver(e.trashedAs, f.path, f.target.identity)).ok()) {
        // Back at its name, maybe, with the run's output in its place in
        // the trash: counted as it is, and the next undo removes that.
        o.restored = PathEntry(f.path).identity == f.trashed.identity;
        return fail(o, {Reason::Kind::CannotComeBack, {DisplayFileName(e.trashedAs)}}, why);
      }
      o.ok = o.removed = o.restored = true;
      o.reason = Reason::Kind::BackFromTrash;
      return;
    }
    if (!dryRun_ && !(why = RemoveFile(f.path)).ok())
      return fail(o, Reason::Kind::CannotRemove, why);
    o.ok = o.removed = true;
  }

  // Nothing of the run's at the name; what it replaced comes back only
  // where that takes nobody's file.
  void notTheRuns(const JournalEntry &e, const Entry &target, const Entry &trashed, bool inTrash, FileOutcome &o) {
    if (!inTrash)
      return absent(o);
    // The replaced file never left its name: a link into the trash whose
    // replace never came (a run killed between the two, a failed replace).
    if (target.kind == EntryKind::Plain && target.identity == trashed.identity) {
      if (!dryRun_)
        DropFromTrash(e.trashedAs);
      return absent(o);
    }
    if (popFromUnder(e, o))
      return;
    keep(o, {Reason::Kind::StaysInTrash, {DisplayFileName(e.trashedAs)}});
  }

  // Another run into the folder wrote over this run's output since, and
  // sent it to the trash: what this run replaced takes its place there, so
  // that the other run's undo brings back the file from before both, in
  // whichever order the two are undone.
  bool popFromUnder(const JournalEntry &e, FileOutcome &o) {
    if (e.identity.isEmpty() || !trustIdentities_)
      return false;
    for (const QString &over : trashedByOthers().value(e.output)) {
      const Entry there = PathEntry(over);
      if (there.kind != EntryKind::Plain || there.identity != e.identity)
        continue;
      if (Status why = dryRun_ ? Status() : RestoreOver(e.trashedAs, over, e.identity); !why.ok()) {
        fail(o, {Reason::Kind::CannotTakePlace, {DisplayFileName(over)}}, why);
        return true;
      }
      o.ok = o.removed = true;
      o.reason = {Reason::Kind::TookPlaceInTrash, {DisplayFileName(over)}};
      return true;
    }
    return false;
  }

  // Where the other runs into this folder, not wholly undone, sent the files
  // they replaced, by name: read once, when first needed.
  const QHash<QString, QStringList> &trashedByOthers() {
    if (!othersRead_) {
      othersRead_ = true;
      for (const JournaledRun &other : ListRuns()) {
        if (other.id == run_.id || other.undone || other.destIdentity != run_.destIdentity)
          continue;
        ForEachEntry(other, [this](qint64, const JournalEntry &x) {
          if (!x.trashedAs.isEmpty())
            trashedByOthers_[x.output] << x.trashedAs;
        });
      }
    }
    return trashedByOthers_;
  }

  void restore(const JournalEntry &e, const QString &path, FileOutcome &o) {
    Status why = dryRun_ ? Status() : RestoreFromTrash(e.trashedAs, path);
    if (why.ok()) {
      o.ok = o.restored = true;
      o.reason = Reason::Kind::BackFromTrash;
      return;
    }
    if (PathEntry(path).kind != EntryKind::Missing)  // taken meanwhile: never replaced
      return keep(o, {Reason::Kind::StaysInTrash, {DisplayFileName(e.trashedAs)}});
    fail(o, {Reason::Kind::CannotComeBack, {DisplayFileName(e.trashedAs)}}, why);
  }

  static void absent(FileOutcome &o) {
    o.ok = true;
    o.absent = !o.removed;  // removed from the trash's place, else not there at all
    o.reason = o.removed ? Reason::Kind::RemovedFromTrash : Reason::Kind::NotFound;
  }
  static void keep(FileOutcome &o, const Reason &reason) {
    o.kept = true;
    o.reason = reason;
  }
  static void fail(FileOutcome &o, Reason reason, const Status &status = {}) {
    o.reason = std::move(reason);
    if (!status.ok())
      o.reason.status = status;
  }

  // Told once the group's removals and restores are on disk, and written
  // down, so that a later undo takes up only what is left.
  void settleGroup() {
    Status synced = dryRun_ || !folder_.isOpen() ? Status() : folder_.sync();
    std::vector<std::pair<QString, UndoneAs>> settled;
    for (auto &[index, o] : group_) {
      if ((o.ok || o.kept) && !synced.ok() && (o.removed || o.restored)) {
        o.ok = o.kept = false;
        o.reason = {Reason::Kind::NotOnDisk, synced};
      }
      count(o);
      if (o.ok || o.kept)
        settled.emplace_back(o.file, o.kept ? UndoneAs::Kept
                                     : o.restored ? UndoneAs::Restored
                                     : o.removed ? UndoneAs::Removed
                                                 : UndoneAs::Absent);
      observer_.fileDone(index, o);
    }
    if (!dryRun_ && journalProblem_.ok())
      journalProblem_ = journal_.settled(settled);
    if (!group_.empty())
      observer_.groupSettled();
    group_.clear();
  }

  void count(const FileOutcome &o) {
    RunSummary::UndoCounts &c = summary_.undo;
    c.removed += o.removed;
    c.restored += o.restored;
    c.absent += o.absent;
    c.kept += o.kept;
    if (!o.ok) {
      summary_.failed += !o.kept;
      if (summary_.firstFailures.size() < 5)
        summary_.firstFailures.append({o.file, o.reason});
    }
  }

  JournaledRun run_;
  RunObserver &observer_;
  const bool dryRun_;
  bool trustIdentities_ = false;
  bool stopped_ = false;
  Status journalProblem_;  // why the journal took no more lines
  bool othersRead_ = false;
  QHash<QString, QStringList> trashedByOthers_;
  RunSummary summary_;
  UndoJournal journal_;
  DestinationFolder folder_;
  std::vector<std::pair<qint64, FileOutcome>> group_;
};

}  // namespace

RunSummary UndoRun(const JournaledRun &run, RunObserver &observer, bool dryRun) {
  return Undo(run, observer, dryRun).go();
}

}  // namespace rekoda
