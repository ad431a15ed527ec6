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

QString when(const QDateTime &time, const QDateTime &now) {
  const QLocale english(QLocale::English);
  return time.date() == now.date() ? time.toString(QStringLiteral("HH:mm"))
                                   : english.toString(time, QStringLiteral("d MMM yyyy HH:mm"));
}

class Undo {
 public:
  Undo(const JournaledRun &run, RunObserver &observer, bool dryRun)
      : run_(run), observer_(observer), dryRun_(dryRun) {
    summary_.total = qint64(run.entries.size());
    summary_.runId = run.id;
  }

  RunSummary go() {
    // Its files are still being put in place: none of it is undone.
    if (run_.going) {
      summary_.stopReason = StillGoing(run_);
      return summary_;
    }
    if (!dryRun_ && folder_.open(run_.dest, nullptr)) {
      // Alone in the folder, the temporaries a killed run left go too.
      folder_.beginRun(ListFolderNames(run_.dest).value_or(QStringList()));
    }
    for (qsizetype i = 0; i < qsizetype(run_.entries.size()); ++i) {
      if (observer_.stopRequested())
        break;
      FileOutcome o;
      o.file = run_.entries[size_t(i)].output;
      o.output = run_.entries[size_t(i)].source;
      undo(run_.entries[size_t(i)], o);
      group_.push_back({i, o});
      observer_.fileHandled(i, ++summary_.handled);
      if (group_.size() >= size_t(kGroupFiles))
        settleGroup();
    }
    settleGroup();
    const bool whole = summary_.handled == summary_.total && summary_.failed == 0;
    if (whole && !dryRun_) {
      QString why;
      if (!MarkUndone(run_, &why))
        summary_.stopReason = QStringLiteral("The run's journal cannot be marked undone: %1").arg(why);
    }
    return summary_;
  }

 private:
  void undo(const JournalEntry &e, FileOutcome &o) {
    const QString path = JoinPath(run_.dest, e.output);
    const bool noted = !e.trashedAs.isEmpty();
    const bool inTrash = noted && PathEntry(e.trashedAs).kind != EntryKind::Missing;
    // A run killed between writing down where an older file would go and
    // moving it leaves a note without a file: it goes.
    if (noted && !inTrash && !dryRun_)
      RestoreFromTrash(e.trashedAs, path, nullptr);
    const Entry target = PathEntry(path);
    if (e.placed != JournalEntry::Placed::No && target.kind != EntryKind::Missing) {
      switch (removeOutput(e, path, target, noted, inTrash, o.reason)) {
        case Removal::NotTheRuns:
          o.ok = true;
          return;
        case Removal::Kept:
          if (inTrash)
            o.reason += QStringLiteral(" (the file it replaced stays in the trash: %1)").arg(DisplayFileName(e.trashedAs));
          return;
        case Removal::Removed:
          break;
      }
    }
    // The name is free: what the run replaced comes back.
    QString why;
    if (inTrash && !dryRun_ && !RestoreFromTrash(e.trashedAs, path, &why)) {
      o.reason = QStringLiteral("the file it replaced cannot come back from the trash (%1): %2")
                     .arg(DisplayFileName(e.trashedAs), why);
      return;
    }
    o.ok = true;
  }

  enum class Removal {
    Removed,     // the run's output is gone (or would be, in a dry run)
    NotTheRuns,  // the file under its name is not the run's: nothing to do
    Kept,        // the run's output stays, for the reason given
  };

