#include "conversion/run_journal.h"

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

  bool read(const QString &path, QString *error) {
    run_.path = path;
    const bool read = ForEachLine(path, [this](const QByteArray &text, bool last) {
      if (last) {
        run_.lastLineCut = true;  // cut short by a crash or a full disk
        return true;
      }
      if (text.size() > kMaxLineBytes)
        return true;  // no line of ours: passed over
      take(QJsonDocument::fromJson(text).object());
      return true;
    }, error);
    // Files whose fate the journal does not tell (a run killed, a journal
    // that failed), in the order they were written.
    std::vector<std::pair<qint64, JournalEntry>> rest;
    for (auto it = pending_.begin(); it != pending_.end(); ++it)
      rest.push_back(std::move(it->second));
    std::sort(rest.begin(), rest.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[index, entry] : rest)
      each_(index, entry);
    return read && started_;
  }
  bool sawUndo() const { return sawUndo_; }
  QSet<NameKey> &settled() { return settled_; }

 private:
  static constexpr qsizetype kMaxLineBytes = 1024 * 1024;

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
  if (!scan.read(path, nullptr))
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

bool RunJournal::begin(const ConversionJob &job, const QDateTime &time, QString *error) {
  const QString dir = folder();
  if (!QDir().mkpath(dir)) {
    *error = QStringLiteral("cannot make the folder %1").arg(dir);
    return false;
  }
  // The oldest go, so that with this one kKeptRuns are kept; never one of
  // a run still going.
  QStringList old = journalNames(dir);
  for (qsizetype i = 0; i < old.size() && old.size() - i >= kKeptRuns; ++i)
    if (const QString path = JoinPath(dir, old[i]); !HeldByWriter(path))
      RemoveFile(path, nullptr);
  const QString stem = time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
  for (int n = 0; n < 100 && !file_.isOpen(); ++n) {
    id_ = n == 0 ? stem : QStringLiteral("%1-%2").arg(stem).arg(n);
    const QString path = JoinPath(dir, id_ + kSuffix);
    if (!file_.create(path, error) && QFileInfo::exists(path))
      continue;  // a run of the same second: the next name
    break;
  }
  if (!file_.isOpen())
    return false;
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
  QString why;
  if (!append(line(o), true, &why) || !SyncFolder(dir, &why)) {
    // Not a journal any run could be undone from.
    *error = why;
    file_.close();
    RemoveFile(JoinPath(dir, id_ + kSuffix), nullptr);
    return false;
  }
  return true;
}

bool RunJournal::append(const QByteArray &lines, bool sync, QString *error) {
  QString why = failure_;
  if (why.isEmpty() && !file_.isOpen())
    why = QStringLiteral("it is closed");
  if (why.isEmpty() && file_.append(lines, sync, &why))
    return true;
  // No more: a journal with a hole would undo wrongly.
  file_.close();
  if (failure_.isEmpty())
    failure_ = why;
  if (error)
    *error = why;
  return false;
}

bool RunJournal::sync() { return append({}, true, nullptr); }

bool RunJournal::writeAhead(const std::vector<JournalEntry> &group, bool sync) {
  QByteArray lines;
  for (const JournalEntry &e : group)
    lines += line(named({{"out", e.output}, {"src", e.source}},
                        {{"size", e.size},
                         {"sha1", QString::fromLatin1(e.hash)},
                         {"id", e.identity},
                         {"srcSize", e.sourceSize},
                         {"srcChanged", QString::number(e.sourceChanged)},
                         {"replaces", e.replaces}}));
  return append(lines, sync, nullptr);
}

bool RunJournal::trashing(const QString &output, const QString &trashedAs) {
  return append(line(named({{"trashing", output}, {"to", trashedAs}})), true, nullptr);
}

void RunJournal::placed(const JournalEntry &entry, bool inPlace) {
  // Not synced: the next group's entries, or the end, take it to the disk,
  // and without it an undo looks at the files themselves.
  placed_ += line(named({{"placed", entry.output}}, {{"ok", inPlace}, {"gone", entry.replacedGone}}));
}

void RunJournal::groupPlaced() {
  if (!placed_.isEmpty())
    append(placed_, false, nullptr);
  placed_.clear();
}

void RunJournal::end() {
  append(line({{"end", true}}), true, nullptr);
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
                  QString *error) {
  JournaledRun again;
  return JournalScan(again, each).read(run.path, error);
}

UndoJournal::Hold UndoJournal::hold(JournaledRun &run, QString *error) {
  bool held = false;
  if (!file_.openHeld(run.path, error, &held)) {
    if (!held)
      return Hold::Failed;
    const auto now = readJournal(run.path);
    return now && now->undoing ? Hold::HeldByUndo : Hold::HeldByRun;
  }
  // What an undo that held it before did counts: read again, held.
  auto now = readJournal(run.path, true);
  if (!now) {
    if (error)
      *error = QStringLiteral("it cannot be read");
    return Hold::Failed;
  }
  run = std::move(*now);
  run.going = run.undoing = false;  // it is this undo that holds it
  lastLineCut_ = run.lastLineCut;
  return Hold::Held;
}

bool UndoJournal::append(const QByteArray &lines, QString *error) {
  // On a line of its own, after a line a full disk cut short too.
  const QByteArray start = lastLineCut_ ? QByteArray("\n") : QByteArray();
  if (!file_.append(start + lines, true, error))
    return false;
  lastLineCut_ = false;
  return true;
}

bool UndoJournal::begin(QString *error) {
  return append(line({{"undoing", QDateTime::currentDateTime().toString(Qt::ISODate)}}), error);
}

bool UndoJournal::settled(const std::vector<std::pair<QString, UndoneAs>> &outputs, QString *error) {
  QByteArray lines;
  for (const auto &[output, how] : outputs)
    lines += line(named({{"undid", output}}, {{"how", QLatin1String(kUndoneAs[int(how)])}}));
  return lines.isEmpty() || append(lines, error);
}

bool UndoJournal::markUndone(QString *error) {
  return append(line({{"undone", QDateTime::currentDateTime().toString(Qt::ISODate)}}), error);
}

}  // namespace rekoda
