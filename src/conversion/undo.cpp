#include "conversion/undo.h"

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

Content contentAt(const QString &path, const JournalEntry &e, QString *why) {
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
std::optional<QString> sourceProblem(const JournaledRun &run, const JournalEntry &e) {
  const auto stamp = StampOf(JoinPath(run.source, e.source));
  const QString source = DisplayFileName(e.source);
  if (!stamp)
    return QStringLiteral("kept: its source %1 is no longer there").arg(source);
  if (stamp->size != e.sourceSize || stamp->changed != e.sourceChanged)
    return QStringLiteral("kept: its source %1 has changed since the run").arg(source);
  return std::nullopt;
}

QString familyWord(Family f) { return f == Family::MA ? QStringLiteral("MA") : QStringLiteral("DF"); }

// The volume part of an identity ("device:inode", "serial:index").
QString volumeOf(const QString &identity) { return identity.section(u':', 0, 0); }

const QString kBackFromTrash = QStringLiteral("the file it replaced is back from the trash");

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
    QString why;
    if (!dryRun_ && (!folder_.open(run_.dest, &why) ||
                     // Alone in the folder, the temporaries a killed run left go too.
                     !folder_.beginRun(ListFolderNames(run_.dest).value_or(QStringList()), &why)))
      return stop(QStringLiteral("cannot undo in %1: %2").arg(run_.dest, why));
    // A journal that cannot take a line (a full disk) stops no undo: the
    // files themselves tell the next one what is left, and removing them
    // may be what frees the disk.
    if (!dryRun_ && !journal_.begin(&why))
      journalProblem_ = why;
    summary_.total = run_.entries;
    const bool read = ForEachEntry(run_, [this](qint64 index, const JournalEntry &e) { take(index, e); }, &why);
    settleGroup();
    if (!read && summary_.stopReason.isEmpty())
      stop(QStringLiteral("The run's journal cannot be read: %1").arg(why));
    const bool whole = summary_.handled == summary_.total && summary_.failed == 0 && summary_.stopReason.isEmpty();
    if (whole && !dryRun_ && !journal_.markUndone(&why))
      stop(QStringLiteral("The run's journal cannot be marked undone: %1").arg(why));
    else if (!journalProblem_.isEmpty())
      stop(QStringLiteral("The run's journal cannot be written: %1").arg(journalProblem_));
    return summary_;
  }

 private:
  RunSummary &stop(const QString &reason) {
    if (summary_.stopReason.isEmpty())
      summary_.stopReason = reason;
    stopped_ = true;
    return summary_;
  }

  // The journal held for the whole undo, and read again once held: no
  // second undo works on the run meanwhile, and none beside its run.
  bool takeJournal() {
    if (dryRun_) {
      if (run_.going)
        stop(StillGoing(run_) + QStringLiteral(": nothing was undone"));
      else if (run_.undoing)
        stop(UndoGoing(run_));
      return !stopped_;
    }
    QString why;
    switch (journal_.hold(run_, &why)) {
      case UndoJournal::Hold::Held:
        return true;
      case UndoJournal::Hold::HeldByRun:
        stop(StillGoing(run_) + QStringLiteral(": nothing was undone"));
        break;
      case UndoJournal::Hold::HeldByUndo:
        stop(UndoGoing(run_));
        break;
      case UndoJournal::Hold::Failed:
        stop(QStringLiteral("The run's journal cannot be written: %1; nothing was undone").arg(why));
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
      stop(QStringLiteral("The folder %1 that the run of %2 wrote into is not there: nothing was undone")
               .arg(run_.dest, RunTime(run_.time)));
      return false;
    }
    trustIdentities_ = !run_.destIdentity.isEmpty() && *now == run_.destIdentity;
    if (!run_.destIdentity.isEmpty() && !trustIdentities_ && volumeOf(*now) == volumeOf(run_.destIdentity)) {
      stop(QStringLiteral("%1 is not the folder the run of %2 wrote into (moved or replaced): nothing was undone")
               .arg(run_.dest, RunTime(run_.time)));
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
      stop(QStringLiteral("The destination folder %1 is no longer there").arg(run_.dest));
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

  void undoFile(const JournalEntry &e, FileOutcome &o) {
    const QString path = JoinPath(run_.dest, e.output);
    const bool noted = !e.trashedAs.isEmpty();
    Entry trashed = noted ? PathEntry(e.trashedAs) : Entry{};
    // The run's own output in the trash's place: an undo that brought the
    // file back but could not then remove what it swapped with.
    if (trashed.kind == EntryKind::Plain && trustIdentities_ && trashed.identity == e.identity) {
      if (!dryRun_)
        DropFromTrash(e.trashedAs);
      trashed = {};
      o.removed = true;
    }
    const bool inTrash = trashed.kind == EntryKind::Plain;
    // A run killed between writing down where an older file would go and
    // moving it leaves a note without a file: it goes.
    if (noted && !inTrash && !dryRun_)
      RestoreFromTrash(e.trashedAs, path, nullptr);
    const Entry target = PathEntry(path);
    if (target.kind == EntryKind::Missing) {
      if (inTrash)
        return restore(e, path, o);
      return absent(o);
    }
    Whose w = whose(e, target);
    QString why;
    const Content content = w == Whose::NotRuns ? Content::Changed : contentAt(path, e, &why);
    // Not the run's file: one brought back by an undo cut short, or the
    // file a killed run had not yet replaced.
    if (w == Whose::ByContent && content == Content::Changed &&
        ((noted && !inTrash) || (e.placed == JournalEntry::Placed::Unknown && !noted)))
      w = Whose::NotRuns;
    if (w == Whose::NotRuns)
      return notTheRuns(e, target, trashed, inTrash, o);
    // Whether a file had the name when the run put its own there: known
    // for a file the journal saw placed, else taken to be so.
    const bool replacedOne = e.replaces && !(e.placed == JournalEntry::Placed::Yes && !e.replacedGone && !noted);
    if (content == Content::Unreadable)
      return fail(o, QStringLiteral("kept: it cannot be read: %1").arg(why));
    std::optional<QString> reason;
    if (content == Content::Changed)
      reason = QStringLiteral("kept: changed since the run");
    else if (const auto problem = sourceProblem(run_, e))
      reason = problem;
    else if (replacedOne && !inTrash)
      // Its name would hold no file at all: the run's stays.
      reason = e.replacedGone || !noted
                   ? QStringLiteral("kept: the file it replaced cannot come back (it was replaced without a trash)")
                   : QStringLiteral("kept: the file it replaced cannot come back (it is no longer in the trash)");
    if (reason)
      return keep(o, inTrash ? QStringLiteral("%1 (the file it replaced stays in the trash: %2)")
                                   .arg(*reason, DisplayFileName(e.trashedAs))
                             : *reason);
    // The run's output goes; what it replaced takes its name in the same
    // step, so that the name never stands empty.
    if (inTrash) {
      if (!dryRun_ && !RestoreOver(e.trashedAs, path, target.identity, &why)) {
        // Back at its name, maybe, with the run's output in its place in
        // the trash: counted as it is, and the next undo removes that.
        o.restored = PathEntry(path).identity == trashed.identity;
        return fail(o, QStringLiteral("the file it replaced cannot come back from the trash (%1): %2")
                           .arg(DisplayFileName(e.trashedAs), why));
      }
      o.ok = o.removed = o.restored = true;
      o.reason = kBackFromTrash;
      return;
    }
    if (!dryRun_ && !RemoveFile(path, &why))
      return fail(o, QStringLiteral("cannot be removed: %1").arg(why));
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
    keep(o, QStringLiteral("not found; the file it replaced stays in the trash, its name is taken: %1")
                .arg(DisplayFileName(e.trashedAs)));
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
      QString why;
      if (!dryRun_ && !RestoreOver(e.trashedAs, over, e.identity, &why)) {
        fail(o, QStringLiteral("cannot take its place in the trash (%1): %2").arg(DisplayFileName(over), why));
        return true;
      }
      o.ok = o.removed = true;
      o.reason = QStringLiteral("another run wrote over it since: the file it replaced takes its place in the "
                                "trash (%1), for that run's undo to bring back")
                     .arg(DisplayFileName(over));
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
        }, nullptr);
      }
    }
    return trashedByOthers_;
  }

  void restore(const JournalEntry &e, const QString &path, FileOutcome &o) {
    QString why;
    if (dryRun_ || RestoreFromTrash(e.trashedAs, path, &why)) {
      o.ok = o.restored = true;
      o.reason = kBackFromTrash;
      return;
    }
    if (PathEntry(path).kind != EntryKind::Missing)  // taken meanwhile: never replaced
      return keep(o, QStringLiteral("not found; the file it replaced stays in the trash, its name is taken: %1")
                         .arg(DisplayFileName(e.trashedAs)));
    fail(o, QStringLiteral("the file it replaced cannot come back from the trash (%1): %2")
                .arg(DisplayFileName(e.trashedAs), why));
  }

  static void absent(FileOutcome &o) {
    o.ok = true;
    o.absent = !o.removed;  // removed from the trash's place, else not there at all
    o.reason = o.removed ? QStringLiteral("removed from the trash") : QStringLiteral("not found");
  }
  static void keep(FileOutcome &o, const QString &reason) {
    o.kept = true;
    o.reason = reason;
  }
  static void fail(FileOutcome &o, const QString &reason) { o.reason = reason; }

  // Told once the group's removals and restores are on disk, and written
  // down, so that a later undo takes up only what is left.
  void settleGroup() {
    QString why;
    const bool synced = dryRun_ || !folder_.isOpen() || folder_.sync(&why);
    std::vector<std::pair<QString, UndoneAs>> settled;
    for (auto &[index, o] : group_) {
      if ((o.ok || o.kept) && !synced && (o.removed || o.restored)) {
        o.ok = o.kept = false;
        o.reason = QStringLiteral("not known to be on disk: %1").arg(why);
      }
      count(o);
      if (o.ok || o.kept)
        settled.emplace_back(o.file, o.kept ? UndoneAs::Kept
                                     : o.restored ? UndoneAs::Restored
                                     : o.removed ? UndoneAs::Removed
                                                 : UndoneAs::Absent);
      observer_.fileDone(index, o);
    }
    if (!dryRun_ && journalProblem_.isEmpty() && !journal_.settled(settled, &why))
      journalProblem_ = why;
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
        summary_.firstFailures << QStringLiteral("%1: %2").arg(DisplayFileName(o.file), o.reason);
    }
  }

  JournaledRun run_;
  RunObserver &observer_;
  const bool dryRun_;
  bool trustIdentities_ = false;
  bool stopped_ = false;
  QString journalProblem_;  // why the journal took no more lines
  bool othersRead_ = false;
  QHash<QString, QStringList> trashedByOthers_;
  RunSummary summary_;
  UndoJournal journal_;
  DestinationFolder folder_;
  std::vector<std::pair<qint64, FileOutcome>> group_;
};

}  // namespace

