// rekoda-cli: the window's conversion for scripts and scheduled jobs.

#include "cli/arguments.h"
#include "cli/names.h"
#include "cli/usage.h"
#include "conversion/checks.h"
#include "conversion/conversion_job.h"
#include "conversion/file_code.h"
#include "conversion/journaled_job.h"
#include "conversion/locations.h"
#include "conversion/report.h"
#include "conversion/run_journal.h"
#include "conversion/speaker.h"
#include "conversion/undo.h"
#include "platform/console.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/trash.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace rekoda;

namespace {

constexpr char kTryHelp[] = "Try 'rekoda-cli --help' for more information.\n";


// Messages name paths as they were typed: bytes that are not UTF-8 go out
// as they came in, and only control characters, which would steer the
// terminal, are shown as '?'.
void printErr(const QString &text) {
  QString shown = text;
  for (QChar &c : shown)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F)
      c = u'?';
  WriteText(stderr, "rekoda-cli: " + EncodeFileName(shown) + '\n');
}

// The run's own sentences ("The destination folder X is no longer there")
// begin in lower case after the program's name, as its other messages do;
// a name at the start ("DF1.L01 ...") stays as it is.
QString asClause(const QString &sentence) {
  if (sentence.size() > 1 && sentence[0].isUpper() && sentence[1].isLower())
    return sentence[0].toLower() + sentence.mid(1);
  return sentence;
}

// Why a run stopped, for the message that begins with the program's name;
// a vanished folder named as typed.
QString stopClause(const RunSummary &summary, const CliArguments &args) {
  if (summary.folderGone == RunSummary::Gone::None)
    return asClause(English(summary.stopReason));
  Reason gone = summary.stopReason;
  gone.args = QStringList{Quoted(args.values[summary.folderGone == RunSummary::Gone::Source ? "from" : "to"])};
  return asClause(English(gone));
}

QString filesCount(qint64 n) { return n == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(n); }

// What --help and --version write; a full disk behind them is an error too.
int writeOut(const QByteArray &text) {
  if (WriteText(stdout, text))
    return 0;
  printErr(QStringLiteral("write error: %1").arg(ErrorText(errno ? errno : EIO)));
  return 1;
}

int usageError(const QString &problem) {
  printErr(problem);
  std::fputs(kTryHelp, stderr);
  return 2;
}

int checkError(const QString &problem) {
  printErr(problem);
  return 2;
}

// The status of a program whose reader went away (128 + SIGPIPE), as
// coreutils end then: quietly, the files in hand finished.
constexpr int kBrokenPipe = 141;

// What an option or argument that the mode does not use says: a script
// that passes one expects something of it that would not happen.
std::optional<QString> unused(const CliArguments &args, const QSet<QString> &used, qsizetype namesUsed,
                              const char *mode) {
  QStringList given = args.values.keys() + QStringList(args.flags.begin(), args.flags.end());
  given.sort();
  for (const QString &option : given)
    if (!used.contains(option))
      return QStringLiteral("option '--%1' cannot be used with --%2").arg(option, QLatin1String(mode));
  if (args.names.size() > namesUsed)
    return QStringLiteral("unexpected argument %1").arg(Quoted(args.names[namesUsed]));
  return std::nullopt;
}

// Writes each file's line as it settles; nothing of a file is kept after,
// so that memory stays flat however many files a run has.
class CliObserver : public RunObserver {
 public:
  CliObserver(qsizetype total, bool json, bool progress, bool sharedTerminal)
      : total_(total), json_(json), progress_(progress), sharedTerminal_(sharedTerminal),
        erases_(progress && TerminalErasesLines(stderr)) {
    timer_.start();
  }

