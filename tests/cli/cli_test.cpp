// rekoda-cli run as a process on real folders, and the durable writer under
// faults injected into that process.

#include "test_support.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#include <cerrno>
#endif


using namespace rekoda::test;

namespace {

const QByteArray kDF = "L01,MINI,LOGGER\r\n\"01-01-05\",12.5,13.5\r\n";
const QByteArray kDFOut = "\"L02\",\"MINI\",\"LOGGER\"\r\n\"01-01-05\",\"12.5\",\"13.5\"\r\n";

struct Result {
  int exit = -1;
  QByteArray out, err;
  QList<QByteArrayList> lines() const {
    QList<QByteArrayList> rows;
    for (const QByteArray &l : out.split('\n'))
      if (!l.isEmpty())
        rows << l.split('\t');
    return rows;
  }
};

Result cli(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment()) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(REKODA_CLI, args);
  EXPECT_TRUE(p.waitForFinished(60000));
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
          p.readAllStandardError()};
}

QStringList job(const TempFolder &in, const TempFolder &out, const QString &code = "L02") {
  return {"--family", "df", "--code", code, "--from", in.path(), "--to", out.path()};
}

QByteArray lines(int n) {
  QByteArray b = "L01,MINI,LOGGER\r\n";
  for (int i = 2; i <= n; ++i)
    b += "1,2\r\n";
  return b;
}

}  // namespace

TEST(Cli, dryRunPredictsTheRealRunOnAMixedFolder) {
  TempFolder in, out;
  in.write("DF1.L01", kDF);
  in.write("DF2.L01", "L01,NOT,ALOGGER\r\n");
  in.write("DF3.L01", lines(101));
  in.write("DF4.L01", kDF);
  in.write("DF4.L03", kDF);  // onto the same output as DF4.L01
  in.write("DF5", kDF);
  const Result dry = cli(job(in, out) << "--dry-run");
  EXPECT_TRUE(out.entries().isEmpty());
  const Result real = cli(job(in, out));
  EXPECT_EQ(dry.out, real.out);
  EXPECT_EQ(dry.exit, 1);
  EXPECT_EQ(real.exit, 1);
  const QList<QByteArrayList> expected = {
      {"DF1.L01", "DF1.L02", "OK", ""},
      {"DF2.L01", "DF2.L02", "Faild", "not a DF file (no MINI LOGGER or TREND MONITOR marker)"},
      {"DF3.L01", "DF3.L02", "Faild", "more than 100 lines"},
      {"DF4.L01", "DF4.L02", "OK", ""},
      {"DF4.L03", "DF4.L02", "Faild", "Destination file already exists!"},
      {"DF5", "", "Faild", "name has no dot"}};
  EXPECT_EQ(real.lines(), expected);
  EXPECT_EQ(out.entries(), (QStringList{"DF1.L02", "DF4.L02"}));
  EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);

  // JSON, parsed back; the names given pick the files, in that order.
  const Result json = cli(job(in, out, "l09") << "--json" << "DF2.L01" << "DF1.L01");
  EXPECT_EQ(json.exit, 1);
  const QByteArrayList rows = json.out.trimmed().split('\n');
  ASSERT_EQ(rows.size(), 2);
  const QJsonObject first = QJsonDocument::fromJson(rows[0]).object();
  EXPECT_EQ(first["file"].toString(), "DF2.L01");
  EXPECT_EQ(first["result"].toString(), "Faild");
  EXPECT_TRUE(first["reason"].toString().startsWith("not a DF file"));
  const QJsonObject second = QJsonDocument::fromJson(rows[1]).object();
  EXPECT_EQ(second["output"].toString(), "DF1.L09");  // upper-cased as the window does
  EXPECT_EQ(second["result"].toString(), "OK");
  EXPECT_EQ(second["reason"].toString(), "");
}

