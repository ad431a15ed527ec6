#include "conversion/run_journal.h"

#include "conversion/reason_json.h"
#include "platform/file_name.h"
#include "platform/file_system.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <algorithm>
#include <map>

namespace rekoda {

namespace {

const QString kSuffix = QStringLiteral(".journal");

// The journals' names, oldest first: by the second the run began, then by
// the number a later run of that second got ("…-1" after the plain name,
// "…-10" after "…-9"), which the names' own order does not give.
QStringList journalNames(const QString &folder) {
  QStringList names = ListFolderNames(folder).value_or(QStringList());
  names.removeIf([](const QString &name) { return !name.endsWith(kSuffix) || name.startsWith(u'.'); });
  const auto key = [](const QString &name) {
    const QString id = name.chopped(kSuffix.size());
    constexpr qsizetype kStem = 15;  // yyyyMMdd-HHmmss
    return std::pair{id.left(kStem), id.size() > kStem ? id.mid(kStem + 1).toInt() : 0};
  };
  std::stable_sort(names.begin(), names.end(), [&](const QString &a, const QString &b) { return key(a) < key(b); });
  return names;
}

QByteArray line(const QJsonObject &o) { return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n'; }

// A name or path under key: readable text, and where that would not give
// back its bytes (a name that is not UTF-8), the bytes in base64 beside it
// under key + "_bytes".
void putName(QJsonObject &o, const QString &key, const QString &name) {
  const QByteArray bytes = EncodeFileName(name);
  o.insert(key, DisplayFileName(name));
  if (bytes != name.toUtf8())
    o.insert(key + QStringLiteral("_bytes"), QString::fromLatin1(bytes.toBase64()));
}

QString nameOf(const QJsonObject &o, const QString &key) {
  const QJsonValue bytes = o.value(key + QStringLiteral("_bytes"));
  if (bytes.isString())
    return DecodeFileName(QByteArray::fromBase64(bytes.toString().toLatin1()));
  return o.value(key).toString();
}

QJsonObject named(std::initializer_list<std::pair<QString, QString>> names, QJsonObject o = {}) {
  for (const auto &[key, name] : names)
    putName(o, key, name);
  return o;
}

QString familyName(Family f) { return f == Family::MA ? QStringLiteral("MA") : QStringLiteral("DF"); }

// The line that opens a journal: what the run was.
void readRunLine(const QJsonObject &o, JournaledRun &run) {
  run.id = o["run"].toString();
  run.time = QDateTime::fromString(o["time"].toString(), Qt::ISODateWithMs);
  run.version = o["version"].toString();
  run.source = nameOf(o, "source");
  run.dest = nameOf(o, "dest");
  run.destIdentity = o["destId"].toString();
  run.code = o["code"].toString();
  run.family = o["family"].toString() == "MA" ? Family::MA : Family::DF;
  run.files = o["files"].toInteger();
}

// A file's line, written ahead of putting it in place.
JournalEntry entryOf(const QJsonObject &o) {
  JournalEntry e;
  e.output = nameOf(o, "out");
  e.size = o["size"].toInteger();
  e.hash = o["sha1"].toString().toLatin1();
  e.identity = o["id"].toString();
  e.source = nameOf(o, "src");
  e.index = o["i"].toInteger(-1);
  e.sourceSize = o["srcSize"].toInteger(-1);
  e.sourceChanged = o["srcChanged"].toString().toLongLong();
  e.replaces = o["replaces"].toBool();
  return e;
}

const char *const kUndoneAs[] = {"removed", "restored", "absent", "kept"};

// A journal read from its start, a line at a time: what it says of the run,
// and each file once everything about it has been read. A file's lines (its
// entry, where its replaced file went, whether it took its name) come
// within its group, so only the groups in hand are held, whatever the size
// of the run.
class JournalScan {
 public:
  JournalScan(JournaledRun &run, std::function<void(qint64, const JournalEntry &)> each)
      : run_(run), each_(std::move(each)) {}

  Status read(const QString &path) {
    run_.path = path;
    Status read = ForEachLine(path, [this](const QByteArray &text, bool last) {
      if (last) {
        run_.lastLineCut = true;  // cut short by a crash or a full disk
        return true;
      }
      if (text.size() > kMaxLineBytes)
        return true;  // no line of ours: passed over
      take(QJsonDocument::fromJson(text).object());
      return true;
    });
    // Files whose fate the journal does not tell (a run killed, a journal
    // that failed), in the order they were written.
    std::vector<std::pair<qint64, JournalEntry>> rest;
    for (auto it = pending_.begin(); it != pending_.end(); ++it)
      rest.push_back(std::move(it->second));
    std::sort(rest.begin(), rest.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[index, entry] : rest)
      each_(index, entry);
    // A file without a run line is no journal of ours.
    return read.ok() && !started_ ? Status::Failed(Status::Op::Read, EINVAL, path) : read;
  }
  bool sawUndo() const { return sawUndo_; }
  QSet<NameKey> &settled() { return settled_; }
  // Each file that failed, as its line says it.
  void onFailed(std::function<void(qint64, FileOutcome)> each) { failed_ = std::move(each); }

 private:
  static constexpr qsizetype kMaxLineBytes = qsizetype{1024} * 1024;

  void take(const QJsonObject &o) {
    if (o.isEmpty())
      return;  // damaged: passed over
    if (o.contains("run")) {
      readRunLine(o, run_);
      started_ = true;
    } else if (o.contains("out")) {
      JournalEntry e = entryOf(o);
      const QString output = e.output;
      pending_.insert_or_assign(output, std::pair{run_.entries++, std::move(e)});
    } else if (o.contains("trashing")) {
      if (const auto it = pending_.find(nameOf(o, "trashing")); it != pending_.end())
        it->second.second.trashedAs = nameOf(o, "to");
    } else if (o.contains("placed")) {
      if (const auto it = pending_.find(nameOf(o, "placed")); it != pending_.end()) {
        JournalEntry &e = it->second.second;
        e.placed = o["ok"].toBool() ? JournalEntry::Placed::Yes : JournalEntry::Placed::No;
        e.replacedGone = o["gone"].toBool();
        each_(it->second.first, e);
        pending_.erase(it);
      }
    } else if (o.contains("failed")) {
      if (failed_) {
        FileOutcome f;
        f.file = nameOf(o, "failed");
        f.reason = ReasonFromJson(o["why"].toObject(), run_.version == QLatin1String(REKODA_VERSION));
        f.skipped = o["skipped"].toBool();
        failed_(o["i"].toInteger(-1), std::move(f));
      }
    } else if (o.contains("undid")) {
      settled_.insert(KeyOf(nameOf(o, "undid")));
    } else if (o.contains("undoing")) {
      sawUndo_ = true;
    } else if (o.contains("end")) {
      run_.ended = true;
    } else if (o.contains("undone")) {
      run_.undone = true;
    }
  }

 private:
  JournaledRun &run_;
  QSet<NameKey> settled_;
  std::function<void(qint64, const JournalEntry &)> each_;
  std::function<void(qint64, FileOutcome)> failed_;
  std::map<QString, std::pair<qint64, JournalEntry>> pending_;
  bool started_ = false;
  bool sawUndo_ = false;
};

// Whether a file the journal does not say the fate of took its name: the
// folder shows it, by the identity the file was written with.
bool foundInPlace(const JournaledRun &run, const JournalEntry &e) {
  if (e.identity.isEmpty())
    return true;  // an older journal: as far as it knows
  const Entry at = PathEntry(JoinPath(run.dest, e.output));
  return at.kind == EntryKind::Plain && at.identity == e.identity;
}

std::optional<JournaledRun> readJournal(const QString &path, bool keepSettled = false) {
  JournaledRun run;
  JournalScan scan(run, [&run](qint64, const JournalEntry &e) {
    if (e.placed == JournalEntry::Placed::Yes ||
        (e.placed == JournalEntry::Placed::Unknown && foundInPlace(run, e)))
      ++run.placedFiles;
  });
  if (!scan.read(path).ok())
    return std::nullopt;
  run.settled = scan.settled().size();
  if (keepSettled)
    run.settledOutputs = std::make_shared<const QSet<NameKey>>(std::move(scan.settled()));
  // Held: by its run until its end, after that only by an undo.
  if (HeldByWriter(path)) {
    run.undoing = scan.sawUndo() || run.ended;
    run.going = !run.undoing;
  }
  return run;
}

}  // namespace

JournaledRun::State JournaledRun::state() const {
  if (going)
    return State::Going;
  if (undoing)
    return State::BeingUndone;
  if (undone)
    return State::Undone;
  return settled > 0 ? State::PartlyUndone : State::NotUndone;
}

QString RunJournal::folder() {
  // In the system's own spelling: it is named in messages.
  return QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                                  QStringLiteral("/runs"));
}

QByteArray ContentHash(const char *data, std::size_t size) {
  return QCryptographicHash::hash(QByteArrayView(data, qsizetype(size)), QCryptographicHash::Sha1).toHex();
}

Status RunJournal::begin(const ConversionJob &job, const QDateTime &time) {
  const QString dir = folder();
  if (!QDir().mkpath(dir))
    return Status::Failed(Status::Op::MakeFolder, 0, dir);
  // The oldest go, so that with this one kKeptRuns are kept; never one of
  // a run still going.
  QStringList old = journalNames(dir);
  for (qsizetype i = 0; i < old.size() && old.size() - i >= kKeptRuns; ++i)
    if (const QString path = JoinPath(dir, old[i]); !HeldByWriter(path))
      RemoveFile(path);
  const QString stem = time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
  Status created;
  for (int n = 0; n < 100 && !file_.isOpen(); ++n) {
    id_ = n == 0 ? stem : QStringLiteral("%1-%2").arg(stem).arg(n);
    created = file_.create(JoinPath(dir, id_ + kSuffix));
    if (!created.ok() && !created.nameTaken())
      break;  // else a run of the same second: the next name
  }
  if (!file_.isOpen())
    return created;
  volume_ = FileIdentity(dir).value_or(QString()).section(u':', 0, 0);
  // Folders as absolute paths: an undo may come from another folder.
  const QJsonObject o = named({{"source", AbsolutePath(job.source)}, {"dest", AbsolutePath(job.dest)}},
                              {{"run", id_},
                               {"version", QStringLiteral(REKODA_VERSION)},
                               {"time", time.toString(Qt::ISODateWithMs)},
                               {"family", familyName(job.family)},
                               {"code", job.code},
                               {"files", job.files.size()},
                               {"destId", FileIdentity(job.dest).value_or(QString())}});
  Status written = append(line(o), true);
  if (written.ok())
    written = SyncFolder(dir);
  if (!written.ok()) {
    // Not a journal any run could be undone from.
    file_.close();
    RemoveFile(JoinPath(dir, id_ + kSuffix));
  }
  return written;
}

Status RunJournal::append(const QByteArray &lines, bool sync) {
  Status why = failure_;
  if (why.ok() && !file_.isOpen())
    why = Status::Failed(Status::Op::Closed);
  if (why.ok() && (why = file_.append(lines, sync)).ok())
    return {};
  // No more: a journal with a hole would undo wrongly.
  file_.close();
  if (failure_.ok())
    failure_ = why;
  return why;
}

bool RunJournal::sync() { return append({}, true).ok(); }

bool RunJournal::writeAhead(const std::vector<JournalEntry> &group, bool sync) {
  QByteArray lines;
  for (const JournalEntry &e : group)
    lines += line(named({{"out", e.output}, {"src", e.source}},
                        {{"i", e.index},
                         {"size", e.size},
                         {"sha1", QString::fromLatin1(e.hash)},
                         {"id", e.identity},
                         {"srcSize", e.sourceSize},
                         {"srcChanged", QString::number(e.sourceChanged)},
                         {"replaces", e.replaces}}));
  return append(lines, sync).ok();
}

bool RunJournal::trashing(const QString &output, const QString &trashedAs) {
  return append(line(named({{"trashing", output}, {"to", trashedAs}})), true).ok();
}

void RunJournal::placed(const JournalEntry &entry, bool inPlace) {
  // Not synced: the next group's entries, or the end, take it to the disk,
  // and without it an undo looks at the files themselves.
  placed_ += line(named({{"placed", entry.output}}, {{"ok", inPlace}, {"gone", entry.replacedGone}}));
}

void RunJournal::groupPlaced() {
  if (!placed_.isEmpty())
    append(placed_, false);
  placed_.clear();
}

void RunJournal::failed(qint64 index, const FileOutcome &outcome) {
  placed_ += line(named({{"failed", outcome.file}},
                        {{"i", index}, {"why", ReasonToJson(outcome.reason)}, {"skipped", outcome.skipped}}));
}

void RunJournal::end() {
  append(placed_ + line({{"end", true}}), true);
  placed_.clear();
  file_.close();
}

std::vector<JournaledRun> ListRuns() {
  std::vector<JournaledRun> runs;
  const QString dir = RunJournal::folder();
  QStringList names = journalNames(dir);
  std::reverse(names.begin(), names.end());
  for (const QString &name : names)
    if (auto run = readJournal(JoinPath(dir, name)))
      runs.push_back(std::move(*run));
  return runs;
}

std::optional<JournaledRun> LoadRun(const QString &id, bool keepSettled) {
  if (id.isEmpty() || id.contains(u'/') || id.contains(u'\\') || id.startsWith(u'.'))
    return std::nullopt;
  return readJournal(JoinPath(RunJournal::folder(), id + kSuffix), keepSettled);
}

std::optional<JournaledRun> LastRunToUndo() {
  const QString dir = RunJournal::folder();
  const QStringList names = journalNames(dir);
  // Newest first, and read no further than needed.
  for (auto it = names.crbegin(); it != names.crend(); ++it)
    if (auto run = readJournal(JoinPath(dir, *it)); run && run->state() != JournaledRun::State::Undone)
      return run;
  return std::nullopt;
}

bool ForEachEntry(const JournaledRun &run, const std::function<void(qint64, const JournalEntry &)> &each,
                  Status *status) {
  JournaledRun again;
  Status read = JournalScan(again, each).read(run.path);
  if (status)
    *status = read;
  return read.ok();
}

bool ForEachOutcome(const JournaledRun &run, const std::function<void(const FileOutcome &)> &each, Status *status) {
  std::vector<std::pair<qint64, FileOutcome>> outcomes;  // by the file's place in the job
  QHash<QString, size_t> at;                               // by file
  const auto take = [&](qint64 index, FileOutcome f, bool over) {
    if (const auto it = at.constFind(f.file); it != at.constEnd()) {
      if (over) {  // where its entry said the file it replaced went stays
        FileOutcome &was = outcomes[*it].second;
        f.output = was.output;
        f.replaced = was.replaced;
        f.trashedAs = was.trashedAs;
        was = std::move(f);
      }
      return;
    }
    at.insert(f.file, outcomes.size());
    outcomes.emplace_back(index, std::move(f));
  };
  JournaledRun again;
  JournalScan scan(again, [&](qint64, const JournalEntry &e) {
    FileOutcome f;
    f.file = e.source;
    f.output = e.output;
    f.ok = e.placed == JournalEntry::Placed::Yes || (e.placed == JournalEntry::Placed::Unknown && foundInPlace(run, e));
    f.replaced = !e.trashedAs.isEmpty() ? Replaced::ToTrash : e.replacedGone ? Replaced::Gone : Replaced::No;
    f.trashedAs = e.trashedAs;
    take(e.index, std::move(f), false);
  });
  // A file's failure is written after its entry: it holds.
  scan.onFailed([&](qint64 index, FileOutcome f) { take(index, std::move(f), true); });
  Status read = scan.read(run.path);
  if (status)
    *status = read;
  if (!read.ok())
    return false;
  // A group's failures come after its files in place: the job's order again.
  std::stable_sort(outcomes.begin(), outcomes.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
  for (const auto &[index, f] : outcomes)
    each(f);
  return true;
}

UndoJournal::Hold UndoJournal::hold(JournaledRun &run, Status *status) {
  bool held = false;
  if (Status opened = file_.openHeld(run.path, &held); !opened.ok()) {
    *status = opened;
    if (!held)
      return Hold::Failed;
    const auto now = readJournal(run.path);
    return now && now->undoing ? Hold::HeldByUndo : Hold::HeldByRun;
  }
  // What an undo that held it before did counts: read again, held.
  auto now = readJournal(run.path, true);
  if (!now) {
    *status = Status::Failed(Status::Op::Read, EIO, run.path);
    return Hold::Failed;
  }
  run = std::move(*now);
  run.going = run.undoing = false;  // it is this undo that holds it
  lastLineCut_ = run.lastLineCut;
  return Hold::Held;
}

Status UndoJournal::append(const QByteArray &lines) {
  // On a line of its own, after a line a full disk cut short too.
  const QByteArray start = lastLineCut_ ? QByteArray("\n") : QByteArray();
  if (Status written = file_.append(start + lines, true); !written.ok())
    return written;
  lastLineCut_ = false;
  return {};
}

Status UndoJournal::begin() {
  return append(line({{"undoing", QDateTime::currentDateTime().toString(Qt::ISODate)}}));
}

Status UndoJournal::settled(const std::vector<std::pair<QString, UndoneAs>> &outputs) {
  QByteArray lines;
  for (const auto &[output, how] : outputs)
    lines += line(named({{"undid", output}}, {{"how", QLatin1String(kUndoneAs[int(how)])}}));
  return lines.isEmpty() ? Status() : append(lines);
}

Status UndoJournal::markUndone() {
  return append(line({{"undone", QDateTime::currentDateTime().toString(Qt::ISODate)}}));
}

}  // namespace rekoda
