#include "conversion/run_engine.h"

#include "buffer/field_buffer.h"
#include "buffer/variable.h"
#include "conversion/name_key.h"
#include "conversion/run_journal.h"
#include "conversion/work_threads.h"
#include "formats/buffer_file.h"
#include "formats/df/df_file.h"
#include "formats/ma/ma_file.h"
#include "platform/durable_file.h"
#include "platform/file_name.h"
#include "platform/file_system.h"

#include <QElapsedTimer>
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

constexpr int kSummaryReasons = 5;
// A group's syncs are waits on the disk, not work for the processor: this
// many at once keep its queue full (more cost their start-up).
constexpr std::size_t kSyncThreads = 7;
// Why a step that threw failed: no memory, or what it said.
Reason thrown(const std::exception &e) {
  return dynamic_cast<const std::bad_alloc *>(&e) ? Reason(Reason::Kind::NoMemory)
                                                  : Reason(Reason::Kind::Unexpected, {QString::fromLocal8Bit(e.what())});
}

// What became of a file that install() failed on: a name taken is the
// run's own refusal; where the old file had gone to the trash, whether it
// is back.
Reason installFailure(const Status &status, const StagedFile::Replacement &replaced) {
  Reason why = status.op() == Status::Op::TargetTaken ? Reason(Reason::Kind::DestinationExists)
                                                      : Reason(Reason::Kind::WriteFailed, status);
  if (replaced.putBack)
    return Reason::About(Reason::Kind::EarlierFileBack, why);
  if (!replaced.putBackFailure.ok())
    return Reason::About(Reason::Kind::EarlierFileInTrash, why, {replaced.trashedAs}, replaced.putBackFailure);
  return why;
}

class Run {
 public:
  Run(const ConversionJob &job, RunObserver &observer, RunJournal *journal)
      : job_(job), observer_(observer), journal_(journal), codeBytes_(job.code.toLocal8Bit().toStdString()) {
    summary_.total = job.files.size();
    if (journal_)
      summary_.runId = journal_->id();
  }

