// Measures listing and conversion through the real window against plain file
// operations on the same files, in one run:
//   rekoda_bench [--list N] [--convert N] [--rounds N] [--dir PARENT]
// Disk figures vary from run to run on shared machines, so the copies and the
// conversion take turns for several rounds and the medians are reported.

#include "ui/frm_rekoda.h"

#include "platform/message.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace rekoda;

namespace {

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
  return v[v.size() / 2];
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

long peakRssKb() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

QByteArray dfFile(int n) {
  QByteArray b = "\"L01\",\"MINI\",\"LOGGER\",\"" + QByteArray::number(n) + "\"\r\n";
  for (int r = 2; r <= 7; ++r)
    b += "\"Header " + QByteArray::number(r) + "\",\"value\",\"\",\"x\"\r\n";
  for (int r = 8; r <= 100; ++r) {
    b += "\"01-01-05\"";
    for (int k = 2; k <= 10; ++k)
      b += "," + QByteArray::number(r * 10 + k) + ".5";
    b += "\r\n";
  }
  return b;
}

QByteArray maFile() {
  QByteArray b;
  for (int r = 1; r <= 100; ++r)
    b += QByteArray::number(r) + ",12:00:00,17.5,\"L01\",\"TEMP\"," + QByteArray::number(r * 3) + "\r\n";
  return b;
}

void makeFiles(const QString &dir, const QString &prefix, int count, const std::function<QByteArray(int)> &content) {
  QDir().mkpath(dir);
  for (int i = 0; i < count; ++i) {
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

void copyAll(const QString &from, const QString &to, bool sync) {
  QDir().mkpath(to);
  for (const QString &name : QDir(from).entryList(QDir::Files)) {
    QFile in(from + '/' + name);
    QFile out(to + '/' + name);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
      qFatal("copy failed");
    out.write(in.readAll());
    out.flush();
    if (sync)
      fsync(out.handle());
  }
}

struct Window {
  FrmRekoda w;
  QString pick;
  Window() {
    w.setFolderPicker([this](QWidget *, const QString &) { return pick; });
    w.show();
  }
  void click(const char *name) { w.findChild<QAbstractButton *>(name)->click(); }
  void choose(const char *button, const QString &folder) {
    pick = folder;
    click(button);
  }
};

}  // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int listCount = 40000, convertCount = 10000, rounds = 3;
  QString parent = QDir::tempPath();
  for (int i = 1; i + 1 < argc; i += 2) {
    const QByteArray opt = argv[i];
    if (opt == "--list") listCount = atoi(argv[i + 1]);
    else if (opt == "--convert") convertCount = atoi(argv[i + 1]);
    else if (opt == "--rounds") rounds = std::max(1, atoi(argv[i + 1]));
    else if (opt == "--dir") parent = QString::fromLocal8Bit(argv[i + 1]);
  }
  QTemporaryDir root(parent + "/rekoda-bench-XXXXXX");
  int failures = 0;
  SetMessageHandler([&failures](const QString &text, int) {
    ++failures;
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
  });

  std::printf("Rekoda benchmark: %d files listed, %d files converted per family, %d rounds, in %s\n\n",
              listCount, convertCount, rounds, qPrintable(root.path()));

  // Listing.
  const QString listDir = root.filePath("list");
  makeFiles(listDir, "DF", listCount, [](int) { return QByteArray("L01,MINI,LOGGER\r\n"); });
  std::vector<double> raw, window;
  for (int i = 0; i < 5; ++i)
    raw.push_back(seconds([&] { rawListing(listDir); }));
  {
    Window win;
    win.choose("CmdBestand", listDir);
    for (int i = 0; i < 5; ++i)
      window.push_back(seconds([&] {
        win.click("OptDF");
        app.processEvents();
      }));
    if (win.w.rowCount() != listCount)
      qFatal("listed %lld rows", static_cast<long long>(win.w.rowCount()));
  }
  const double rawS = median(raw), listS = median(window);
  std::printf("%-34s %9.3f s\n", "raw directory listing", rawS);
  std::printf("%-34s %9.3f s   %.2fx raw\n\n", "GetFiles through the window", listS, listS / rawS);

  // Conversion, each family against plain and syncing copies of its files.
  struct Family {
    const char *name, *option, *prefix;
    std::function<QByteArray(int)> content;
  };
  const Family families[] = {{"DF", "OptDF", "DF", dfFile}, {"MA", "OptMA", "MA", [](int) { return maFile(); }}};
  for (const Family &f : families) {
    const QString src = root.filePath(QStringLiteral("%1-src").arg(f.name));
    makeFiles(src, f.prefix, convertCount, f.content);
    Window win;
    const QString out = root.filePath(QStringLiteral("%1-out").arg(f.name));
    win.click(f.option);
    win.choose("CmdBestand", src);
    win.choose("CmdBestand1", out);
    win.w.findChild<QLineEdit *>("txtExtension")->setText("L02");
    win.click("CmdSelect");
    app.processEvents();

    std::vector<double> copies, syncs, runs;
    long rssBefore = 0, rssAfter = 0;
    for (int round = 0; round < rounds; ++round) {
      const QString copy = root.filePath(QStringLiteral("%1-copy").arg(f.name));
      const QString synced = root.filePath(QStringLiteral("%1-sync").arg(f.name));
      for (const QString &d : {copy, synced, out})
        QDir(d).removeRecursively();
      QDir().mkpath(out);
      copies.push_back(seconds([&] { copyAll(src, copy, false); }));
      syncs.push_back(seconds([&] { copyAll(src, synced, true); }));
      rssBefore = currentRssKb();
      runs.push_back(seconds([&] { win.click("CmdStart"); }));
      rssAfter = currentRssKb();
      const auto written = QDir(out).entryList(QDir::Files).size();
      if (written != convertCount)
        qFatal("%s: %lld files written", f.name, static_cast<long long>(written));
    }
    const double copyS = median(copies), syncS = median(syncs), runS = median(runs);

    std::printf("%s, %d files of %lld bytes\n", f.name, convertCount, static_cast<long long>(f.content(0).size()));
    std::printf("  %-32s %9.3f s\n", "plain copy", copyS);
    std::printf("  %-32s %9.3f s\n", "copy with fsync per file", syncS);
    std::printf("  %-32s %9.3f s   %.2fx fsync copy, %.2fx plain copy\n", "conversion through the window", runS,
                runS / syncS, runS / copyS);
    std::printf("  %-32s %9ld KiB (%+.1f bytes per file)\n\n", "memory growth in last run",
                rssAfter - rssBefore, (rssAfter - rssBefore) * 1024.0 / convertCount);
  }
  std::printf("peak resident memory: %ld KiB; messages shown: %d\n", peakRssKb(), failures);
  return failures == 0 ? 0 : 1;
}
