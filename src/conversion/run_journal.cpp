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

namespace rekoda {

namespace {

const QString kSuffix = QStringLiteral(".journal");

// The journals' names, oldest first: by the second the run began, then by
// the number a later run of that second got ("…-1" after the plain name,
// "…-10" after "…-9"), which the names' own order does not give.
QStringList journalNames(const QDir &dir) {
  QStringList names = dir.entryList({QStringLiteral("*") + kSuffix}, QDir::Files);
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

// Journals are small; anything near this is not one.
constexpr qint64 kMaxJournalBytes = 256LL * 1024 * 1024;

QString familyName(Family f) { return f == Family::MA ? QStringLiteral("MA") : QStringLiteral("DF"); }

// The line that opens a journal: what the run was.
void readRunLine(const QJsonObject &o, JournaledRun &run) {
  run.id = o["run"].toString();
  run.time = QDateTime::fromString(o["time"].toString(), Qt::ISODateWithMs);
  run.version = o["version"].toString();
  run.source = nameOf(o, "source");
  run.dest = nameOf(o, "dest");
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
  e.source = nameOf(o, "src");
  e.sourceSize = o["srcSize"].toInteger(-1);
  e.sourceChanged = o["srcChanged"].toString().toLongLong();
  e.replaces = o["replaces"].toBool();
  return e;
}

std::optional<JournaledRun> readJournal(const QString &path) {
  const auto bytes = ReadFileBytes(path, kMaxJournalBytes, nullptr);
  if (!bytes)
    return std::nullopt;
  JournaledRun run;
  run.path = path;
  bool started = false;
  QHash<QString, size_t> byOutput;
  QByteArrayList lines = bytes->split('\n');
  // A line cut short by a crash or a full disk, or the empty rest after the last.
  run.lastLineCut = !lines.takeLast().isEmpty();
  for (const QByteArray &text : lines) {
    const QJsonObject o = QJsonDocument::fromJson(text).object();
    if (o.isEmpty())
      continue;  // damaged: passed over
    if (o.contains("run")) {
      readRunLine(o, run);
      started = true;
    } else if (o.contains("out")) {
      JournalEntry e = entryOf(o);
      byOutput.insert(e.output, run.entries.size());
      run.entries.push_back(std::move(e));
    } else if (const auto trashing = byOutput.constFind(nameOf(o, "trashing"));
               o.contains("trashing") && trashing != byOutput.cend()) {
      run.entries[*trashing].trashedAs = nameOf(o, "to");
    } else if (const auto placed = byOutput.constFind(nameOf(o, "placed"));
               o.contains("placed") && placed != byOutput.cend()) {
      JournalEntry &e = run.entries[*placed];
      e.placed = o["ok"].toBool() ? JournalEntry::Placed::Yes : JournalEntry::Placed::No;
      e.replacedGone = o["gone"].toBool();
    } else if (o.contains("end")) {
      run.ended = true;
    } else if (o.contains("undone")) {
      run.undone = true;
    }
  }
  if (!started)
    return std::nullopt;
  run.going = !run.ended && HeldByWriter(path);
  return run;
}

}  // namespace

qint64 JournaledRun::placed() const {
  return std::count_if(entries.begin(), entries.end(),
                       [](const JournalEntry &e) { return e.placed != JournalEntry::Placed::No; });
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
  QStringList old = journalNames(QDir(dir));
  for (qsizetype i = 0; i < old.size() && old.size() - i >= kKeptRuns; ++i)
    if (const QString path = QDir(dir).filePath(old[i]); !HeldByWriter(path))
      QFile::remove(path);
  const QString stem = time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
  for (int n = 0; n < 100 && !file_.isOpen(); ++n) {
    id_ = n == 0 ? stem : QStringLiteral("%1-%2").arg(stem).arg(n);
    const QString path = QDir(dir).filePath(id_ + kSuffix);
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
                               {"files", job.files.size()}});
  QString why;
  if (!append(line(o), true, &why) || !SyncFolder(dir, &why)) {
    // Not a journal any run could be undone from.
    *error = why;
    file_.close();
    QFile::remove(QDir(dir).filePath(id_ + kSuffix));
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
                         {"srcSize", e.sourceSize},
                         {"srcChanged", QString::number(e.sourceChanged)},
                         {"replaces", e.replaces}}));
  return append(lines, sync, nullptr);
}

bool RunJournal::trashing(const QString &output, const QString &trashedAs) {
  return append(line(named({{"trashing", output}, {"to", trashedAs}})), true, nullptr);
}

void RunJournal::placed(const JournalEntry &entry, bool ok) {
  // Not synced: the next group's entries, or the end, take it to the disk,
  // and without it an undo looks at the files themselves.
  placed_ += line(named({{"placed", entry.output}}, {{"ok", ok}, {"gone", entry.replacedGone}}));
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
  const QDir dir(RunJournal::folder());
  QStringList names = journalNames(dir);
  std::reverse(names.begin(), names.end());
  for (const QString &name : names)
    if (auto run = readJournal(dir.filePath(name)))
      runs.push_back(std::move(*run));
  return runs;
}

std::optional<JournaledRun> LoadRun(const QString &id) {
  if (id.isEmpty() || id.contains(u'/') || id.contains(u'\\') || id.startsWith(u'.'))
    return std::nullopt;
  return readJournal(QDir(RunJournal::folder()).filePath(id + kSuffix));
}

std::optional<JournaledRun> LastRunToUndo() {
  const QDir dir(RunJournal::folder());
  QStringList names = journalNames(dir);
  // Newest first, and read no further than needed.
  for (auto it = names.crbegin(); it != names.crend(); ++it)
    if (auto run = readJournal(dir.filePath(*it)); run && !run->undone)
      return run;
  return std::nullopt;
}

bool MarkUndone(const JournaledRun &run, QString *error) {
  // On a line of its own, after a line a full disk cut short too.
  const QByteArray start = run.lastLineCut ? QByteArray("\n") : QByteArray();
  AppendFile file;
  return file.openToAppend(run.path, error) &&
         file.append(start + line({{"undone", QDateTime::currentDateTime().toString(Qt::ISODate)}}), true, error);
}

}  // namespace rekoda
