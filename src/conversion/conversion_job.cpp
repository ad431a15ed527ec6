#include "conversion/conversion_job.h"

#include "buffer/field_buffer.h"
#include "buffer/variable.h"
#include "conversion/run_journal.h"
#include "conversion/work_threads.h"
#include "formats/buffer_file.h"
#include "formats/df/df_file.h"
#include "formats/ma/ma_file.h"
#include "platform/durable_file.h"
#include "platform/file_name.h"
#include "platform/file_system.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>

#include <atomic>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <tuple>
#include <vector>

namespace rekoda {

namespace {

// Only the space character counts as blank here.
bool isBlank(const QString &text) {
  for (QChar c : text)
    if (c != u' ')
      return false;
  return true;
}

constexpr int kSummaryReasons = 5;
// A group's syncs are waits on the disk, not work for the processor: this
// many at once keep its queue full (more cost their start-up).
constexpr std::size_t kSyncThreads = 7;
// Static text: saying it needs no memory.
QString noMemory() { return QStringLiteral("not enough memory for this file"); }
QString notInJournal() { return QStringLiteral("not put in place: the run's journal cannot be written"); }

class Run {
 public:
  Run(const ConversionJob &job, RunObserver &observer, RunJournal *journal)
      : job_(job), observer_(observer), journal_(journal), codeBytes_(job.code.toLocal8Bit().toStdString()) {
    summary_.total = job.files.size();
    if (journal_)
      summary_.runId = journal_->id();
  }

  RunSummary go() {
    if (!folder_.open(job_.dest, &folderError_)) {
      folderError_ = QStringLiteral("cannot write to %1: %2").arg(job_.dest, folderError_);
      // A dry run into a folder still to be made (rekoda-cli --mkdir) finds
      // it empty, as the real run will.
      if (job_.dryRun && !QFileInfo::exists(job_.dest))
        folderError_.clear();
    }
    // One listing answers "is it there?" for every target: a name that was
    // not there is taken only if it is still free, and needs no look of its
    // own (each is a round trip on FUSE and network volumes). It also tells
    // the clean-up of the temporaries an interrupted run left.
    const auto names = ListFolderNames(job_.dest);
    if (names) {
      listed_ = true;
      for (const QString &name : *names) {
        startNames_.insert(name);
        startFolded_.insert(name.toCaseFolded());
      }
    }
    if (folder_.isOpen() && !job_.dryRun)
      folder_.beginRun(names.value_or(QStringList()));
    sourceId_ = FileIdentity(job_.source);
    destId_ = FileIdentity(job_.dest);
    intoSourceFolder_ = sourceId_ && sourceId_ == destId_;

    // Never more than a group's worth, so that adding to one cannot fail.
    group_.reserve(kGroupFiles);
    committing_.reserve(kGroupFiles);
    for (qsizetype i = 0; i < job_.files.size(); ++i) {
      if (observer_.stopRequested() || journalFailed_)
        break;
      if (group_.empty())
        groupTimer_.start();
      handle(i);
      observer_.fileHandled(i, ++summary_.handled);
      const bool groupDone = job_.dryRun ? summary_.handled % kGroupFiles == 0
                                         : !group_.empty() && (group_.size() >= kGroupFiles ||
                                                               groupTimer_.elapsed() >= kGroupMilliseconds);
      if (groupDone) {
        if (job_.dryRun)
          observer_.groupSettled();
        startCommit();
        // A folder removed, renamed or replaced under the run ends it after
        // the group in hand, rather than failing every file left one by one.
        if (folderGone())
          break;
      }
    }
    startCommit();
    finishCommit();
    observer_.groupSettled();
    if (journal_)
      journal_->end();
    if (journalFailed_ && summary_.stopReason.isEmpty())
      summary_.stopReason = QStringLiteral("The run's journal cannot be written: %1; the %2 files put in place "
                                           "before that can be undone")
                                .arg(journal_->failure())
                                .arg(summary_.handled - summary_.failed - summary_.skipped);
    return summary_;
  }