  // Files settle in the job's order, so lines come out in it.
  void fileDone(qsizetype, const FileOutcome &outcome) override {
    pending_ += json_ ? JsonReportLine(outcome) : TextReportLine(outcome);
  }
  // Results settle a group at a time: one write for the group's lines keeps
  // a reader as current as the run allows, at a fraction of the calls.
  void groupSettled() override {
    if (outputError_ || pending_.isEmpty())
      return;
    if (shown_ && sharedTerminal_) {
      showProgress(QByteArray());  // the progress line gives way to the results
      shown_ = false;
    }
    if (!WriteText(stdout, pending_))
      outputError_ = errno ? errno : EIO;
    pending_.clear();
  }
  void fileHandled(qsizetype, qint64 handled) override {
    if (!progress_ || (handled != total_ && timer_.elapsed() - lastShown_ < 100))
      return;
    lastShown_ = timer_.elapsed();
    const double seconds = static_cast<double>(std::max<qint64>(1, timer_.elapsed())) / 1000.0;
    showProgress(QStringLiteral("%1 of %2 files, %3 files/s")
                     .arg(handled)
                     .arg(total_)
                     .arg(qRound64(double(handled) / seconds))
                     .toUtf8());
    shown_ = true;
    if (handled == total_) {
      WriteText(stderr, "\n");
      shown_ = false;
    }
  }
  bool stopRequested() override { return StopSignal() != 0 || outputError_ != 0; }

  int outputError() const { return outputError_; }

 private:
  // Draws the progress line over the last one; where the terminal cannot
  // erase, spaces cover what is left of a longer one.
  void showProgress(const QByteArray &line) {
    QByteArray text = '\r' + line;
    if (erases_)
      text += "\033[K";
    else if (line.size() < lastLength_)
      text += QByteArray(lastLength_ - line.size(), ' ') + '\r' + line;
    lastLength_ = line.size();
    WriteText(stderr, text);
  }

  QByteArray pending_;  // lines of the files settled since the last group
  qsizetype total_;
  bool json_, progress_, sharedTerminal_;
  bool erases_;
  bool shown_ = false;
  qsizetype lastLength_ = 0;
  QElapsedTimer timer_;
  qint64 lastShown_ = -1000;
  int outputError_ = 0;
};

QString listName(const QString &path) { return path == "-" ? QStringLiteral("standard input") : Quoted(path); }

// The names of a --files-from list, or why it cannot be read.
struct ListedNames {
  std::optional<QStringList> names;
  QString refusal;
};
ListedNames namesFrom(const QString &path, bool nul, QStringList *oem) {
  QFile file;
  const bool opened = path == "-" ? file.open(stdin, QIODevice::ReadOnly) : (file.setFileName(path),
                                                                               file.open(QIODevice::ReadOnly));
  if (!opened)
    return {std::nullopt, QStringLiteral("cannot read %1: %2").arg(listName(path), file.errorString())};
  ListProblem problem = ListProblem::None;
  auto names = NamesFromList(file.readAll(), nul, &problem, oem);
  if (names)
    return {names, {}};
  return {std::nullopt, QStringLiteral("cannot read %1: %2")
                            .arg(listName(path), problem == ListProblem::BadUtf16
                                                     ? QStringLiteral("the list is not valid UTF-16")
                                                     : QStringLiteral("the list looks like UTF-16 without a byte-order mark"))};
}

// Creates a folder with its parents, by their own bytes.
Status makeFolders(const QString &path) {
  if (IsFolder(path))
    return {};
  const QString folder = StripTrailingSeparator(path);
  const qsizetype cut = std::max(folder.lastIndexOf(u'/'), folder.lastIndexOf(PathSeparator()));
  const QString parent = cut > 0 ? folder.left(cut) : cut == 0 ? folder.left(1) : QString();
  if (!parent.isEmpty() && parent != folder)
    if (Status made = makeFolders(parent); !made.ok())
      return made;
  Status made = CreateFolder(folder);
  return made.ok() || IsFolder(folder) ? Status() : made;
}

// A folder as a field of a tab-separated line. Where the separator is a
// backslash (Windows), a path holds no control character, so that it needs
// no escape to stay one field and reads as the system spells it.
QByteArray pathField(const QString &path) {
  QByteArray field = ReportField(path);
  return PathSeparator() == u'\\' ? field.replace("\\\\", "\\") : field;
}

// A run's state in --list-runs, as scripts read it.
const char *stateWords(JournaledRun::State state) {
  switch (state) {
    case JournaledRun::State::Going:
      return "going";
    case JournaledRun::State::BeingUndone:
      return "being undone";
    case JournaledRun::State::Undone:
      return "undone";
    case JournaledRun::State::PartlyUndone:
      return "partly undone";
    case JournaledRun::State::NotUndone:
      break;
  }
  return "not undone";
}