TEST(Cli, exitStatusesAndInputChecks) {
  TempFolder in, out;
  in.write("DF1.L01", kDF);
  EXPECT_EQ(cli(job(in, out)).exit, 0);
  EXPECT_EQ(cli({"--family", "df"}).exit, 2);
  const Result unknown = cli(job(in, out) << "--fast");
  EXPECT_EQ(unknown.exit, 2);
  EXPECT_TRUE(unknown.err.contains("--family df|ma --code CODE")) << unknown.err.constData();
  EXPECT_EQ(cli({"--help"}).exit, 0);

  const Result badCode = cli(job(in, out, "A:B"));
  EXPECT_EQ(badCode.exit, 2);
  EXPECT_EQ(badCode.err, "Invalid new extension!\n");
  const Result noSource = cli({"--family", "df", "--code", "X", "--from", " ", "--to", out.path()});
  EXPECT_EQ(noSource.err, "Source datapath not found!\n");
  const Result noFiles = cli({"--family", "ma", "--code", "X", "--from", in.path(), "--to", out.path()});
  EXPECT_EQ(noFiles.exit, 2);
  EXPECT_EQ(noFiles.err, "No rows found for conversion!\n");
  const Result unlistable = cli({"--family", "df", "--code", "X", "--from", in.file("gone"), "--to", out.path()});
  EXPECT_EQ(unlistable.exit, 2);
  EXPECT_TRUE(unlistable.err.contains("No such file or directory"));
}

// Each step of the writer failing for real: the row fails with the system's
// reason, an existing target keeps its old content, and no temporary file
// stays behind. Run with unnamed temporaries and with named ones.
#ifndef REKODA_FAULT_SHIM
#define REKODA_FAULT_SHIM ""
#endif

TEST(CliFaults, everyFailingStepFailsItsFilesAndKeepsTheOldTargets) {
  if (!*REKODA_FAULT_SHIM)
    GTEST_SKIP() << "the fault shim is an LD_PRELOAD object: Linux only";
  for (const bool named : {false, true}) {
    for (const QString step : {"open", "write", "write0", "fdatasync", "close", "link", "rename"}) {
      if (named && step == "link")
        continue;  // named temporaries are renamed, never linked
      SCOPED_TRACE((step + (named ? " named" : " unnamed")).toStdString());
      TempFolder in, out;
      in.write("DF1.L01", kDF);
      in.write("DF2.L01", kDF);
      in.write("DF3.L01", kDF);  // a new name: linked directly when unnamed
      const QByteArray old = "yesterday's complete output\r\n";
      out.write("DF1.L02", old);
      out.write("DF2.L02", old);
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("LD_PRELOAD", REKODA_FAULT_SHIM);
      env.insert("REKODA_FAULT", step);
      env.insert("REKODA_FAULT_DIR", out.path());
      if (named)
        env.insert("REKODA_TEST_NAMED_TEMPORARIES", "1");
      const Result r = cli(job(in, out), env);
      EXPECT_EQ(r.exit, 1) << r.err.constData();
      const bool newNameUntouched = !named && step == "rename";
      const auto rows = r.lines();
      ASSERT_EQ(rows.size(), 3);
      for (int i = 0; i < 3; ++i) {
        const bool ok = i == 2 && newNameUntouched;
        EXPECT_EQ(rows[i].value(2), ok ? "OK" : "Faild") << i;
        EXPECT_EQ(rows[i].value(3), ok ? "" : "Input/output error") << i;
      }
      EXPECT_EQ(readBytes(out.file("DF1.L02")), old);
      EXPECT_EQ(readBytes(out.file("DF2.L02")), old);
      EXPECT_EQ(out.entries(), newNameUntouched ? (QStringList{"DF1.L02", "DF2.L02", "DF3.L02"})
                                                : (QStringList{"DF1.L02", "DF2.L02"}));
    }
  }
}

