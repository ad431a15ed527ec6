// rekoda-cli: the window's conversion for scripts and scheduled jobs.

#include "cli/arguments.h"
#include "conversion/conversion_job.h"
#include "conversion/report.h"
#include "conversion/run_journal.h"
#include "conversion/run_record.h"
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
#include <csignal>
#include <cstdio>
#include <cstring>

using namespace rekoda;

namespace {

constexpr char kUsage[] =
    "Usage: rekoda-cli --family df|ma --code CODE --from SOURCE_FOLDER --to DEST_FOLDER [options] [--] [NAME...]\n"
    "Gives the DF or MA files of SOURCE_FOLDER the location code CODE, inside each file and as its\n"
    "new extension, and writes them into DEST_FOLDER.\n"
    "\n"
    "  --family df|ma       which files: DF files (DF*.*) or MA files (MA*.*)\n"
    "  --code CODE          the new location code, upper-cased (ASCII letters)\n"
    "  --from SOURCE_FOLDER the folder the files are read from\n"
    "  --to DEST_FOLDER     the folder the files are written into; it must exist\n"
    "  NAME...              files of SOURCE_FOLDER to convert, in this order; none given:\n"
    "                       every file of the family, in listing order\n"
    "  --files-from FILE    read more names from FILE, one per line ('-': standard input)\n"
    "  --null               names in --files-from end with a NUL byte instead of a newline\n"
    "  --mkdir              create DEST_FOLDER, with its parents, when it does not exist\n"
    "  --no-clobber         leave files already in DEST_FOLDER as they are (reported as Faild,\n"
    "                       \"Destination file already exists!\"); by default they are replaced\n"
    "  --trash              files replaced go to the trash first, so that --undo brings them back\n"
    "  --undo[=ID]          undo the last run not undone yet (or run ID): remove what it wrote\n"
    "                       where its source is still there, bring back what it replaced\n"
    "  --list-runs          the runs that can be undone, newest first: ID, time, family, code,\n"
    "                       destination, files, undone or not (tab-separated)\n"
    "  --dry-run            read and check every file and report what would happen; write nothing\n"
    "  --json               one JSON object per file instead of the text line\n"
    "  --quiet              no progress line and no summary on standard error\n"
    "  -h, --help           show this help and exit\n"
    "  --version            show the version and exit\n"
    "Options take their value as --opt VALUE or --opt=VALUE; -- ends the options.\n"
    "\n"
    "Output: one line per file on standard output: name, new name, OK or Faild, reason,\n"
    "tab-separated; \\\\, \\t, \\n, \\r and \\xHH stand for a backslash and control characters.\n"
    "\n"
    "Exit status:\n"
    "  0    every file is OK (or, with --no-clobber, skipped)\n"
    "  1    a file failed, or standard output could not be written\n"
    "  2    a usage error or a failed input check; nothing was written\n"
    "  130  interrupted (SIGINT), 143 terminated (SIGTERM), after the files in hand\n";

constexpr char kTryHelp[] = "Try 'rekoda-cli --help' for more information.\n";

volatile std::sig_atomic_t stopSignal = 0;

// The first signal finishes the files in hand; a second one, back at the
// default, ends the process at once.
void onSignal(int sig) {
  stopSignal = sig;
  std::signal(sig, SIG_DFL);
}

void printErr(const QString &text) { WriteText(stderr, "rekoda-cli: " + ReportField(text) + '\n'); }

int usageError(const QString &problem) {
  printErr(problem);
  std::fputs(kTryHelp, stderr);
  return 2;
}

int checkError(const QString &problem) {
  printErr(problem);
  return 2;
}

// Keeps the run's record, if any, and writes each file's line.
class CliObserver : public RunObserver {
 public:
  CliObserver(RunRecord *record, qsizetype total, bool json, bool progress, bool sharedTerminal)
      : record_(record), total_(total), json_(json), progress_(progress), sharedTerminal_(sharedTerminal) {
    timer_.start();
  }