int listRuns(const CliArguments &args) {
  if (const auto problem = unused(args, {"list-runs", "json"}, 0, "list-runs"))
    return usageError(*problem);
  const bool json = args.flags.contains("json");
  QByteArray out;
  for (const JournaledRun &run : ListRuns()) {
    const QString family = run.family == Family::MA ? QStringLiteral("MA") : QStringLiteral("DF");
    const char *state = stateWords(run.state());
    if (json) {
      out += QJsonDocument(QJsonObject{{"id", run.id},
                                       {"time", run.time.toString(Qt::ISODate)},
                                       {"family", family},
                                       {"code", run.code},
                                       {"destination", run.dest},
                                       {"files", run.placed()},
                                       {"state", QLatin1String(state)},
                                       {"undone", run.state() == JournaledRun::State::Undone},
                                       {"going", run.going}})
                 .toJson(QJsonDocument::Compact) +
             '\n';
    } else {
      out += ReportField(run.id) + '\t' + run.time.toString(Qt::ISODate).toUtf8() + '\t' + family.toUtf8() + '\t' +
             ReportField(run.code) + '\t' + pathField(run.dest) + '\t' + QByteArray::number(run.placed()) + '\t' +
             state + '\n';
    }
  }
  return writeOut(out);
}

// The run an undo took, as its summary names it: the time to the second,
// the family, the code and the folder, and its ID for --undo ID.
QString undoneRunName(const JournaledRun &run) {
  return QStringLiteral("the run %1 of %2 (%3 files, code %4, into %5)")
      .arg(run.id, run.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
           run.family == Family::MA ? QStringLiteral("MA") : QStringLiteral("DF"), run.code, Quoted(run.dest));
}

int undo(const CliArguments &args) {
  // --undo=ID or --undo ID.
  const bool joinedId = args.values.contains("undo");
  if (const auto problem = unused(args, {"undo", "quiet", "json", "dry-run"}, joinedId ? 0 : 1, "undo"))
    return usageError(*problem);
  const bool hasId = joinedId || !args.names.isEmpty();
  const QString id = joinedId ? args.values["undo"] : args.names.value(0);
  const auto run = hasId ? LoadRun(id) : LastRunToUndo();
  if (!run) {
    if (hasId)
      return checkError(QStringLiteral("no run %1 (rekoda-cli --list-runs lists them)").arg(Quoted(id)));
    printErr(QStringLiteral("nothing to undo"));
    return 0;
  }
  if (run->state() == JournaledRun::State::Undone) {
    printErr(QStringLiteral("the run %1 has been undone already: nothing to do").arg(Quoted(run->id)));
    return 0;
  }
  CatchStopSignals();
  const bool quiet = args.flags.contains("quiet"), dryRun = args.flags.contains("dry-run");
  CliObserver observer(qsizetype(run->entries), args.flags.contains("json"), !quiet && IsTerminal(stderr),
                       IsTerminal(stdout));
  const RunSummary summary = UndoRun(*run, observer, dryRun);
  if (observer.outputError() == EPIPE)
    return kBrokenPipe;
  // Refused whole (held, another folder): the reason alone.
  if (summary.total == 0 && !summary.stopReason.isNone()) {
    printErr(asClause(English(summary.stopReason)));
    return 1;
  }
  const bool complete = summary.handled == summary.total;
  if (!quiet || !complete || summary.failed > 0 || summary.undo.kept > 0) {
    QString text = QStringLiteral("%1 of %2: %3: %4")
                       .arg(dryRun ? QStringLiteral("undo (dry run)") : QStringLiteral("undo"), undoneRunName(*run),
                            filesCount(summary.total), UndoCountsText(summary));
    if (summary.undo.before > 0)
      text += QStringLiteral(" (%1 undone before)").arg(summary.undo.before);
    if (!complete)
      text += QStringLiteral(" (stopped)");
    WriteText(stderr, EncodeFileName(text) + '\n');
  }
  if (!summary.stopReason.isNone())
    printErr(asClause(English(summary.stopReason)));
  if (observer.outputError()) {
    printErr(QStringLiteral("cannot write the results: %1").arg(ErrorText(observer.outputError())));
    return 1;
  }
  if (StopSignal())
    return 128 + StopSignal();
  return summary.failed == 0 && summary.undo.kept == 0 && complete && summary.stopReason.isNone() ? 0 : 1;
}

// The job that the arguments describe, checked before anything is written;
// the usage error or failed check, with its exit status, otherwise.
struct Refusal {
  QString message;
  bool usage = false;
};