QString RunTime(const QDateTime &time, const QDateTime &now) {
  const QLocale english(QLocale::English);
  return time.date() == now.date() ? time.toString(QStringLiteral("HH:mm:ss"))
                                   : english.toString(time, QStringLiteral("d MMM yyyy HH:mm:ss"));
}

QString RunName(const JournaledRun &run, const QDateTime &now) {
  return QStringLiteral("the run of %1 (%2 files, code %3, into %4)")
      .arg(RunTime(run.time, now), familyWord(run.family), run.code, run.dest);
}

QString StillGoing(const JournaledRun &run) {
  return QStringLiteral("The run of %1 is still going").arg(RunTime(run.time, QDateTime::currentDateTime()));
}

QString UndoGoing(const JournaledRun &run) {
  return QStringLiteral("An undo of the run of %1 is going: nothing was done")
      .arg(RunTime(run.time, QDateTime::currentDateTime()));
}

RunSummary UndoRun(const JournaledRun &run, RunObserver &observer, bool dryRun) {
  return Undo(run, observer, dryRun).go();
}

QString UndoQuestion(const JournaledRun &run, const QDateTime &now) {
  return QStringLiteral("Undo the run of %1 that wrote %2 %3 files with code %4 to %5?")
      .arg(RunTime(run.time, now), QLocale(QLocale::English).toString(run.placed()), familyWord(run.family), run.code,
           run.dest);
}