  // What the run cannot go on from ends it like a vanished folder: with its
  // reason, after the group being put in place is told.
  RunSummary goSafely() {
    try {
      return go();
    } catch (const std::exception &e) {
      summary_.stopReason = QString::fromLocal8Bit(e.what());
      try {
        finishCommit();
      } catch (const std::exception &) {
      }
    }
    return summary_;
  }

  // Which of the run's folders is no longer the one it found at its path.
  RunSummary::Gone goneFolder() const {
    using Gone = RunSummary::Gone;
    for (const auto &[path, id, gone] : {std::tuple{job_.dest, destId_, Gone::Destination},
                                         std::tuple{job_.source, sourceId_, Gone::Source}})
      if (id && FileIdentity(path) != id)
        return gone;
    return Gone::None;
  }

  bool folderGone() {
    const RunSummary::Gone gone = goneFolder();
    if (gone == RunSummary::Gone::None)
      return false;
    summary_.stopReason = FolderGoneText(gone, gone == RunSummary::Gone::Source ? job_.source : job_.dest);
    summary_.folderGone = gone;
    return true;
  }

  ~Run() {
    try {
      threads_.wait();
    } catch (...) {
    }
  }

 private:
  struct Pending {
    qsizetype index;
    FileOutcome outcome;
    std::unique_ptr<StagedFile> file;
    std::optional<QString> replaces;  // the identity of the file it may replace
    JournalEntry entry;               // what the journal keeps of it
    bool unreached = false;           // not put in place: the folder went first
  };

  void settle(qsizetype index, FileOutcome &outcome) {
    if (outcome.skipped) {
      ++summary_.skipped;
    } else if (!outcome.ok) {
      ++summary_.failed;
      if (summary_.firstFailures.size() < kSummaryReasons)
        summary_.firstFailures << QStringLiteral("%1: %2").arg(DisplayFileName(outcome.file), outcome.reason);
    }
    observer_.fileDone(index, outcome);
  }

  // Results are told in job order, a group at a time, once its files are
  // in place; a dry run has no groups.
  bool decide(qsizetype index, FileOutcome &outcome, std::unique_ptr<StagedFile> file = nullptr,
              std::optional<QString> replaces = std::nullopt, JournalEntry entry = {}) {
    if (job_.dryRun)
      settle(index, outcome);
    else
      group_.push_back({index, std::move(outcome), std::move(file), std::move(replaces), std::move(entry)});
    return true;
  }

  // A file that could not be read or written because its folder went: the
  // run's failure, said once, not the file's (see finishCommit).
  bool failOrUnreached(qsizetype index, FileOutcome &outcome, const QString &reason) {
    if (goneFolder() == RunSummary::Gone::None || job_.dryRun)
      return fail(index, outcome, reason);
    group_.push_back({index, std::move(outcome), nullptr, std::nullopt, {}, true});
    return true;
  }

  bool fail(qsizetype index, FileOutcome &outcome, const QString &reason) {
    outcome.ok = false;
    outcome.reason = reason;
    decide(index, outcome);
    return true;
  }

  void handle(qsizetype index) {
    FileOutcome outcome;
    outcome.file = job_.files[index];
    try {
      // Out of file handles: the files in hand give theirs back once they
      // are committed, and the file gets one more try.
      if (!handleFile(index, outcome, false)) {
        startCommit();
        finishCommit();
        handleFile(index, outcome, true);
      }
    } catch (const std::bad_alloc &) {
      ResetBuf();
      fail(index, outcome, noMemory());
    } catch (const std::exception &e) {
      ResetBuf();
      fail(index, outcome, QString::fromLocal8Bit(e.what()));
    }
  }