// The files that carry exactly this one code now, as the window shows it;
// one that cannot be read, or carries other codes too, is said and left.
QStringList carryingCode(const ConversionJob &job, const QString &wanted) {
  QStringList kept, otherCase;
  for (const QString &file : job.files) {
    const FileCode code = ReadFileCode(job.source, file, job.family);
    if (!code.ok())
      printErr(QStringLiteral("%1 is left out: %2").arg(Quoted(DisplayFileName(file)), English(code.problem)));
    else if (code.codes == QStringList{wanted})
      kept << file;
    else if (code.codes.contains(wanted))
      printErr(QStringLiteral("%1 is left out: it carries the codes %2").arg(Quoted(DisplayFileName(file)), code.codes.join(", ")));
    else if (code.codes.contains(wanted, Qt::CaseInsensitive))
      for (const QString &c : code.codes)
        if (c.compare(wanted, Qt::CaseInsensitive) == 0 && !otherCase.contains(c))
          otherCase << c;
  }
  // Typed in another letter case than the files have it: said, not guessed.
  if (kept.isEmpty() && !otherCase.isEmpty())
    printErr(QStringLiteral("no file carries the code %1, but some carry %2 (--only-code compares letter case too)")
                 .arg(Quoted(wanted), otherCase.join(", ")));
  return kept;
}

// The family and the source folder, which listing and converting both need.
std::optional<Refusal> sourceFrom(const CliArguments &args, const QStringList &needed, ConversionJob &job) {
  const QString family = args.values.value("family");
  if (!args.values.contains("family"))
    return Refusal{QStringLiteral("--family is needed (df or ma)"), true};
  if (family.toLower() != "df" && family.toLower() != "ma")
    return Refusal{QStringLiteral("invalid value %1 for --family (df or ma)").arg(Quoted(family)), true};
  for (const QString &option : needed)
    if (!args.values.contains(option))
      return Refusal{QStringLiteral("--%1 is needed").arg(option), true};
  job.family = family.toLower() == "df" ? Family::DF : Family::MA;
  if (args.values["from"].trimmed().isEmpty())
    return Refusal{QStringLiteral("no source folder given (--from)")};
  job.source = StripTrailingSeparator(args.values["from"]);
  if (args.values.contains("only-code") && args.values["only-code"].isEmpty())
    return Refusal{QStringLiteral("no code given (--only-code)")};
  if (args.flags.contains("null") && !args.values.contains("files-from"))
    return Refusal{QStringLiteral("option '--null' cannot be used without --files-from"), true};
  return std::nullopt;
}

std::optional<Refusal> filesFrom(const CliArguments &args, ConversionJob &job);

// --locations: the register, its bad rows said and passed over.
std::optional<Refusal> registerFrom(const CliArguments &args, std::optional<LocationRegister> &reg) {
  if (!args.values.contains("locations"))
    return std::nullopt;
  const QString file = args.values["locations"];
  Status error;
  // Unlike the window's own register, one named must be there.
  if (QFileInfo::exists(file))
    reg = ReadLocations(file, &error);
  else
    error = Status::Failed(Status::Op::Open, ENOENT, file);
  if (!reg)
    return Refusal{QStringLiteral("cannot read the locations in %1: %2").arg(Quoted(file), English(error))};
  for (const LocationProblem &problem : reg->problems)
    printErr(QStringLiteral("%1: %2").arg(Quoted(file), English(problem)));
  return std::nullopt;
}