  RunSummary go() {
    if (!prepareDestination())
      return summary_;
    // Never more than a group's worth, so that adding to one cannot fail.
    group_.reserve(kGroupFiles);
    committing_.reserve(kGroupFiles);
    for (qsizetype i = 0; i < job_.files.size(); ++i) {
      if (observer_.stopRequested() || journalFailed_)
        break;
      if (group_.empty())
        groupTimer_.start();
      if (job_.dryRun && (i - dryFirst_ >= qsizetype(dryReads_.size())))
        readAhead(i);
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
    if (journalFailed_ && summary_.stopReason.isNone()) {
      summary_.stopReason = {Reason::Kind::JournalStopped, journal_->failure()};
      summary_.stopReason.n = summary_.placed;
    }
    return summary_;
  }

  // The destination opened, listed once and held, the folders told apart;
  // false when the run cannot hold the folder and ends before any file.
  bool prepareDestination() {
    if (Status opened = folder_.open(job_.dest); !opened.ok()) {
      // A dry run into a folder still to be made (rekoda-cli --mkdir) finds
      // it empty, as the real run will.
      if (!job_.dryRun || FileIdentity(job_.dest)) {
        folderError_ = {Reason::Kind::CannotWriteTo, {job_.dest}};
        folderError_.status = opened;
      }
    }
    // One listing answers "is it there?" for every target: a name that was
    // not there is taken only if it is still free, and needs no look of its
    // own (each is a round trip on FUSE and network volumes). It also tells
    // the clean-up of the temporaries an interrupted run left.
    const auto names = ListFolderNames(job_.dest);
    if (names) {
      listed_ = true;
      for (const QString &name : *names) {
        startNames_.insert(KeyOf(name));
        startFolded_.insert(KeyOf(CaseFoldedFileName(name)));
      }
    }
    if (folder_.isOpen() && !job_.dryRun) {
      if (Status held = folder_.beginRun(names.value_or(QStringList())); !held.ok()) {
        summary_.stopReason = {Reason::Kind::RunCannotBegin, held};
        return false;
      }
    }
    sourceId_ = FileIdentity(job_.source);
    destId_ = FileIdentity(job_.dest);
    intoSourceFolder_ = sourceId_ && sourceId_ == destId_;
    return true;
  }


  // What the run cannot go on from ends it like a vanished folder: with its
  // reason, after the group being put in place is told.
  RunSummary goSafely() {
    try {
      return go();
    } catch (const std::exception &e) {
      summary_.stopReason = thrown(e);
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
    summary_.stopReason = gone == RunSummary::Gone::Source ? Reason(Reason::Kind::SourceGone, {job_.source})
                                                           : Reason(Reason::Kind::DestinationGone, {job_.dest});
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
    bool inPlace = false;             // it took its name, whatever a later sync says
  };

  void settle(qsizetype index, FileOutcome &outcome) {
    if (outcome.skipped) {
      ++summary_.skipped;
    } else if (!outcome.ok) {
      ++summary_.failed;
      if (summary_.firstFailures.size() < kSummaryReasons)
        summary_.firstFailures.append({outcome.file, outcome.reason});
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
  bool failOrUnreached(qsizetype index, FileOutcome &outcome, const Reason &reason) {
    if (goneFolder() == RunSummary::Gone::None || job_.dryRun)
      return fail(index, outcome, reason);
    group_.push_back({index, std::move(outcome), nullptr, std::nullopt, {}, true});
    return true;
  }

  bool fail(qsizetype index, FileOutcome &outcome, const Reason &reason) {
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
      const FileRead *ahead = job_.dryRun ? &dryReads_[size_t(index - dryFirst_)] : nullptr;
      if (!handleFile(index, outcome, false, ahead)) {
        startCommit();
        finishCommit();
        handleFile(index, outcome, true);
      }
    } catch (const std::exception &e) {
      ResetBuf();
      fail(index, outcome, thrown(e));
    }
  }

  // The new code into the file read; false for an MA file in which no
  // record has the field (it would come out without its code). Short
  // records stay as they are.
  bool stampCode(bool df) const {
    if (df) {
      FieldBuffer[1][1] = codeBytes_;
      return true;
    }
    bool stamped = false;
    for (int r = 1; r <= LineCount; ++r) {
      auto &row = FieldBuffer[static_cast<size_t>(r)];
      row[4] = codeBytes_;
      stamped = stamped || RowFieldCount(row[0]).value_or(0) >= 4;
    }
    return stamped;
  }

  // Never destroy an original this run did not create: another file of
  // the source folder, a file this run wrote or is writing (under the same
  // name, or one that differs only in case: one file on a volume that
  // ignores case), or anything that is not a plain file (a link would be
  // written through). True when the output may take the name; replaces is
  // then the identity of the file it would replace, if any.
  bool targetFree(const QString &inputPath, const QString &outName, NameKey exact, NameKey folded,
                  std::optional<QString> &replaces) const {
    if (claimed_.contains(exact) || (claimedFolded_.contains(folded) && !startNames_.contains(exact)))
      return false;
    if (listed_ && !startFolded_.contains(folded))
      return true;
    const Entry target = PathEntry(JoinPath(job_.dest, outName));
    if (target.kind == EntryKind::Other ||
        (target.kind == EntryKind::Plain && intoSourceFolder_ && target.identity != FileIdentity(inputPath)))
      return false;
    if (target.kind == EntryKind::Plain)
      replaces = target.identity;
    return true;
  }

  // What reading a file tells: whether it reads and takes the code, and its
  // bytes as they would be written.
  struct FileRead {
    int status = ReadOk;
    ReadReport report;
    bool stamped = true;
    std::string bytes;
    Reason renderFailure, thrown;
  };

  // Read, stamped and rendered, on whichever thread calls it: each thread
  // has its own buffers.
  void readFile(const QString &path, FileRead &r) const {
    const bool df = job_.family == Family::DF;
    r.status = df ? ReadDFFile(path, &r.report) : ReadMAFile(path, &r.report);
    if (r.status != ReadOk)
      return;
    r.stamped = stampCode(df);
    if (r.stamped)
      r.renderFailure = RenderBufferFile(df ? WriteDFField : WriteMAField, r.report.utf8Bom, r.bytes);
  }

  // A dry run reads a group ahead on the pool's threads, so that the
  // processor's share of it (reading, splitting, rendering) is spread over
  // its cores; it decides on them in order, as a run does.
  void readAhead(qsizetype first) {
    dryFirst_ = first;
    const auto count = std::min<qsizetype>(kGroupFiles, job_.files.size() - first);
    dryReads_.assign(size_t(count), FileRead{});
    threads_.forEach(size_t(count), [this, first](std::size_t k) {
      FileRead &r = dryReads_[k];
      try {
        readFile(JoinPath(job_.source, job_.files[first + qsizetype(k)]), r);
        r.bytes = {};  // a dry run writes nothing
      } catch (const std::exception &e) {
        r.thrown = thrown(e);
      }
    });
  }

  // False, having decided nothing, when the file needs a file handle that
  // is not free and this is not its last try. ahead: the file read already
  // (a dry run's); else it is read here.
  bool handleFile(qsizetype index, FileOutcome &outcome, bool lastTry, const FileRead *ahead = nullptr) {
    const QString &name = outcome.file;
    const auto outName = OutputFileName(name, job_.code);
    if (outName)
      outcome.output = *outName;
    const QString inputPath = JoinPath(job_.source, name);
    FileRead own;
    if (!ahead)
      readFile(inputPath, own);
    const FileRead &r = ahead ? *ahead : own;
    if (!r.thrown.isNone())
      return fail(index, outcome, r.thrown);
    if (r.status != ReadOk && r.report.outOfHandles && !lastTry)
      return false;
    if (r.status != ReadOk)
      return r.report.size < 0 ? failOrUnreached(index, outcome, r.report.reason)  // not even opened
                               : fail(index, outcome, r.report.reason);
    if (!outName)
      return fail(index, outcome, Reason::Kind::NoDot);
    if (!folderError_.isNone())
      return fail(index, outcome, folderError_);
    if (!r.stamped)
      return fail(index, outcome, Reason::Kind::NoCodeField);
    const NameKey exact = KeyOf(*outName), folded = KeyOf(CaseFoldedFileName(*outName));
    std::optional<QString> replaces;
    if (!targetFree(inputPath, *outName, exact, folded, replaces))
      return fail(index, outcome, Reason::Kind::DestinationExists);
    // A file rewritten onto itself is no earlier output to skip.
    const bool ontoItself = replaces && intoSourceFolder_ && *outName == name;
    if (replaces && !ontoItself && job_.existing == Existing::Skip) {
      outcome.skipped = true;
      return fail(index, outcome, Reason::Kind::DestinationExists);
    }
    if (!r.renderFailure.isNone())
      return fail(index, outcome, r.renderFailure);
    claimed_.insert(exact);
    claimedFolded_.insert(folded);
    if (job_.dryRun) {
      outcome.ok = true;
      return decide(index, outcome);
    }
    if (writeOut(index, outcome, r, *outName, std::move(replaces), lastTry))
      return true;
    claimed_.remove(exact);
    claimedFolded_.remove(folded);
    return false;
  }

  // The rendered file written under a temporary name; false as handleFile
  // says.
  bool writeOut(qsizetype index, FileOutcome &outcome, const FileRead &r, const QString &outName,
                std::optional<QString> replaces, bool lastTry) {
    auto file = std::make_unique<StagedFile>(folder_, outName);
    if (Status created = file->create(); !created.ok()) {
      if (file->outOfHandles() && !lastTry)
        return false;
      return failOrUnreached(index, outcome, {Reason::Kind::WriteFailed, created});
    }
    if (Status written = file->write(r.bytes.data(), r.bytes.size()); !written.ok())
      return failOrUnreached(index, outcome, {Reason::Kind::WriteFailed, written});
    JournalEntry entry;
    if (journal_) {
      entry.output = outName;
      entry.size = qint64(r.bytes.size());
      entry.hash = ContentHash(r.bytes.data(), r.bytes.size());
      entry.identity = file->identity();
      entry.source = outcome.file;
      entry.index = index;
      entry.sourceSize = r.report.size;
      entry.sourceChanged = r.report.changed;
      entry.replaces = replaces.has_value();
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
      const Reason reason = thrown(e);
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
    const Reason reason = Reason::Kind::NotInJournal;
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
        if (summary_.stopReason.isNone())
          folderGone();
        continue;
      }
      summary_.placed += p.inPlace;
      settle(p.index, p.outcome);
      if (journal_ && !p.outcome.ok)
        journal_->failed(p.index, p.outcome);
    }
    if (!committing_.empty())
      observer_.groupSettled();
    committing_.clear();
  }

  // Write-back for the whole group first, then one wait per file, then the
  // names, then one folder sync: the disk sees the group at once. Every
  // file is synced before any is named: naming one changes its inode, and
  // on file systems that write inodes in shared blocks that would make the
  // next file's sync write the same block again. The steps: journal, sync,
  // install, folder sync, as the diagram above StagedFile draws them.
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
    // On the volume that is synced as a whole below, that sync takes the
    // journal too.
    const bool journalOnVolume = journal_ && folder_.syncsVolume() && destId_ &&
                                 journal_->volume() == destId_->section(u':', 0, 0);
    if (!journalAhead(group, journalOnVolume) || !syncGroup(group, journalOnVolume))
      return;
    const std::vector<Pending *> installed = installGroup(group);
    if (Status synced = installed.empty() ? Status() : folder_.sync(); !synced.ok()) {
      // Each is whole under its name, old or new, but not known to stay so
      // after a power cut: Faild, and in the journal as in place, so that an
      // undo takes it.
      for (Pending *p : installed) {
        p->outcome.ok = false;
        p->outcome.reason = {Reason::Kind::FolderNotSynced, synced};
      }
    }
    for (Pending &p : group) {
      if (journal_ && p.file)
        journal_->placed(p.entry, p.inPlace);
      p.file.reset();  // a file that did not make it leaves no temporary behind
    }
    if (journal_)
      journal_->groupPlaced();
  }

  // Written down before any of the group is put in place; false when the
  // journal failed and the group goes no further.
  bool journalAhead(std::vector<Pending> &group, bool journalOnVolume) {
    if (!journal_)
      return true;
    std::vector<JournalEntry> entries;
    for (const Pending &p : group)
      if (p.file)
        entries.push_back(p.entry);
    return journalTook(!journalFailed_ && journal_->writeAhead(entries, !journalOnVolume), group);
  }

  // Every file of the group on the disk under its temporary name.
  bool syncGroup(std::vector<Pending> &group, bool journalOnVolume) {
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
      return true;
    }
    if (journalOnVolume && !journalTook(journal_->sync(), group))
      return false;
    threads_.forEach(written.size(), [&written](std::size_t i) {
      if (Status synced = written[i]->file->syncData(); !synced.ok())
        written[i]->outcome.reason = {Reason::Kind::WriteFailed, synced};
    });
    return true;
  }