  // The run's output at path taken away, unless something says it stays.
  Removal removeOutput(const JournalEntry &e, const QString &path, const Entry &target, bool noted, bool inTrash,
                       QString &reason) {
    QString why;
    const Content content = target.kind == EntryKind::Plain ? contentAt(path, e, &why) : Content::Changed;
    if (content == Content::Changed && target.kind == EntryKind::Plain &&
        ((noted && !inTrash) || (e.placed == JournalEntry::Placed::Unknown && !noted))) {
      // Not the run's file: one brought back by an undo cut short, or the
      // file a killed run had not yet replaced. Nothing of the run's there.
      return Removal::NotTheRuns;
    }
    // Whether a file had the name when the run put its own there: known
    // for a file the journal saw placed, else taken to be so.
    const bool replacedOne = e.replaces && !(e.placed == JournalEntry::Placed::Yes && !e.replacedGone && !noted);
    if (content == Content::Changed) {
      reason = QStringLiteral("kept: changed since the run");
    } else if (content == Content::Unreadable) {
      reason = QStringLiteral("kept: it cannot be read: %1").arg(why);
    } else if (const auto problem = sourceProblem(run_, e)) {
      reason = *problem;
    } else if (replacedOne && !inTrash) {
      // Its name would hold no file at all: the run's stays.
      reason = e.replacedGone || !noted
                   ? QStringLiteral("kept: the file it replaced cannot come back (it was replaced without a trash)")
                   : QStringLiteral("kept: the file it replaced cannot come back (it is no longer in the trash)");
    } else if (!dryRun_ && !RemoveFile(path, &why)) {
      reason = QStringLiteral("cannot be removed: %1").arg(why);
    }
    return reason.isEmpty() ? Removal::Removed : Removal::Kept;
  }

  // Told once the group's removals and restores are on disk.
  void settleGroup() {
    QString why;
    const bool synced = dryRun_ || !folder_.isOpen() || folder_.sync(&why);
    for (auto &[index, o] : group_) {
      if (o.ok && !synced) {
        o.ok = false;
        o.reason = why;
      }
      if (!o.ok) {
        ++summary_.failed;
        if (summary_.firstFailures.size() < 5)
          summary_.firstFailures << QStringLiteral("%1: %2").arg(DisplayFileName(o.file), o.reason);
      }
      observer_.fileDone(index, o);
    }
    if (!group_.empty())
      observer_.groupSettled();
    group_.clear();
  }

  const JournaledRun &run_;
  RunObserver &observer_;
  const bool dryRun_;
  RunSummary summary_;
  DestinationFolder folder_;
  std::vector<std::pair<qsizetype, FileOutcome>> group_;
};

}  // namespace

QString StillGoing(const JournaledRun &run) {
  return QStringLiteral("The run of %1 is still going").arg(when(run.time, QDateTime::currentDateTime()));
}

RunSummary UndoRun(const JournaledRun &run, RunObserver &observer, bool dryRun) {
  return Undo(run, observer, dryRun).go();
}

QString UndoQuestion(const JournaledRun &run, const QDateTime &now) {
  return QStringLiteral("Undo the run of %1 that wrote %2 %3 files with code %4 to %5?")
      .arg(when(run.time, now), QLocale(QLocale::English).toString(run.placed()),
           run.family == Family::MA ? QStringLiteral("MA") : QStringLiteral("DF"), run.code, run.dest);
}

QString UndoMessage(const JournaledRun &run, const RunSummary &s) {
  const QLocale english(QLocale::English);
  QString text = s.handled < s.total
                     ? QStringLiteral("The undo stopped after %1 of %2 files.").arg(s.handled).arg(s.total)
                     : s.failed == 0 ? QStringLiteral("The run of %1 is undone: %2 files.")
                                           .arg(when(run.time, QDateTime::currentDateTime()), english.toString(s.total))
                                     : QStringLiteral("%1 of %2 files were not undone.")
                                           .arg(english.toString(s.failed), english.toString(s.total));
  if (!s.firstFailures.isEmpty())
    text += QStringLiteral("\n\n") + s.firstFailures.join(u'\n') + (s.failed > s.firstFailures.size() ? QStringLiteral("\n…") : QString());
  if (!s.stopReason.isEmpty())
    text += QStringLiteral("\n\n") + s.stopReason;
  return text;
}

}  // namespace rekoda