  // False, having decided nothing, when the file needs a file handle that
  // is not free and this is not its last try.
  bool handleFile(qsizetype index, FileOutcome &outcome, bool lastTry) {
    const QString &name = outcome.file;
    const QString inputPath = JoinPath(job_.source, name);
    const bool df = job_.family == Family::DF;
    const auto outName = OutputFileName(name, job_.code);
    if (outName)
      outcome.output = *outName;

    ReadReport report;
    const int status = df ? ReadDFFile(inputPath, &report) : ReadMAFile(inputPath, &report);
    if (status != ReadOk && report.outOfHandles && !lastTry)
      return false;
    if (status != ReadOk)
      return report.size < 0 ? failOrUnreached(index, outcome, report.reason)  // not even opened
                             : fail(index, outcome, report.reason);
    if (!outName)
      return fail(index, outcome, QString::fromLatin1(kNoDotReason));
    if (!folderError_.isEmpty())
      return fail(index, outcome, folderError_);

    if (df) {
      FieldBuffer[1][1] = codeBytes_;
    } else {
      // Short records stay as they are; a file in which no record has the
      // field would come out without its code.
      bool stamped = false;
      for (int r = 1; r <= LineCount; ++r) {
        auto &row = FieldBuffer[static_cast<size_t>(r)];
        row[4] = codeBytes_;
        stamped = stamped || RowFieldCount(row[0]).value_or(0) >= 4;
      }
      if (!stamped)
        return fail(index, outcome, QString::fromLatin1(kNoCodeFieldReason));
    }

    // Never destroy an original this run did not create: another file of
    // the source folder, a file this run wrote or is writing (under the same
    // name, or one that differs only in case: one file on a volume that
    // ignores case), or anything that is not a plain file (a link would be
    // written through).
    const QString folded = outName->toCaseFolded();
    if (claimed_.contains(*outName) || (claimedFolded_.contains(folded) && !startNames_.contains(*outName)))
      return fail(index, outcome, QString::fromLatin1(kDestinationExists));
    std::optional<QString> replaces;
    if (!listed_ || startFolded_.contains(folded)) {
      const Entry target = PathEntry(JoinPath(job_.dest, *outName));
      if (target.kind == EntryKind::Other ||
          (target.kind == EntryKind::Plain && intoSourceFolder_ && target.identity != FileIdentity(inputPath)))
        return fail(index, outcome, QString::fromLatin1(kDestinationExists));
      if (target.kind == EntryKind::Plain)
        replaces = target.identity;
    }
    // A file rewritten onto itself is no earlier output to skip.
    const bool ontoItself = replaces && intoSourceFolder_ && *outName == name;
    if (replaces && !ontoItself && job_.existing == Existing::Skip) {
      outcome.skipped = true;
      return fail(index, outcome, QString::fromLatin1(kDestinationExists));
    }

    std::string bytes;
    QString reason;
    if (!RenderBufferFile(df ? WriteDFField : WriteMAField, report.utf8Bom, bytes, &reason))
      return fail(index, outcome, reason);
    claimed_.insert(*outName);
    claimedFolded_.insert(folded);
    if (job_.dryRun) {
      outcome.ok = true;
      return decide(index, outcome);
    }
    auto file = std::make_unique<StagedFile>(folder_, *outName);
    if (!file->create(&reason)) {
      if (file->outOfHandles() && !lastTry) {
        claimed_.remove(*outName);
        claimedFolded_.remove(folded);
        return false;
      }
      return failOrUnreached(index, outcome, reason);
    }
    if (!file->write(bytes.data(), bytes.size(), &reason))
      return failOrUnreached(index, outcome, reason);
    JournalEntry entry;
    if (journal_) {
      entry = {*outName, qint64(bytes.size()), ContentHash(bytes.data(), bytes.size()), name, report.size,
               report.changed, replaces.has_value(), {}, false, JournalEntry::Placed::Unknown};
    }
    decide(index, outcome, std::move(file), std::move(replaces), std::move(entry));
    return true;
  }

