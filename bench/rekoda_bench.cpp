// Measures listing, and conversion against copies that do the same work at
// the same durability, in one run:
//   rekoda_bench [--list N] [--convert N] [--rounds N] [--dir PARENT] [--source-dir PARENT] [--cli PATH]
//                [--variants 0,2]
// --source-dir makes the files to convert there instead of beside the
// outputs (the local disk, when the outputs go to a stick).
// --variants picks some of the five conversion variants (0: the syncing
// copy, which the ratios need, 1: with folder syncs, 2: core, 3: window,
// 4: rekoda-cli).
// Every round runs each variant once, in an order rotated from round to
// round, and the ratio to the syncing copy is taken within the round; the
// report gives the median and the range of those ratios.
//
// Nothing is deleted until the end: every variant of every round writes into
// a folder of its own. On ext4 without a journal, creating files where many
// were deleted in the last minute scans past each of them, which would make
// file creation, not the work measured, the larger part of every figure.

#include "conversion/conversion_job.h"
#include "conversion/journaled_job.h"
#include "conversion/speaker.h"
#include "platform/console.h"
#include "platform/message.h"
#include "ui/file_list_model.h"
#include "ui/frm_rekoda.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <set>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace rekoda;

namespace {

// Unwinds to main, whose temporary folders then remove themselves.
struct Interrupted {};
void stopIfInterrupted() {
  if (StopSignal())
    throw Interrupted{};
}

// Each figure starts with nothing left for the disk to write back, so that
// one measurement does not pay for the files another one made.
double seconds(const std::function<void()> &work) {
  ::sync();
  QElapsedTimer t;
  t.start();
  work();
  return t.nsecsElapsed() / 1e9;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

long currentRssKb() {
  long pages = 0, resident = 0;
  if (FILE *f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
      resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// rekoda-cli run to its end, its own high-water mark kept in peakKb: looked
// at while it runs, since the children's rusage counts the benchmark's size
// at fork.
void runCli(const QString &cli, const QStringList &args, long &peakKb) {
  QProcess p;
  p.setStandardOutputFile(QProcess::nullDevice());
  p.start(cli, args);
  const QString status = QStringLiteral("/proc/%1/status").arg(p.processId());
  while (!p.waitForFinished(20)) {
    QFile proc(status);
    if (proc.open(QIODevice::ReadOnly))
      for (const QByteArray &line : proc.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
          peakKb = std::max(peakKb, line.mid(6).trimmed().split(' ').value(0).toLong());
  }
  if (p.exitCode() != 0 || p.exitStatus() != QProcess::NormalExit) {
    stopIfInterrupted();  // the signal reached rekoda-cli too
    qFatal("rekoda-cli %s failed: %s", qPrintable(args.value(0)), p.readAllStandardError().constData());
  }
}

long peakRssKb() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

QByteArray loadAverage() {
  QFile f("/proc/loadavg");
  return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').mid(0, 3).join(' ') : QByteArray("?");
}

// Files as loggers write them: DF 20-60 lines of 10-30 fields, MA records
// of 6 fields; 2-4 KB each.
QByteArray dfFile(int n) {
  QRandomGenerator rng(static_cast<quint32>(n));
  const int lines = rng.bounded(20, 61), fields = rng.bounded(10, 31);
  QByteArray b = "\"L01\",\"MINI\",\"LOGGER\",\"" + QByteArray::number(n) + "\"\r\n";
  for (int r = 2; r <= 7; ++r)
    b += "\"Header " + QByteArray::number(r) + "\",\"value\",\"\",\"x\"\r\n";
  for (int r = 8; r <= lines && b.size() < 4000; ++r) {
    b += "\"01-01-05\"";
    for (int k = 2; k <= fields && b.size() < 4000; ++k)
      b += "," + QByteArray::number(rng.bounded(1000)) + ".5";
    b += "\r\n";
  }
  return b;
}

QByteArray maFile(int n) {
  QRandomGenerator rng(static_cast<quint32>(n));
  const int target = rng.bounded(2000, 4000);
  QByteArray b;
  for (int r = 1; b.size() < target && r <= 100; ++r)
    b += QByteArray::number(r) + ",2026-12-07 12:00:00," + QByteArray::number(rng.bounded(400)) + ".5,\"L01\",\"TEMP\"," +
         QByteArray::number(r * 3) + "\r\n";
  return b;
}

void makeFiles(const QString &dir, const QString &prefix, int count, const std::function<QByteArray(int)> &content) {
  QDir().mkpath(dir);
  for (int i = 0; i < count; ++i) {
    if (i % 256 == 0)
      stopIfInterrupted();
    QFile f(QStringLiteral("%1/%2%3.L01").arg(dir, prefix).arg(i, 6, 10, QLatin1Char('0')));
    if (!f.open(QIODevice::WriteOnly) || f.write(content(i)) < 0)
      qFatal("cannot write test files");
  }
}

QStringList rawListing(const QString &dir) {
  QStringList names;
  DIR *d = opendir(QFile::encodeName(dir).constData());
  while (dirent *e = readdir(d))
    if (e->d_name[0] != '.')
      names << QString::fromLocal8Bit(e->d_name);
  closedir(d);
  return names;
}

// The fair baseline: what a careful copy does for each file. Read, write a
// temporary, sync it, rename it into place; optionally sync the folder.
void syncingCopy(const QString &from, const QString &to, bool folderSync) {
  QDir().mkpath(to);
  const int dir = ::open(QFile::encodeName(to).constData(), O_RDONLY | O_DIRECTORY);
  std::vector<char> buf(1 << 16);
  for (const QString &name : rawListing(from)) {
    const int in = ::open(QFile::encodeName(from + '/' + name).constData(), O_RDONLY);
    const QByteArray temp = QFile::encodeName(to + "/.tmp-" + name);
    const int out = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ssize_t n;
    while ((n = ::read(in, buf.data(), buf.size())) > 0)
      if (::write(out, buf.data(), size_t(n)) != n)
        qFatal("copy failed");
    if (::fdatasync(out) != 0 || ::close(out) != 0 ||
        ::rename(temp.constData(), QFile::encodeName(to + '/' + name).constData()) != 0)
      qFatal("copy failed");
    ::close(in);
    if (folderSync)
      ::fsync(dir);
  }
  ::close(dir);
}

struct Window {
  FrmRekoda w;
  QString pick;
  Window() {
    w.setFolderPicker([this](QWidget *, const QString &) { return pick; });
    w.show();
  }
  void click(const char *name) { w.findChild<QAbstractButton *>(name)->click(); }
  // Start returns at once; the run goes on on its own thread until the
  // window has shown its last result.
  void runToTheEnd() {
    click("CmdStart");
    QEventLoop loop;
    QObject::connect(&w, &FrmRekoda::runEnded, &loop, &QEventLoop::quit);
    if (w.isRunning())
      loop.exec();
  }
  void choose(const char *button, const QString &folder) {
    pick = folder;
    click(button);
  }
};

class CountingObserver : public RunObserver {
 public:
  qint64 failed = 0;
  QString firstReason;
  void fileDone(qsizetype, const FileOutcome &o) override {
    if (!o.ok && failed++ == 0)
      firstReason = o.file + ": " + English(o.reason);
  }
  void fileHandled(qsizetype, qint64) override {}
  bool stopRequested() override { return false; }
};

void expectFiles(const QString &dir, int count, const char *what) {
  const auto n = rawListing(dir).size();
  if (n != count)
    qFatal("%s: %lld files written, %d expected", what, static_cast<long long>(n), count);
}

// How long a key typed into the code box waits before the window takes it:
// keys (a letter, then Backspace) posted from another thread every 15 ms,
// as a typist's arrive, each timed from posting to its arrival.
class KeyClock : public QObject {
 public:
  explicit KeyClock(QWidget *box) : box_(box) {
    box->installEventFilter(this);
    clock_.start();
    typist_ = std::thread([this] {
      for (int n = 0; !done_; ++n) {
        {
          std::lock_guard lock(mutex_);
          posted_.push_back(clock_.nsecsElapsed());
        }
        const bool letter = n % 2 == 0;
        QCoreApplication::postEvent(box_, new QKeyEvent(QEvent::KeyPress, letter ? Qt::Key_A : Qt::Key_Backspace,
                                                         Qt::NoModifier, letter ? QStringLiteral("a") : QString()));
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
      }
    });
  }
  ~KeyClock() override { stop(); }
  void stop() {
    done_ = true;
    if (typist_.joinable())
      typist_.join();
  }
  // The waits measured since the last call, in milliseconds.
  std::vector<double> take() {
    std::lock_guard lock(mutex_);
    return std::exchange(waits_, {});
  }

 protected:
  bool eventFilter(QObject *, QEvent *event) override {
    if (event->type() == QEvent::KeyPress) {
      std::lock_guard lock(mutex_);
      if (!posted_.empty()) {
        waits_.push_back(double(clock_.nsecsElapsed() - posted_.front()) / 1e6);
        posted_.pop_front();
      }
    }
    return false;
  }

 private:
  QWidget *box_;
  QElapsedTimer clock_;
  std::mutex mutex_;
  std::deque<qint64> posted_;
  std::vector<double> waits_;
  std::atomic<bool> done_{false};
  std::thread typist_;
};

QString latencies(std::vector<double> waits) {
  if (waits.empty())
    return QStringLiteral("no keys");
  std::sort(waits.begin(), waits.end());
  const auto at = [&](double q) { return waits[std::min(waits.size() - 1, size_t(q * double(waits.size())))]; };
  return QStringLiteral("median %1 ms, 95th percentile %2 ms, max %3 ms (%4 keys)")
      .arg(at(0.5), 0, 'f', 1)
      .arg(at(0.95), 0, 'f', 1)
      .arg(waits.back(), 0, 'f', 1)
      .arg(waits.size());
}

// Typing into the code box while the window converts files, against the
// same while it is idle.
void typingLatency(const QString &root, int files) {
  const QString src = root + "/typing-src", dest = root + "/typing-dest";
  makeFiles(src, "DF", files, dfFile);
  QDir().mkpath(dest);
  Window win;
  win.choose("CmdBestand", src);
  win.choose("CmdBestand1", dest);
  auto *code = win.w.findChild<QLineEdit *>("txtExtension");
  code->setText("L02");
  win.click("CmdSelect");
  code->setFocus();
  QCoreApplication::processEvents();
  KeyClock keys(code);
  QElapsedTimer idle;
  idle.start();
  while (idle.elapsed() < 3000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  const std::vector<double> quiet = keys.take();
  code->setText("L02");
  win.runToTheEnd();
  keys.stop();
  QCoreApplication::processEvents();
  std::printf("%-40s %s\n", "typing into the code box, idle", qPrintable(latencies(quiet)));
  std::printf("%-40s %s\n\n", qPrintable(QStringLiteral("... during a run of %1 files").arg(files)),
              qPrintable(latencies(keys.take())));
}

constexpr char kUsage[] =
    "Usage: rekoda_bench [--list N] [--convert N] [--rounds N] [--dir PARENT] [--source-dir PARENT]\n"
    "                    [--cli PATH] [--variants 0,2,...] [--typing N]\n"
    "Measures listing, and conversion against copies that do the same work at the same\n"
    "durability (writes about 2 x N files per round and variant below PARENT).\n"
    "\n"
    "  --list N            files listed (40000)\n"
    "  --convert N         files converted per family (10000)\n"
    "  --rounds N          rounds; ratios are taken within a round (3)\n"
    "  --dir PARENT        where the outputs go (the temporary folder)\n"
    "  --source-dir PARENT where the files to convert are made (beside the outputs)\n"
    "  --cli PATH          the rekoda-cli to measure\n"
    "  --variants LIST     some of 0: syncing copy, 1: with folder syncs, 2: core, 3: window,\n"
    "                      4: rekoda-cli (0 is always run)\n"
    "  --typing N          keys typed into the code box during a window run of N files (5000;\n"
    "                      0: not measured)\n"
    "  -h, --help          show this help and exit\n"
    "Interrupted (Ctrl+C), it removes its folders after the variant in hand.\n";

int usageError(const QString &problem) {
  std::fprintf(stderr, "rekoda_bench: %s\nTry 'rekoda_bench --help' for more information.\n", qPrintable(problem));
  return 2;
}

}  // namespace

int main(int argc, char **argv) {
  int listCount = 40000, convertCount = 10000, rounds = 3, typing = 5000;
  long cliPeakKb = 0;  // the largest rekoda-cli run
  long undoPeakKb = 0;  // and the largest of their undos
  std::vector<double> undoTimes;
  QString parent, sourceParent;  // sources default to beside the outputs
  QString cli;
  std::set<int> chosen = {0, 1, 2, 3, 4};
  for (int i = 1; i < argc; ++i) {
    const QByteArray opt = argv[i];
    if (opt == "-h" || opt == "--help") {
      std::fputs(kUsage, stdout);
      return std::fflush(stdout) == 0 ? 0 : 1;
    }
    static const QList<QByteArray> kOptions = {"--list", "--convert", "--rounds", "--dir",
                                               "--source-dir", "--cli", "--variants", "--typing"};
    if (!kOptions.contains(opt))
      return usageError(QStringLiteral("unknown option %1").arg(QString::fromLocal8Bit(opt)));
    if (i + 1 >= argc)
      return usageError(QStringLiteral("option %1 needs a value").arg(QString::fromLocal8Bit(opt)));
    const QByteArray value = argv[++i];
    bool number = false;
    const int n = value.toInt(&number);
    if ((opt == "--list" || opt == "--convert" || opt == "--rounds") && (!number || n < 1))
      return usageError(QStringLiteral("option %1 needs a count, not '%2'").arg(opt, QString::fromLocal8Bit(value)));
    if (opt == "--typing" && (!number || n < 0))
      return usageError(QStringLiteral("option %1 needs a count, not '%2'").arg(opt, QString::fromLocal8Bit(value)));
    if (opt == "--list") listCount = n;
    else if (opt == "--convert") convertCount = n;
    else if (opt == "--rounds") rounds = n;
    else if (opt == "--typing") typing = n;
    else if (opt == "--dir") parent = QString::fromLocal8Bit(value);
    else if (opt == "--source-dir") sourceParent = QString::fromLocal8Bit(value);
    else if (opt == "--cli") cli = QString::fromLocal8Bit(value);
    else {
      chosen = {0};
      for (const QByteArray &v : value.split(',')) {
        const int variant = v.toInt(&number);
        if (!number || variant < 0 || variant > 4)
          return usageError(QStringLiteral("no variant '%1' (0 to 4)").arg(QString::fromLocal8Bit(v)));
        chosen.insert(variant);
      }
    }
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (parent.isEmpty())
    parent = QDir::tempPath();
  if (cli.isEmpty())
    cli = QDir(QCoreApplication::applicationDirPath()).filePath("../src/rekoda-cli");
  CatchStopSignals();
  QDir().mkpath(parent);
  QTemporaryDir root(parent + "/rekoda-bench-XXXXXX");
  // The sources on another disk than the outputs (a day's files written from
  // the laptop to a stick), when asked.
  QTemporaryDir sources((sourceParent.isEmpty() ? parent : sourceParent) + "/rekoda-bench-src-XXXXXX");
  for (const QTemporaryDir *dir : {&root, &sources})
    if (!dir->isValid()) {
      std::fprintf(stderr, "rekoda_bench: cannot make its folder: %s\n", qPrintable(dir->errorString()));
      return 1;
    }
  // The runs' journals (every variant keeps one, as it ships) stay in the
  // benchmark's folders, not in the user's: on the computer's own disk, as
  // in use, when the sources are there; else on the disk measured.
  qputenv("XDG_DATA_HOME", (sourceParent.isEmpty() ? root : sources).filePath("data").toLocal8Bit());
  try {
    int failures = 0;
    SetMessageHandler([&failures](const QString &text, int) {
      ++failures;
      std::fprintf(stderr, "message: %s\n", qPrintable(text));
    });

    std::printf("Rekoda benchmark: %d files listed, %d files converted per family, %d rounds, in %s\n",
                listCount, convertCount, rounds, qPrintable(root.path()));
    // The cost every variant pays alike for each file it creates; far above
    // a few tens of microseconds means the file system is still skipping
    // recently deleted inodes, and every ratio is pulled towards 1.
    {
      const QString probe = root.filePath("probe");
      QDir().mkpath(probe);
      const double s = seconds([&] { makeFiles(probe, "P", 1000, [](int) { return QByteArray(); }); });
      std::printf("creating an empty file in a new folder: %.0f us\n\n", s * 1e3);
    }

    // Listing.
    const QString listDir = root.filePath("list");
    makeFiles(listDir, "DF", listCount, [](int) { return QByteArray("L01,MINI,LOGGER\r\n"); });
    std::vector<double> raw, window;
    {
      Window win;
      win.choose("CmdBestand", listDir);
      for (int i = 0; i < 5; ++i) {
        raw.push_back(seconds([&] { rawListing(listDir); }));
        window.push_back(seconds([&] {
          win.click("OptDF");
          app.processEvents();
        }));
      }
      if (win.w.findChild<QTreeView *>("LsvDirList")->model()->rowCount() != listCount)
        qFatal("listed %d rows", win.w.findChild<QTreeView *>("LsvDirList")->model()->rowCount());
    }
    // The Code column: from a fresh listing until every row shows its code,
    // read on the window's worker thread while the window's own goes on.
    // The longest the window's thread is busy at once, while codes are read
    // and when idle: what a technician typing meanwhile would feel.
    double codesS = 0, busiestReading = 0, busiestIdle = 0;
    {
      Window win;
      const QAbstractItemModel *model = win.w.findChild<QTreeView *>("LsvDirList")->model();
      const auto known = [model](int r) { return !model->index(r, FileListModel::CodeColumn).data().toString().isEmpty(); };
      // The last row in list order is read last.
      const auto busiest = [](const std::function<bool()> &done) {
        double most = 0;
        QElapsedTimer t;
        while (!done()) {
          t.start();
          QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
          most = std::max(most, t.nsecsElapsed() / 1e6);
        }
        return most;
      };
      codesS = seconds([&] {
        win.choose("CmdBestand", listDir);
        busiestReading = busiest([&] { return known(model->rowCount() - 1); });
      });
      for (int r = 0; r < model->rowCount(); ++r)
        if (!known(r))
          qFatal("row %d has no code", r);
      QElapsedTimer idle;
      idle.start();
      busiestIdle = busiest([&] { return idle.elapsed() > 500; });
    }
    const double rawS = median(raw), listS = median(window);
    std::printf("%-40s %8.3f s\n", "raw directory listing", rawS);
    std::printf("%-40s %8.3f s   %.2fx raw\n", "GetFiles through the window", listS, listS / rawS);
    std::printf("%-40s %8.3f s\n", "every code known after listing", codesS);
    std::printf("%-40s %8.1f ms reading codes, %.1f ms idle\n\n", "longest busy spell of the window", busiestReading,
                busiestIdle);
    if (typing > 0)
      typingLatency(root.path(), typing);

    struct Kind {
      const char *name, *option, *flag;
      std::function<QByteArray(int)> content;
    };
    const Kind families[] = {{"DF", "OptDF", "df", dfFile}, {"MA", "OptMA", "ma", maFile}};
    const char *variants[] = {"copy: temp + sync + rename", "copy: the same + folder sync", "conversion, core alone",
                              "conversion through the window", "conversion by rekoda-cli"};
    constexpr int kVariants = 5;
    for (const Kind &f : families) {
      const QString src = sources.filePath(QStringLiteral("%1-src").arg(f.name));
      makeFiles(src, f.name, convertCount, f.content);
      qint64 bytes = 0;
      for (int i = 0; i < convertCount; ++i)
        bytes += f.content(i).size();
      Window win;
      win.click(f.option);
      win.choose("CmdBestand", src);
      win.w.findChild<QLineEdit *>("txtExtension")->setText("L02");
      win.click("CmdSelect");
      app.processEvents();

      ConversionJob job;
      job.source = src;
      job.code = "L02";
      job.family = f.option[3] == 'D' ? Family::DF : Family::MA;
      job.files = rawListing(src);
      std::sort(job.files.begin(), job.files.end());

      std::printf("%s, %d files, %.1f KB on average\n", f.name, convertCount, bytes / 1024.0 / convertCount);
      std::map<int, std::vector<double>> times;
      long rssGrowth = 0;
      for (int round = 0; round < rounds; ++round) {
        std::printf("  round %d, load average %s:", round + 1, loadAverage().constData());
        for (int k = 0; k < kVariants; ++k) {
          const int v = (k + round) % kVariants;  // rotated order
          if (!chosen.count(v))
            continue;
          const QString target = root.filePath(QStringLiteral("%1-%2-%3").arg(f.name).arg(round).arg(v));
          QDir().mkpath(target);
          job.dest = target;
          if (v == 3)
            win.choose("CmdBestand1", target);
          double s = 0;
          switch (v) {
            case 0: s = seconds([&] { syncingCopy(src, target, false); }); break;
            case 1: s = seconds([&] { syncingCopy(src, target, true); }); break;
            case 2: {
              CountingObserver observer;
              const long before = currentRssKb();
              s = seconds([&] { JournaledJob(job, QDateTime::currentDateTime()).run(observer); });
              rssGrowth = std::max(rssGrowth, currentRssKb() - before);
              if (observer.failed)
                qFatal("%lld files failed, first %s", static_cast<long long>(observer.failed),
                       qPrintable(observer.firstReason));
              break;
            }
            case 3: s = seconds([&] { win.runToTheEnd(); }); break;
            case 4:
              s = seconds([&] {
                runCli(cli, {"--family", f.flag, "--code", "L02", "--from", src, "--to", target, "--quiet"}, cliPeakKb);
              });
              break;
          }
          stopIfInterrupted();
          expectFiles(target, convertCount, variants[v]);
          if (v == 4) {  // its undo, at once: the newest run
            undoTimes.push_back(seconds([&] { runCli(cli, {"--undo", "--quiet"}, undoPeakKb); }));
            stopIfInterrupted();
            expectFiles(target, 0, "the undo of rekoda-cli's run");
          }
          times[v].push_back(s);
          std::printf(" %.2f", s);
        }
        std::printf("\n");
      }
      for (int v = 0; v < kVariants; ++v) {
        if (!chosen.count(v))
          continue;
        std::vector<double> ratios;
        for (int r = 0; r < rounds; ++r)
          ratios.push_back(times[v][size_t(r)] / times[0][size_t(r)]);
        const auto [lo, hi] = std::minmax_element(ratios.begin(), ratios.end());
        std::printf("  %-34s %7.2f s   %.2fx syncing copy (range %.2f-%.2f)\n", variants[v], median(times[v]),
                    median(ratios), *lo, *hi);
      }
      std::printf("  %-34s %7ld KiB over %d files\n\n", "memory growth of a run (core)", rssGrowth, convertCount);
    }
    if (chosen.count(4)) {
      // Memory that grows with the number of files shows against a run of
      // 20,000 and one of 100,000.
      std::printf("rekoda-cli peak resident memory: %ld KiB over %d files\n", cliPeakKb, convertCount);
      std::printf("rekoda-cli --undo of that run: %.2f s (median), peak resident memory %ld KiB\n",
                  median(undoTimes), undoPeakKb);
    }
    std::printf("peak resident memory: %ld KiB; messages shown: %d\n", peakRssKb(), failures);
    return failures == 0 ? 0 : 1;
  } catch (const Interrupted &) {
    std::fprintf(stderr, "\nrekoda_bench: interrupted; its folders are removed\n");
    return 128 + StopSignal();
  }
}