// Limits of the process, a name taken at the last moment, an interrupted
// folder sync and a clean-up racing the rename: healthy files all convert,
// the others fail alone with their reason, and nothing is left behind.
TEST(CliFaults, limitsRacesAndInterruptedCallsFailNothingHealthy) {
#ifdef _WIN32
  GTEST_SKIP() << "rlimits and the fault shim are POSIX";
#else
  auto run = [](const QStringList &args, const QMap<QString, QString> &vars, rlimit limit = {}, int resource = -1) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = vars.begin(); it != vars.end(); ++it)
      env.insert(it.key(), it.value());
    QProcess p;
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([=] {
      ::signal(SIGXFSZ, SIG_DFL);  // as a shell leaves it
      if (resource >= 0)
        ::setrlimit(resource, &limit);
    });
    p.start(REKODA_CLI, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return Result{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1000 - p.exitCode(),
                  p.readAllStandardOutput(), p.readAllStandardError()};
  };
  {
    SCOPED_TRACE("ulimit -f: the big file fails, the run goes on");
    TempFolder in, out;
    in.write("DF1.L01", lines(100));  // 600 bytes out
    in.write("DF2.L01", kDF);
    const Result r = run(job(in, out), {}, rlimit{300, RLIM_INFINITY}, RLIMIT_FSIZE);
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.lines(), (QList<QByteArrayList>{{"DF1.L01", "DF1.L02", "Faild", "File too large"},
                                                {"DF2.L01", "DF2.L02", "OK", ""}}));
    EXPECT_EQ(out.entries(), QStringList{"DF2.L02"});
  }
  {
    SCOPED_TRACE("ulimit -n 64: 200 files all convert");
    TempFolder in, out;
    for (int i = 0; i < 200; ++i)
      in.write(QString("DF%1.L01").arg(i, 3, 10, QChar('0')), kDF);
    for (const char *named : {"0", "1"}) {
      const Result r = run(job(in, out), {{"REKODA_TEST_NAMED_TEMPORARIES", named}}, rlimit{64, 64}, RLIMIT_NOFILE);
      EXPECT_EQ(r.exit, 0) << named << r.out.left(300).constData();
      EXPECT_EQ(r.lines().size(), 200);
      EXPECT_EQ(out.entries().size(), 200);
    }
  }
  const QMap<QString, QString> shim = {{"LD_PRELOAD", REKODA_FAULT_SHIM}};
  for (const char *named : {"0", "1"}) {
    SCOPED_TRACE(named);
    TempFolder in, out;
    in.write("DF1.L01", kDF);
    in.write("DF2.L01", kDF);
    out.write("DF2.L02", "old\r\n");
    auto with = [&](QMap<QString, QString> vars) {
      vars.insert(shim);
      vars.insert("REKODA_FAULT_DIR", out.path());
      vars.insert("REKODA_TEST_NAMED_TEMPORARIES", named);
      return run(job(in, out), vars);
    };
    // A link takes the new name just before the file does: never replaced.
    Result r = with({{"REKODA_FAULT", "appear"}});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.lines().value(0), (QByteArrayList{"DF1.L01", "DF1.L02", "Faild", "Destination file already exists!"}));
    EXPECT_EQ(r.lines().value(1), (QByteArrayList{"DF2.L01", "DF2.L02", "OK", ""}));
    EXPECT_TRUE(QFileInfo(out.file("DF1.L02")).isSymLink());
    EXPECT_EQ(out.entries(), (QStringList{"DF1.L02", "DF2.L02"}));
    ASSERT_TRUE(QFile::remove(out.file("DF1.L02")));
    // An interrupted folder sync is asked again.
    r = with({{"REKODA_FAULT", "fsync"}, {"REKODA_FAULT_ERRNO", QString::number(EINTR)}, {"REKODA_FAULT_COUNT", "1"}});
    EXPECT_EQ(r.exit, 0) << r.out.constData();
    // Every temporary is still locked when it is renamed into place.
    r = with({{"REKODA_FAULT", "unlocked"}});
    EXPECT_EQ(r.exit, 0) << r.out.constData();
    EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);
    EXPECT_EQ(readBytes(out.file("DF2.L02")), kDFOut);
  }
#endif
}