  // A group is committed on a thread of its own while the next one is read
  // and written, so that the disk and the processor work at the same time;
  // at most one group is committed at a time, and its results are told on
  // this thread.
  void startCommit() {
    finishCommit();
    if (group_.empty())
      return;
    committing_.swap(group_);
    threads_.runInBackground([this] { commitOrFail(committing_); });
  }

  void commitOrFail(std::vector<Pending> &group) noexcept {
    try {
      commit(group);
    } catch (const std::exception &e) {
      // Out of memory midway, or a step that threw: a file may be in place
      // and still be told "Faild", never the other way round.
      const QString reason = dynamic_cast<const std::bad_alloc *>(&e) ? noMemory() : QString::fromLocal8Bit(e.what());
      for (Pending &p : group) {
        if (p.file) {
          p.file.reset();
          p.outcome.ok = false;
          p.outcome.reason = reason;
        }
      }
    }
  }

  // Once the journal has begun, nothing goes in place that it does not
  // know: a group it could not take is not put in place, and the run ends.
  bool journalTook(bool written, std::vector<Pending> &group) {
    if (written)
      return true;
    journalFailed_ = true;
    const QString reason = notInJournal();
    for (Pending &p : group) {
      if (p.file) {
        p.file.reset();
        p.outcome.reason = reason;
      }
    }
    return false;
  }

  void finishCommit() {
    threads_.wait();
    for (Pending &p : committing_) {
      // The folder's going is the run's one failure, said once: its files
      // in hand were not reached, as the rest.
      if (p.unreached) {
        --summary_.handled;
        if (summary_.stopReason.isEmpty())
          folderGone();
        continue;
      }
      settle(p.index, p.outcome);
    }
    if (!committing_.empty())
      observer_.groupSettled();
    committing_.clear();
  }

  // Write-back for the whole group first, then one wait per file, then the
  // names, then one folder sync: the disk sees the group at once. Every
  // file is synced before any is named: naming one changes its inode, and
  // on file systems that write inodes in shared blocks that would make the
  // next file's sync write the same block again.
  void commit(std::vector<Pending> &group) {
    // A folder renamed or replaced since gets none of the group: the files
    // would land where the user no longer looks, reported OK.
    if (!folder_.stillAtItsPath()) {
      for (Pending &p : group) {
        if (p.file) {
          p.file.reset();
          p.unreached = true;
        }
      }
      return;
    }
    // Written down before any of the group is put in place. On the volume
    // that is synced as a whole below, that sync takes the journal too.
    const bool journalOnVolume = journal_ && folder_.syncsVolume() && destId_ &&
                                 journal_->volume() == destId_->section(u':', 0, 0);
    if (journal_) {
      std::vector<JournalEntry> entries;
      for (const Pending &p : group)
        if (p.file)
          entries.push_back(p.entry);
      if (!journalTook(!journalFailed_ && journal_->writeAhead(entries, !journalOnVolume), group))
        return;
    }
    std::vector<Pending *> written;
    for (Pending &p : group) {
      if (p.file) {
        p.file->startWriteback();
        written.push_back(&p);
      }
    }
    // One flush of the volume where that writes back and flushes every file
    // (it names no file: on an error, each file is synced on its own so
    // that each failure is told); else every file's sync at once.
    if (written.size() > 1 && folder_.syncVolume()) {
      for (Pending *p : written)
        p->file->syncedWithVolume();
    } else {
      if (journalOnVolume && !journalTook(journal_->sync(), group))
        return;
      threads_.forEach(written.size(), [&written](std::size_t i) {
        QString reason;
        if (!written[i]->file->syncData(&reason))
          written[i]->outcome.reason = reason;
      });
    }
    std::vector<Pending *> installed;
    for (Pending &p : group) {
      if (!p.file || !p.file->synced())
        continue;
      QString reason;
      StagedFile::Replacement replaced;
      if (journal_) {
        // Where the older file goes is written down before it goes; when
        // that fails, it stays, and so does everything after it.
        if (journalFailed_) {
          p.file.reset();
          p.outcome.reason = notInJournal();
          continue;
        }
        replaced.beforeTrash = [this, &p](const QString &trashedAs) {
          journalFailed_ = !journal_->trashing(p.entry.output, trashedAs);
          return !journalFailed_;
        };
      }
      if (p.file->install(&reason, p.replaces ? &*p.replaces : nullptr,
                          job_.existing == Existing::ReplaceToTrash, &replaced)) {
        installed.push_back(&p);
        p.outcome.ok = true;
      } else {
        p.outcome.reason = journalFailed_ ? notInJournal() : reason;
      }
      // Also when the name was taken after the old file left for the trash.
      if (replaced.happened) {
        p.outcome.replaced = replaced.trashedAs.isEmpty() ? Replaced::Gone : Replaced::ToTrash;
        p.outcome.trashedAs = replaced.trashedAs;
      }
      p.entry.replacedGone = p.outcome.replaced == Replaced::Gone;
    }
    QString reason;
    if (!installed.empty() && !folder_.sync(&reason)) {
      for (Pending *p : installed) {
        p->outcome.ok = false;
        p->outcome.reason = reason;
      }
    }
    for (Pending &p : group) {
      if (journal_ && p.file)
        journal_->placed(p.entry, p.outcome.ok);
      p.file.reset();  // a file that did not make it leaves no temporary behind
    }
    if (journal_)
      journal_->groupPlaced();
  }