QString UndoCountsText(const RunSummary &s) {
  const QLocale english(QLocale::English);
  const RunSummary::UndoCounts &c = s.undo;
  QStringList parts;
  parts << QStringLiteral("%1 removed").arg(english.toString(c.removed));
  if (c.restored > 0)
    parts << QStringLiteral("%1 brought back from the trash").arg(english.toString(c.restored));
  if (c.absent > 0)
    parts << QStringLiteral("%1 not found").arg(english.toString(c.absent));
  if (c.kept > 0)
    parts << QStringLiteral("%1 kept").arg(english.toString(c.kept));
  if (s.failed > 0)
    parts << QStringLiteral("%1 Faild").arg(english.toString(s.failed));
  return parts.join(QStringLiteral(", "));
}

QString UndoMessage(const JournaledRun &run, const RunSummary &s) {
  const QLocale english(QLocale::English);
  const QString name = RunName(run);
  QString text;
  if (s.total == 0 && !s.stopReason.isEmpty())
    return s.stopReason + u'.';  // nothing was done, and the reason says why
  if (s.handled < s.total)
    text = QStringLiteral("The undo of %1 stopped after %2 of %3 files: %4.")
               .arg(name, english.toString(s.handled), english.toString(s.total), UndoCountsText(s));
  else if (s.failed > 0)
    text = QStringLiteral("%1 is partly undone: %2.").arg(name, UndoCountsText(s));
  else
    text = QStringLiteral("%1 is undone: %2.").arg(name, UndoCountsText(s));
  text[0] = text[0].toUpper();
  if (!s.firstFailures.isEmpty())
    text += QStringLiteral("\n\n") + s.firstFailures.join(u'\n') +
            (s.failed + s.undo.kept > s.firstFailures.size() ? QStringLiteral("\n…") : QString());
  if (!s.stopReason.isEmpty())
    text += QStringLiteral("\n\n") + s.stopReason;
  return text;
}

}  // namespace rekoda