  // The synced files under their names; the ones that made it.
  std::vector<Pending *> installGroup(std::vector<Pending> &group) {
    std::vector<Pending *> installed;
    for (Pending &p : group) {
      if (!p.file || !p.file->synced())
        continue;
      StagedFile::Replacement replaced;
      if (journal_) {
        // Where the older file goes is written down before it goes; when
        // that fails, it stays, and so does everything after it.
        if (journalFailed_) {
          p.file.reset();
          p.outcome.reason = Reason::Kind::NotInJournal;
          continue;
        }
        replaced.beforeTrash = [this, &p](const QString &trashedAs) {
          journalFailed_ = !journal_->trashing(p.entry.output, trashedAs);
          return !journalFailed_;
        };
      }
      Status put =
          p.file->install(p.replaces ? &*p.replaces : nullptr, job_.existing == Existing::ReplaceToTrash, &replaced);
      if (put.ok()) {
        installed.push_back(&p);
        p.outcome.ok = p.inPlace = true;
      } else {
        p.outcome.reason = journalFailed_ ? Reason(Reason::Kind::NotInJournal) : installFailure(put, replaced);
      }
      // Also when the name was taken after the old file left for the trash.
      if (replaced.happened) {
        p.outcome.replaced = replaced.trashedAs.isEmpty() ? Replaced::Gone : Replaced::ToTrash;
        p.outcome.trashedAs = replaced.trashedAs;
      }
      p.entry.replacedGone = p.outcome.replaced == Replaced::Gone;
    }
    return installed;
  }