  const ConversionJob &job_;
  RunObserver &observer_;
  RunJournal *journal_;
  // Set on the committing thread; the journal's reason is read once it is joined.
  std::atomic<bool> journalFailed_{false};
  const std::string codeBytes_;  // the code as it goes into the files
  RunSummary summary_;
  DestinationFolder folder_;
  QString folderError_;
  bool intoSourceFolder_ = false;
  std::optional<QString> sourceId_, destId_;  // the folders as the run found them
  QSet<QString> claimed_;        // output names of this run
  QSet<QString> claimedFolded_;  // the same, case-folded
  bool listed_ = false;          // whether the destination could be listed at the start
  QSet<QString> startNames_;     // its names then
  QSet<QString> startFolded_;    // the same, case-folded
  std::vector<Pending> group_;       // being read and written
  std::vector<Pending> committing_;  // being synced and put in place
  WorkThreads threads_{kSyncThreads};  // last: gone first, with the groups in hand done
  QElapsedTimer groupTimer_;
};

}  // namespace

RunSummary RunJob(const ConversionJob &job, RunObserver &observer, RunJournal *journal) {
  Run run(job, observer, journal);
  return run.goSafely();
}

JournaledJob::JournaledJob(const ConversionJob &job, const QDateTime &started) : job_(job) {
  if (job.dryRun)
    return;
  journal_ = std::make_shared<RunJournal>();
  if (!journal_->begin(job, started, &why_))
    journal_.reset();
}

JournaledJob::~JournaledJob() = default;

RunSummary JournaledJob::run(RunObserver &observer) {
  RunSummary summary = RunJob(job_, observer, journal_.get());
  if (!job_.dryRun && !journal_)
    summary.journalError = JournalFailure(why_);
  return summary;
}

std::optional<QString> JournaledJob::journalProblem() const {
  if (job_.dryRun || journal_)
    return std::nullopt;
  return JournalFailure(why_);
}

QString FolderGoneText(RunSummary::Gone which, const QString &folder) {
  return which == RunSummary::Gone::Source ? QStringLiteral("The source folder %1 is no longer there").arg(folder)
                                           : QStringLiteral("The destination folder %1 is no longer there").arg(folder);
}

std::optional<QString> NewCodeProblem(const QString &code) {
  // A separator would write outside the destination folder; the others
  // cannot be stored in a Windows name.
  static const QString notInNames = QStringLiteral("\\/<>:|?*");
  // Quotes and commas would not survive the next read of the file.
  static const QString notInFiles = QStringLiteral(",\"'");
  bool blank = true;
  for (QChar c : code) {
    if (notInNames.contains(c))
      return QStringLiteral("'%1' cannot be part of a file name").arg(c);
    if (notInFiles.contains(c))
      return QStringLiteral("'%1' cannot be part of a location code").arg(c);
    if (c.category() == QChar::Other_Control)
      return QStringLiteral("a control character cannot be part of a file name");
    blank = blank && (c.isSpace() || c.category() == QChar::Other_Format);
  }
  if (blank)
    return QStringLiteral("the code is only white space");
  // Windows drops these from the end of a name, so that the extension and
  // the code inside the file would differ.
  if (code.startsWith(u' ') || code.endsWith(u' '))
    return QStringLiteral("a code cannot begin or end with a space");
  if (code.endsWith(u'.'))
    return QStringLiteral("a code cannot end with a dot");
  // The code goes into the file in the 8-bit character set and into the
  // name as text: both must say the same, with no character lost or
  // replaced by a look-alike on the way.
  if (QString::fromLocal8Bit(code.toLocal8Bit()) != code)
    return QStringLiteral("the files' character set cannot hold this code");
  return std::nullopt;
}

std::optional<QString> CheckFoldersAndCode(const QString &source, const QString &dest,
                                           const QString &code) {
  if (isBlank(source))
    return QStringLiteral("Source datapath not found!");
  if (isBlank(dest))
    return QStringLiteral("Destination datapath not found!");
  if (isBlank(code))
    return QStringLiteral("No new extension found!");
  if (!IsValidNewCode(code))
    return QStringLiteral("Invalid new extension!");
  return std::nullopt;
}

std::optional<QString> FailureSummary(const RunSummary &summary) {
  if (summary.failed == 0 && summary.skipped == 0 && summary.stopReason.isEmpty())
    return std::nullopt;
  QStringList parts;
  if (!summary.stopReason.isEmpty())
    parts << QStringLiteral("%1; stopped after %2 of %3 files.")
                 .arg(summary.stopReason)
                 .arg(summary.handled)
                 .arg(summary.total);
  if (summary.failed > 0)
    parts << (summary.handled < summary.total && summary.stopReason.isEmpty()
                  ? QStringLiteral("Stopped after %1 of %2 files; %3 failed.")
                        .arg(summary.handled)
                        .arg(summary.total)
                        .arg(summary.failed)
                  : QStringLiteral("%1 of %2 files failed.").arg(summary.failed).arg(summary.total));
  if (summary.skipped > 0)
    parts << QStringLiteral("%1 of %2 files were skipped: they are in the destination folder already.")
                 .arg(summary.skipped)
                 .arg(summary.total);
  QString text = parts.join(u'\n');
  if (summary.failed > 0) {
    text += u'\n';
    for (const QString &line : summary.firstFailures)
      text += u'\n' + line;
    if (summary.failed > summary.firstFailures.size())
      text += QStringLiteral("\n…");
  }
  return text;
}

QStringList ExistingOutputs(const ConversionJob &job) {
  QStringList existing;
  const auto names = ListFolderNames(job.dest);
  if (!names)
    return existing;
  QSet<QString> folded;
  for (const QString &n : *names)
    folded.insert(n.toCaseFolded());
  const bool intoSource = SameFolder(job.source, job.dest);
  for (const QString &file : job.files) {
    const auto out = OutputFileName(file, job.code);
    if (!out || !folded.contains(out->toCaseFolded()))
      continue;
    if (intoSource && *out == file)
      continue;  // rewritten onto itself
    if (PathEntry(JoinPath(job.dest, *out)).kind == EntryKind::Plain)
      existing << *out;
  }
  return existing;
}

}  // namespace rekoda
