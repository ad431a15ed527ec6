#include "conversion/run_journal.h"

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

QString familyName(Family f) { return f == Family::MA ? QStringLiteral("MA") : QStringLiteral("DF"); }

std::optional<JournaledRun> readJournal(const QString &path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return std::nullopt;
  JournaledRun run;
  run.path = path;
  bool started = false;
  QHash<QString, size_t> byOutput;
  for (const QByteArray &text : file.readAll().split('\n')) {
    const QJsonObject o = QJsonDocument::fromJson(text).object();
    if (o.isEmpty())
      continue;  // a line cut short by a crash
    if (o.contains("run")) {
      run.id = o["run"].toString();
      run.time = QDateTime::fromString(o["time"].toString(), Qt::ISODateWithMs);
      run.version = o["version"].toString();
      run.source = o["source"].toString();
      run.dest = o["dest"].toString();
      run.code = o["code"].toString();
      run.family = o["family"].toString() == "MA" ? Family::MA : Family::DF;
      run.files = o["files"].toInteger();
      started = true;
    } else if (o.contains("out")) {
      JournalEntry e;
      e.output = o["out"].toString();
      e.size = o["size"].toInteger();
      e.hash = o["sha1"].toString().toLatin1();
      e.source = o["src"].toString();
      e.sourceSize = o["srcSize"].toInteger(-1);
      e.sourceChanged = o["srcChanged"].toString().toLongLong();
      e.replaces = o["replaces"].toBool();
      byOutput.insert(e.output, run.entries.size());
      run.entries.push_back(e);
    } else if (o.contains("trashing") && byOutput.contains(o["trashing"].toString())) {
      run.entries[byOutput[o["trashing"].toString()]].trashedAs = o["to"].toString();
    } else if (o.contains("placed") && byOutput.contains(o["placed"].toString())) {
      JournalEntry &e = run.entries[byOutput[o["placed"].toString()]];
      e.placed = o["ok"].toBool() ? JournalEntry::Placed::Yes : JournalEntry::Placed::No;
      e.replacedGone = o["gone"].toBool();
    } else if (o.contains("undone")) {
      run.undone = true;
    }
  }
  if (!started)
    return std::nullopt;
  return run;
}

}  // namespace

qint64 JournaledRun::placed() const {
  return std::count_if(entries.begin(), entries.end(),
                       [](const JournalEntry &e) { return e.placed != JournalEntry::Placed::No; });
}

QString RunJournal::folder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/runs");
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
  // The oldest go, so that with this one kKeptRuns are kept.
  QStringList old = journalNames(QDir(dir));
  while (old.size() >= kKeptRuns)
    QFile::remove(QDir(dir).filePath(old.takeFirst()));
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
  QJsonObject o{{"run", id_},       {"version", QStringLiteral(REKODA_VERSION)},
                {"time", time.toString(Qt::ISODateWithMs)},
                {"source", QDir::toNativeSeparators(QFileInfo(job.source).absoluteFilePath())},
                {"dest", QDir::toNativeSeparators(QFileInfo(job.dest).absoluteFilePath())},
                {"family", familyName(job.family)}, {"code", job.code},
                {"files", job.files.size()}};
  return append(line(o), true, error) && SyncFolder(dir);
}

bool RunJournal::append(const QByteArray &lines, bool sync, QString *error) {
  if (!file_.isOpen())
    return false;
  if (!file_.append(lines, sync, error)) {
    file_.close();  // no more: a journal with a hole would undo wrongly
    return false;
  }
  return true;
}

bool RunJournal::sync(QString *error) { return append({}, true, error); }

bool RunJournal::writeAhead(const std::vector<JournalEntry> &group, bool sync, QString *error) {
  QByteArray lines;
  for (const JournalEntry &e : group)
    lines += line({{"out", e.output}, {"size", e.size}, {"sha1", QString::fromLatin1(e.hash)},
                   {"src", e.source}, {"srcSize", e.sourceSize}, {"srcChanged", QString::number(e.sourceChanged)},
                   {"replaces", e.replaces}});
  return append(lines, sync, error);
}

bool RunJournal::trashing(const QString &output, const QString &trashedAs, QString *error) {
  return append(line({{"trashing", output}, {"to", trashedAs}}), true, error);
}

void RunJournal::placed(const JournalEntry &entry, bool ok) {
  // Not synced: the next group's entries, or the end, take it to the disk,
  // and without it an undo looks at the files themselves.
  placed_ += line({{"placed", entry.output}, {"ok", ok}, {"gone", entry.replacedGone}});
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
  AppendFile file;
  return file.openToAppend(run.path, error) &&
         file.append(line({{"undone", QDateTime::currentDateTime().toString(Qt::ISODate)}}), true, error);
}

}  // namespace rekoda