// The folder sync fails for the second group only: the first group's files
// are OK, every later one fails with the reason, and all are whole.
TEST(CliFaults, failedFolderSyncFailsJustItsGroup) {
  if (!*REKODA_FAULT_SHIM)
    GTEST_SKIP() << "the fault shim is an LD_PRELOAD object: Linux only";
  TempFolder in, out;
  for (int i = 0; i < 150; ++i)
    in.write(QString("DF%1.L01").arg(i, 3, 10, QChar('0')), kDF);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("LD_PRELOAD", REKODA_FAULT_SHIM);
  env.insert("REKODA_FAULT", "fsync");
  env.insert("REKODA_FAULT_DIR", out.path());
  env.insert("REKODA_FAULT_SKIP", "1");
  const Result r = cli(job(in, out), env);
  EXPECT_EQ(r.exit, 1);
  const auto rows = r.lines();
  ASSERT_EQ(rows.size(), 150);
  int ok = 0;
  while (ok < rows.size() && rows[ok].value(2) == "OK")
    ++ok;
  EXPECT_GE(ok, 1);
  EXPECT_LE(ok, 64);
  for (int i = ok; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].value(2), "Faild") << i;
    EXPECT_EQ(rows[i].value(3), "Input/output error") << i;
  }
  for (const QString &name : out.entries())
    EXPECT_EQ(readBytes(out.file(name)), kDFOut) << name.toStdString();
}

// A file too big for the memory the process may use fails alone; the run
// goes on with the next file.
TEST(CliFaults, fileThatCannotBeHeldInMemoryFailsAlone) {
#ifdef _WIN32
  GTEST_SKIP() << "no address-space limit to inject this with on Windows";
#else
  TempFolder in, out;
  in.write("MA1.L01", QByteArray(60 * 1024 * 1024, 'x'));  // one line, one field
  in.write("MA2.L01", "1,2,3,L01,T,4\r\n");
  QProcess p;
  p.setChildProcessModifier([] {
    rlimit rl{150u << 20, 150u << 20};
    ::setrlimit(RLIMIT_AS, &rl);
  });
  p.start(REKODA_CLI, {"--family", "ma", "--code", "L02", "--from", in.path(), "--to", out.path()});
  ASSERT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_EQ(p.readAllStandardOutput(), QByteArray("MA1.L01\tMA1.L02\tFaild\tnot enough memory for this file\n"
                                                  "MA2.L01\tMA2.L02\tOK\t\n"));
  EXPECT_EQ(out.entries(), QStringList{"MA2.L02"});
#endif
}

// A run killed at random moments: every output is absent, the old file, or
// whole; no temporary file is ever visible, and the next run clears the
// hidden ones an interrupted run left.
TEST(CliFaults, killedRunLeavesOldOrWholeFilesOnly) {
#ifdef _WIN32
  GTEST_SKIP() << "under wine a terminated child leaves its console host holding the test's output open";
#endif
  TempFolder in, reference;
  const int files = 300;
  for (int i = 0; i < files; ++i)
    in.write(QString("DF%1.L01").arg(i, 3, 10, QChar('0')), lines(40));
  ASSERT_EQ(cli(job(in, reference) << "--quiet").exit, 0);
  const QByteArray whole = readBytes(reference.file("DF000.L02"));
  const QByteArray old = "old\r\n";

  for (int trial = 0; trial < 12; ++trial) {
    SCOPED_TRACE(trial);
    TempFolder out;
    for (int i = 0; i < files; i += 2)
      out.write(QString("DF%1.L02").arg(i, 3, 10, QChar('0')), old);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (trial % 2)
      env.insert("REKODA_TEST_NAMED_TEMPORARIES", "1");
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(REKODA_CLI, job(in, out) << "--quiet");
    ASSERT_TRUE(p.waitForStarted());
    QThread::msleep(QRandomGenerator::global()->bounded(5, 400));
    p.kill();  // SIGKILL; TerminateProcess on Windows
    p.waitForFinished();
    for (const QString &name : out.entries()) {
      if (name.startsWith('.'))
        continue;  // hidden: no listing shows it
      const QByteArray bytes = readBytes(out.file(name));
      EXPECT_TRUE(bytes == old || bytes == whole) << name.toStdString();
      EXPECT_TRUE(name.startsWith("DF") && name.endsWith(".L02")) << name.toStdString();
    }
    ASSERT_EQ(cli(job(in, out) << "--quiet", env).exit, 0);
    for (const QString &name : out.entries())
      EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
    EXPECT_EQ(out.entries().size(), files);
  }
}