std::optional<Refusal> jobFrom(const CliArguments &args, ConversionJob &job) {
  if (auto refusal = sourceFrom(args, {"code", "from", "to"}, job))
    return refusal;
  const QString to = args.values["to"];
  job.code = AsciiUpper(args.values["code"]);
  job.dryRun = args.flags.contains("dry-run");
  if (args.flags.contains("no-clobber"))
    job.existing = Existing::Skip;
  else if (args.flags.contains("trash"))
    job.existing = Existing::ReplaceToTrash;
  if (to.trimmed().isEmpty())
    return Refusal{QStringLiteral("no destination folder given (--to)")};
  if (job.code.isEmpty())
    return Refusal{QStringLiteral("no code given (--code)")};
  if (const auto problem = NewCodeProblem(job.code))
    return Refusal{QStringLiteral("invalid code %1: %2").arg(Quoted(args.values["code"]), English(*problem))};
  std::optional<LocationRegister> reg;
  if (auto refusal = registerFrom(args, reg))
    return refusal;
  if (reg && !reg->find(job.code))
    return Refusal{QStringLiteral("%1 is not a known location in %2").arg(Quoted(job.code), Quoted(args.values["locations"])),
                   true};
  job.dest = StripTrailingSeparator(to);
#ifdef _WIN32
  for (const QString &folder : {job.source, job.dest})
    if (ReservedDeviceNameIn(folder))
      return Refusal{QStringLiteral("invalid folder %1: %2")
                         .arg(Quoted(folder), English(Status::Failed(Status::Op::ReservedName, 0, folder)))};
#endif

  // A missing destination fails at once, not file by file; its name by its
  // own bytes, as the source's.
  if (!FileIdentity(job.dest)) {
    if (!args.flags.contains("mkdir"))
      return Refusal{QStringLiteral("the destination folder %1 does not exist (--mkdir creates it)").arg(Quoted(to))};
    if (Status made = job.dryRun ? Status() : makeFolders(job.dest); !made.ok())
      return Refusal{QStringLiteral("cannot create the destination folder %1: %2").arg(Quoted(to), English(made))};
  } else if (!IsFolder(job.dest)) {
    return Refusal{QStringLiteral("the destination %1 is not a folder").arg(Quoted(to))};
  }
  return filesFrom(args, job);
}

// The files the arguments name, or all of the family's; with --only-code
// those of them that carry that code now.
std::optional<Refusal> filesFrom(const CliArguments &args, ConversionJob &job) {
  const QString from = args.values["from"];
  QStringList names = args.names;
  if (args.values.contains("files-from")) {
    QStringList oem;
    const ListedNames read = namesFrom(args.values["files-from"], args.flags.contains("null"), &oem);
    if (!read.names)
      return Refusal{read.refusal};
    const auto &listed = read.names;
    for (qsizetype i = 0; i < listed->size(); ++i) {
      // A name that the ANSI reading finds no file for may be the
      // console's spelling of one.
      const QString &name = (*listed)[i];
      const bool other = i < oem.size() && oem[i] != name &&
                         PathEntry(JoinPath(job.source, name)).kind == EntryKind::Missing &&
                         PathEntry(JoinPath(job.source, oem[i])).kind != EntryKind::Missing;
      names << (other ? oem[i] : name);
    }
  }
  const QString familyName = job.family == Family::DF ? QStringLiteral("DF") : QStringLiteral("MA");
  // A list given and empty names no file, as xargs -r runs nothing: only
  // with neither names nor a list are all the family's files taken.
  if (names.isEmpty() && !args.values.contains("files-from")) {
    Status listing;
    const auto listed = ListMatchingFiles(job.source, familyName + "*.*", &listing);
    if (!listed)
      return Refusal{QStringLiteral("cannot list the folder %1: %2").arg(Quoted(from), English(listing))};
    // Nothing to do is no failure, as ls and find list an empty folder.
    if (listed->isEmpty() && !args.flags.contains("quiet"))
      printErr(QStringLiteral("no %1 files in %2").arg(familyName, Quoted(from)));
    names = *listed;
  }
  for (const QString &n : names) {
    const auto name = NameInFolder(n, job.source);
    if (!name)
      return Refusal{QStringLiteral("%1 is not the name of a file in %2").arg(Quoted(n), Quoted(from)), true};
    job.files << *name;
  }
  if (args.values.contains("only-code"))
    job.files = carryingCode(job, args.values["only-code"]);
  return std::nullopt;
}

// --list: each file with the code it carries now and what a run would do.
int listFiles(const CliArguments &args) {
  if (const auto problem = unused(args, {"list", "family", "from", "files-from", "null", "only-code", "json", "locations", "quiet"},
                                  args.names.size(), "list"))
    return usageError(*problem);
  ConversionJob job;
  std::optional<LocationRegister> reg;
  if (auto refusal = sourceFrom(args, {"from"}, job); refusal || (refusal = registerFrom(args, reg)) ||
                                                      (refusal = filesFrom(args, job)))
    return refusal->usage ? usageError(refusal->message) : checkError(refusal->message);
  const bool json = args.flags.contains("json");
  QByteArray out;
  // A reader gone (| head) ends it quietly, as a run does; any other
  // failure to write is said.
  const auto flush = [&out] {
    if (WriteText(stdout, out)) {
      out.clear();
      return 0;
    }
    const int err = errno ? errno : EIO;
    if (err == EPIPE)
      return kBrokenPipe;
    printErr(QStringLiteral("write error: %1").arg(ErrorText(err)));
    return 1;
  };
  for (const QString &file : job.files) {
    const FileCode code = ReadFileCode(job.source, file, job.family);
    const LocationRegister *known = reg ? &*reg : nullptr;
    out += json ? JsonListLine(file, code, known) : TextListLine(file, code, known);
    // Written as it goes: a folder on a slow stick shows its first files soon.
    if (out.size() > qsizetype{64} * 1024)
      if (const int status = flush())
        return status;
  }
  return flush();
}

