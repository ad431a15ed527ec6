// rekoda-cli: the window's conversion for scripts and scheduled jobs.

#include "conversion/conversion_job.h"
#include "platform/file_name.h"
#include "platform/file_system.h"

#include <QElapsedTimer>

#include <csignal>
#include <cstdio>
#include <map>
#include <optional>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

using namespace rekoda;

namespace {

constexpr char kUsage[] =
    "rekoda-cli --family df|ma --code CODE --from SOURCE_FOLDER --to DEST_FOLDER [options] [NAME...]\n"
    "  NAME...        files of SOURCE_FOLDER to convert; none given: every file of the family (DF*.* or "
    "MA*.*), in listing order\n"
    "  --dry-run      read and check every file and report what would happen; write nothing\n"
    "  --json         one JSON object per file on standard output instead of the text line\n"
    "  --quiet        no progress\n";

volatile std::sig_atomic_t interrupted = 0;

void onSignal(int) { interrupted = 1; }

void printErr(const QString &text) { std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData()); }

int usageError(const QString &problem) {
  printErr(QStringLiteral("rekoda-cli: ") + problem);
  std::fputs(kUsage, stderr);
  return 2;
}

QByteArray jsonString(const QString &text) {
  QByteArray out = "\"";
  for (const QChar c : DisplayFileName(text)) {
    const char16_t u = c.unicode();
    if (u == '"' || u == '\\') {
      out += '\\';
      out += char(u);
    } else if (u < 0x20) {
      out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QChar(u'0')).toLatin1();
    } else {
      out += QString(c).toUtf8();
    }
  }
  return out + '"';
}

class CliObserver : public RunObserver {
 public:
  CliObserver(qsizetype total, bool json, bool progress) : total_(total), json_(json), progress_(progress) {
    timer_.start();
  }

  // Files settle in the job's order, so lines come out in it.
  void fileDone(qsizetype, const FileOutcome &o) override {
    const QByteArray text = line(o);
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
  }
  void fileHandled(qsizetype, qint64 handled) override {
    if (!progress_ || (handled != total_ && timer_.elapsed() - lastShown_ < 100))
      return;
    lastShown_ = timer_.elapsed();
    const double seconds = std::max<qint64>(1, timer_.elapsed()) / 1000.0;
    std::fprintf(stderr, "\r%lld of %lld files, %.0f files/s ", static_cast<long long>(handled),
                 static_cast<long long>(total_), double(handled) / seconds);
    if (handled == total_)
      std::fputc('\n', stderr);
    std::fflush(stderr);
  }
  bool stopRequested() override { return interrupted != 0; }

 private:
  QByteArray line(const FileOutcome &o) const {
    const char *result = o.ok ? kResultOk : kResultFailed;
    if (json_)
      return "{\"file\":" + jsonString(o.file) + ",\"output\":" + jsonString(o.output) + ",\"result\":\"" +
             result + "\",\"reason\":" + jsonString(o.reason) + "}\n";
    // Names as the file system spells them, so that a script can use them.
    return EncodeFileName(o.file) + '\t' + EncodeFileName(o.output) + '\t' + result + '\t' +
           o.reason.toLocal8Bit() + '\n';
  }

  qsizetype total_;
  bool json_, progress_;
  QElapsedTimer timer_;
  qint64 lastShown_ = -1000;
};

}  // namespace

int main(int argc, char *argv[]) {
  KeepRunningPastFileSizeLimit();
#ifdef _WIN32
  // Lines end in LF on every platform, so that scripts read one format.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  // Options that take a value, and where it goes.
  std::map<std::string, std::optional<QString>> values = {
      {"--family", {}}, {"--code", {}}, {"--from", {}}, {"--to", {}}};
  std::map<std::string, bool> flags = {{"--dry-run", false}, {"--json", false}, {"--quiet", false}};
  QStringList names;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (const auto v = values.find(arg); v != values.end()) {
      if (i + 1 >= argc)
        return usageError(QStringLiteral("%1 needs a value").arg(QString::fromStdString(arg)));
      v->second = DecodeFileName(QByteArray(argv[++i]));
    } else if (const auto f = flags.find(arg); f != flags.end()) {
      f->second = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return usageError(QStringLiteral("unknown option %1").arg(QString::fromLocal8Bit(argv[i])));
    } else {
      names << DecodeFileName(QByteArray(argv[i]));
    }
  }
  const QString family = values["--family"].value_or(QString()).toLower();
  const bool dryRun = flags["--dry-run"], json = flags["--json"], quiet = flags["--quiet"];
  if (family != "df" && family != "ma")
    return usageError(QStringLiteral("--family df or --family ma is needed"));
  if (!values["--code"] || !values["--from"] || !values["--to"])
    return usageError(QStringLiteral("--code, --from and --to are needed"));
  const QString code = *values["--code"], from = *values["--from"], to = *values["--to"];

  ConversionJob job;
  job.family = family == "df" ? Family::DF : Family::MA;
  job.code = AsciiUpper(code);
  job.dryRun = dryRun;
  if (const auto problem = CheckFoldersAndCode(from, to, job.code)) {
    printErr(*problem);
    return 2;
  }
  job.source = StripTrailingSeparator(from);
  job.dest = StripTrailingSeparator(to);
  if (names.isEmpty()) {
    QString error;
    const auto listed =
        ListMatchingFiles(job.source, job.family == Family::DF ? "DF*.*" : "MA*.*", &error);
    if (!listed) {
      printErr(QStringLiteral("The folder %1 cannot be listed: %2").arg(job.source, error));
      return 2;
    }
    names = *listed;
  }
  for (const QString &n : names) {
    if (n.contains(u'/') || n.contains(PathSeparator()))
      return usageError(QStringLiteral("%1 is not a name of a file in SOURCE_FOLDER").arg(n));
  }
  if (names.isEmpty()) {
    printErr(QStringLiteral("No rows found for conversion!"));
    return 2;
  }
  job.files = names;

  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  CliObserver observer(job.files.size(), json, !quiet && isatty(fileno(stderr)));
  const RunSummary summary = RunJob(job, observer);
  std::fflush(stdout);
  if (summary.handled < summary.total)
    printErr(QStringLiteral("stopped after %1 of %2 files").arg(summary.handled).arg(summary.total));
  return summary.failed == 0 && summary.handled == summary.total ? 0 : 1;
}