  const ConversionJob &job_;
  RunObserver &observer_;
  RunJournal *journal_;
  // Set on the committing thread; the journal's reason is read once it is joined.
  std::atomic<bool> journalFailed_{false};
  const std::string codeBytes_;  // the code as it goes into the files
  RunSummary summary_;
  DestinationFolder folder_;
  Reason folderError_;
  bool intoSourceFolder_ = false;
  std::optional<QString> sourceId_, destId_;  // the folders as the run found them
  // Names as keys (see NameKey): a run of 100,000 files keeps four such sets.
  QSet<NameKey> claimed_;        // output names of this run
  QSet<NameKey> claimedFolded_;  // the same, case-folded
  bool listed_ = false;          // whether the destination could be listed at the start
  QSet<NameKey> startNames_;     // its names then
  QSet<NameKey> startFolded_;    // the same, case-folded
  std::vector<Pending> group_;       // being read and written
  std::vector<FileRead> dryReads_;   // a dry run's files read ahead, from dryFirst_
  qsizetype dryFirst_ = 0;
  std::vector<Pending> committing_;  // being synced and put in place
  WorkThreads threads_{kSyncThreads};  // last: gone first, with the groups in hand done
  QElapsedTimer groupTimer_;
};

}  // namespace

RunSummary RunJob(const ConversionJob &job, RunObserver &observer, RunJournal *journal) {
  Run run(job, observer, journal);
  return run.goSafely();
}

}  // namespace rekoda