int convert(const CliArguments &args) {
  ConversionJob job;
  if (const auto refusal = jobFrom(args, job))
    return refusal->usage ? usageError(refusal->message) : checkError(refusal->message);
  const bool quiet = args.flags.contains("quiet");
  if (job.files.isEmpty()) {  // nothing to do is no run: no journal, nothing to undo
    if (!quiet)
      WriteText(stderr, QStringLiteral("%1: 0 OK, 0 Faild\n").arg(filesCount(0)).toUtf8());
    return 0;
  }
  if (job.existing == Existing::ReplaceToTrash && !FolderHasTrash(job.dest)) {
    job.existing = Existing::Replace;
    printErr(QStringLiteral("%1 has no trash: files replaced cannot be brought back").arg(Quoted(args.values["to"])));
  }
  CatchStopSignals();
  CliObserver observer(job.files.size(), args.flags.contains("json"), !quiet && IsTerminal(stderr),
                       IsTerminal(stdout));
  JournaledJob journaled(job, QDateTime::currentDateTime());
  // Said before anything is written; the run goes on, as a script asked.
  if (const auto problem = journaled.journalProblem())
    printErr(QStringLiteral("this run cannot be undone: %1")
                 .arg(English(*problem).replace(RunJournal::folder(), Quoted(RunJournal::folder()))));
  const RunSummary summary = journaled.run(observer);
  if (observer.outputError() == EPIPE)
    return kBrokenPipe;

  const bool complete = summary.handled == summary.total;
  const qint64 notConverted = summary.failed + summary.skipped;
  QString counts = QStringLiteral("%1 OK, %2 Faild").arg(summary.handled - notConverted).arg(notConverted);
  if (summary.skipped > 0)
    counts += QStringLiteral(" (%1 skipped: in the destination folder already)").arg(summary.skipped);
  if (!summary.stopReason.isNone())
    printErr(QStringLiteral("%1; stopped after %2 of %3: %4")
                 .arg(stopClause(summary, args))
                 .arg(summary.handled)
                 .arg(filesCount(summary.total), counts));
  else if (!complete)
    printErr(QStringLiteral("stopped after %1 of %2: %3").arg(summary.handled).arg(filesCount(summary.total), counts));
  else if (!quiet)
    WriteText(stderr, QStringLiteral("%1: %2\n").arg(filesCount(summary.total), counts).toUtf8());
  if (observer.outputError()) {
    printErr(QStringLiteral("cannot write the results: %1").arg(ErrorText(observer.outputError())));
    return 1;
  }
  if (StopSignal() && summary.stopReason.isNone())
    return 128 + StopSignal();
  return summary.failed == 0 && complete ? 0 : 1;
}

}  // namespace

int main(int argc, char *argv[]) {
  KeepRunningPastFileSizeLimit();
  PrepareStandardStreams();
  MarkProgramRunning();
  CliArguments args;
  const QStringList arguments = CommandLineArguments(argc, argv);
  if (arguments.isEmpty()) {
    WriteText(stderr, kUsage);
    return 2;
  }
  if (const auto problem = ParseCliArguments(arguments, args))
    return usageError(*problem);
  if (args.help)
    return writeOut(kUsage);
  if (args.version)
    return writeOut("rekoda-cli " REKODA_VERSION "\n");
  // Where the window keeps its journals too.
  QCoreApplication::setOrganizationName(QStringLiteral("Rekoda"));
  QCoreApplication::setApplicationName(QStringLiteral("Rekoda"));
  if (args.flags.contains("list-runs"))
    return listRuns(args);
  if (args.flags.contains("list"))
    return listFiles(args);
  if (args.flags.contains("undo"))
    return undo(args);
  return convert(args);
}