  // Files settle in the job's order, so lines come out in it.
  void fileDone(qsizetype index, const FileOutcome &outcome) override {
    if (record_)
      record_->settle(index, outcome);
    pending_ += json_ ? JsonReportLine(outcome) : TextReportLine(outcome);
  }
  // Results settle a group at a time: one write for the group's lines keeps
  // a reader as current as the run allows, at a fraction of the calls.
  void groupSettled() override {
    if (outputError_ || pending_.isEmpty())
      return;
    if (shown_ && sharedTerminal_) {
      std::fputs("\r\033[K", stderr);  // the progress line gives way to the results
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
    const double seconds = std::max<qint64>(1, timer_.elapsed()) / 1000.0;
    std::fprintf(stderr, "\r%lld of %lld files, %.0f files/s\033[K", static_cast<long long>(handled),
                 static_cast<long long>(total_), double(handled) / seconds);
    shown_ = true;
    if (handled == total_) {
      std::fputc('\n', stderr);
      shown_ = false;
    }
    std::fflush(stderr);
  }
  bool stopRequested() override { return stopSignal != 0 || outputError_ != 0; }

  int outputError() const { return outputError_; }

 private:
  RunRecord *record_;
  QByteArray pending_;  // lines of the files settled since the last group
  qsizetype total_;
  bool json_, progress_, sharedTerminal_;
  bool shown_ = false;
  QElapsedTimer timer_;
  qint64 lastShown_ = -1000;
  int outputError_ = 0;
};

// Names from a list file; a trailing carriage return is part of a Windows
// line end, not of the name.
std::optional<QStringList> namesFrom(const QString &path, bool nul, QString *error) {
  QFile file;
  const bool opened = path == "-" ? file.open(stdin, QIODevice::ReadOnly) : (file.setFileName(path),
                                                                               file.open(QIODevice::ReadOnly));
  if (!opened) {
    *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    return std::nullopt;
  }
  const QByteArray all = file.readAll();
  QStringList names;
  for (QByteArray item : all.split(nul ? '\0' : '\n')) {
    if (!nul && item.endsWith('\r'))
      item.chop(1);
    if (!item.isEmpty())
      names << DecodeFileName(item);
  }
  return names;
}

bool isPlainName(const QString &name) {
  if (name.isEmpty() || name == "." || name == "..")
    return false;
  return !std::any_of(name.begin(), name.end(), [](QChar c) { return c == u'/' || c == PathSeparator(); });
}

int listRuns(bool json) {
  QByteArray out;
  for (const JournaledRun &run : ListRuns()) {
    const QString family = run.family == Family::MA ? QStringLiteral("MA") : QStringLiteral("DF");
    if (json) {
      out += QJsonDocument(QJsonObject{{"id", run.id},
                                       {"time", run.time.toString(Qt::ISODate)},
                                       {"family", family},
                                       {"code", run.code},
                                       {"destination", run.dest},
                                       {"files", run.placed()},
                                       {"undone", run.undone}})
                 .toJson(QJsonDocument::Compact) +
             '\n';
    } else {
      out += ReportField(run.id) + '\t' + run.time.toString(Qt::ISODate).toUtf8() + '\t' + family.toUtf8() + '\t' +
             ReportField(run.code) + '\t' + ReportField(run.dest) + '\t' + QByteArray::number(run.placed()) + '\t' +
             (run.undone ? "undone" : "not undone") + '\n';
    }
  }
  return WriteText(stdout, out) ? 0 : 1;
}

int undo(const CliArguments &args) {
  const bool hasId = args.values.contains("undo");
  const auto run = hasId ? LoadRun(args.values["undo"]) : LastRunToUndo();
  if (!run) {
    if (hasId)
      return checkError(QStringLiteral("no run %1 (rekoda-cli --list-runs lists them)").arg(args.values["undo"]));
    printErr(QStringLiteral("nothing to undo"));
    return 0;
  }
  if (run->undone) {
    printErr(QStringLiteral("the run %1 has been undone already: nothing to do").arg(run->id));
    return 0;
  }
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  const bool quiet = args.flags.contains("quiet"), dryRun = args.flags.contains("dry-run");
  CliObserver observer(nullptr, qsizetype(run->entries.size()), args.flags.contains("json"),
                       !quiet && IsTerminal(stderr), IsTerminal(stdout));
  const RunSummary summary = UndoRun(*run, observer, dryRun);
  const bool complete = summary.handled == summary.total;
  if (!quiet || !complete || summary.failed > 0)
    WriteText(stderr, QStringLiteral("%1 files: %2 undone, %3 kept or Faild%4\n")
                          .arg(summary.total)
                          .arg(summary.handled - summary.failed)
                          .arg(summary.failed)
                          .arg(complete ? QString() : QStringLiteral(" (stopped)"))
                          .toUtf8());
  if (!summary.stopReason.isEmpty())
    printErr(summary.stopReason);
  if (observer.outputError()) {
    printErr(QStringLiteral("cannot write the results: %1").arg(ErrorText(observer.outputError())));
    return 1;
  }
  if (stopSignal)
    return 128 + stopSignal;
  return summary.failed == 0 && complete ? 0 : 1;
}

}  // namespace

int main(int argc, char *argv[]) {
  KeepRunningPastFileSizeLimit();
  PrepareStandardStreams();
  CliArguments args;
  if (const auto problem = ParseCliArguments(CommandLineArguments(argc, argv), args))
    return usageError(*problem);
  if (args.help)
    return WriteText(stdout, kUsage) ? 0 : 1;
  if (args.version)
    return WriteText(stdout, "rekoda-cli " REKODA_VERSION "\n") ? 0 : 1;
  // Where the window keeps its journals too.
  QCoreApplication::setOrganizationName(QStringLiteral("Rekoda"));
  QCoreApplication::setApplicationName(QStringLiteral("Rekoda"));
  if (args.flags.contains("list-runs"))
    return listRuns(args.flags.contains("json"));
  if (args.flags.contains("undo"))
    return undo(args);
  const QString family = args.values.value("family").toLower();
  if (family != "df" && family != "ma")
    return usageError(QStringLiteral("--family df or --family ma is needed"));
  for (const char *needed : {"code", "from", "to"})
    if (!args.values.contains(needed))
      return usageError(QStringLiteral("--%1 is needed").arg(QLatin1String(needed)));
  const QString from = args.values["from"], to = args.values["to"];

  ConversionJob job;
  job.family = family == "df" ? Family::DF : Family::MA;
  job.code = AsciiUpper(args.values["code"]);
  job.dryRun = args.flags.contains("dry-run");
  if (args.flags.contains("no-clobber"))
    job.existing = Existing::Skip;
  else if (args.flags.contains("trash"))
    job.existing = Existing::ReplaceToTrash;
  if (const auto problem = CheckFoldersAndCode(from, to, job.code))
    return checkError(*problem);
  job.source = StripTrailingSeparator(from);
  job.dest = StripTrailingSeparator(to);

  // A missing destination fails at once, not file by file.
  const QFileInfo dest(job.dest);
  if (!dest.exists()) {
    if (!args.flags.contains("mkdir"))
      return checkError(QStringLiteral("The destination folder %1 does not exist (--mkdir creates it)").arg(job.dest));
    if (!job.dryRun && !QDir().mkpath(job.dest))
      return checkError(QStringLiteral("The destination folder %1 cannot be created").arg(job.dest));
  } else if (!dest.isDir()) {
    return checkError(QStringLiteral("The destination %1 is not a folder").arg(job.dest));
  }

  QStringList names = args.names;
  if (args.values.contains("files-from")) {
    QString error;
    const auto listed = namesFrom(args.values["files-from"], args.flags.contains("null"), &error);
    if (!listed)
      return checkError(error);
    names += *listed;
  }
  if (names.isEmpty()) {
    QString error;
    const auto listed = ListMatchingFiles(job.source, job.family == Family::DF ? "DF*.*" : "MA*.*", &error);
    if (!listed)
      return checkError(QStringLiteral("The folder %1 cannot be listed: %2").arg(job.source, error));
    names = *listed;
  }
  for (const QString &n : names)
    if (!isPlainName(n))
      return usageError(QStringLiteral("%1 is not the name of a file in SOURCE_FOLDER").arg(n));
  if (names.isEmpty())
    return checkError(QStringLiteral("No rows found for conversion!"));
  job.files = names;

  if (job.existing == Existing::ReplaceToTrash && !FolderHasTrash(job.dest)) {
    job.existing = Existing::Replace;
    printErr(QStringLiteral("%1 has no trash: files replaced cannot be brought back").arg(job.dest));
  }
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  const bool quiet = args.flags.contains("quiet");
  RunRecord record(job);
  CliObserver observer(&record, job.files.size(), args.flags.contains("json"), !quiet && IsTerminal(stderr),
                       IsTerminal(stdout));
  JournaledJob journaled(job, record.started());
  record.finish(journaled.run(observer));
  const RunSummary &summary = record.summary();
  if (!summary.journalError.isEmpty())
    printErr(QStringLiteral("this run cannot be undone: %1").arg(summary.journalError));

  const bool complete = summary.handled == summary.total;
  const qint64 notConverted = summary.failed + summary.skipped;
  QString counts = QStringLiteral("%1 OK, %2 Faild").arg(summary.handled - notConverted).arg(notConverted);
  if (summary.skipped > 0)
    counts += QStringLiteral(" (%1 skipped, in DEST_FOLDER already)").arg(summary.skipped);
  if (!summary.stopReason.isEmpty())
    printErr(QStringLiteral("%1; stopped after %2 of %3 files: %4")
                 .arg(summary.stopReason)
                 .arg(summary.handled)
                 .arg(summary.total)
                 .arg(counts));
  else if (!complete)
    printErr(QStringLiteral("stopped after %1 of %2 files: %3").arg(summary.handled).arg(summary.total).arg(counts));
  else if (!quiet)
    WriteText(stderr, QStringLiteral("%1 files: %2\n").arg(summary.total).arg(counts).toUtf8());
  if (observer.outputError()) {
    printErr(QStringLiteral("cannot write the results: %1").arg(ErrorText(observer.outputError())));
    return 1;
  }
  if (stopSignal && summary.stopReason.isEmpty())
    return 128 + stopSignal;
  return summary.failed == 0 && complete ? 0 : 1;
}
