// Undo run as a process: what it takes back, what it keeps and why, and
// that it holds with two of anything at once and any call failing.

#include "cli_support.h"

#include "platform/file_name.h"
#include "conversion/run_journal.h"
#include "platform/file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace rekoda;
using namespace rekoda::test;

// Runs that begin in one second are listed, and undone, newest first.
TEST(CliUndo, runsOfOneSecondKeepTheirOrder) {
  TempFolder data, in, out;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_DATA_HOME", data.path());
  in.write("DF1.L01", kDF);
  QStringList codes;
  for (int i = 1; i <= 12; ++i) {
    codes.prepend(QString("C%1").arg(i));
    ASSERT_EQ(cli(job(in, out, codes.first()) << "--quiet", env).exit, 0);
  }
  // On Windows the journals are the user's, with the runs of the tests
  // beside this one: these runs are the ones into this destination.
  QStringList listed;
  QString firstId;
  for (const QByteArrayList &run : cli({"--list-runs"}, env).lines()) {
    if (run.value(4).endsWith(QFileInfo(out.path()).fileName().toUtf8())) {
      listed << run.value(3);
      firstId = run.value(0);
    }
  }
  EXPECT_EQ(listed, codes);
#ifndef _WIN32
  EXPECT_EQ(cli({"--undo", "--quiet"}, env).lines(), (QList<QByteArrayList>{{"DF1.C12", "DF1.L01", "OK", ""}}));
  // An ID as a word of its own is that run, not the newest.
  EXPECT_EQ(cli({"--undo", firstId, "--quiet"}, env).lines(), (QList<QByteArrayList>{{"DF1.C1", "DF1.L01", "OK", ""}}));
#endif
}

// Undo leaves the destination as it was before the run, byte for byte, and
// the trash as it was, but for what it must keep: an output changed since
// the run, or one whose source is gone. A killed run, an undo cut short and
// a second undo all end there too.
TEST(CliUndo, undoLeavesTheFolderAndTheTrashAsTheyWere) {
#ifdef _WIN32
  GTEST_SKIP() << "the freedesktop trash and SIGKILL make the fixtures";
#else
  enum class Case { Plain, Replacing, OutputChanged, SourceDeleted, RunKilled, UndoKilled, UndoTwice, JournalCut };
  const std::pair<Case, const char *> cases[] = {
      {Case::Plain, "a plain run"},         {Case::Replacing, "a run that replaced files"},
      {Case::OutputChanged, "an output changed since, to the same size"},
      {Case::SourceDeleted, "a source deleted since"},
      {Case::RunKilled, "a run killed mid-way"},        {Case::UndoKilled, "an undo killed mid-way, then again"},
      {Case::UndoTwice, "an undo twice"},   {Case::JournalCut, "a journal whose last line was cut short"}};
  for (const auto &[c, what] : cases) {
    SCOPED_TRACE(what);
    TempFolder data, in, out;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", data.path());
    if (c == Case::RunKilled)
      env.insert("REKODA_TEST_NAMED_TEMPORARIES", "1");  // a killed run leaves them, hidden
    const int files = c == Case::RunKilled || c == Case::UndoKilled ? 2000 : 20;
    for (int i = 0; i < files; ++i)
      in.write(QString("DF%1.L01").arg(i, 4, 10, QChar('0')), kDF);
    out.write("notes.txt", "the technician's own\r\n");
    if (c != Case::Plain)
      for (int i = 0; i < files; i += 7)
        out.write(QString("DF%1.L02").arg(i, 4, 10, QChar('0')), "yesterday's\r\n");
    const QMap<QString, QByteArray> before = snapshot(out.path());
    const QStringList args = job(in, out) << "--trash" << "--quiet";
    if (c == Case::RunKilled) {
      QProcess p;
      p.setProcessEnvironment(env);
      p.start(REKODA_CLI, args);
      ASSERT_TRUE(p.waitForReadyRead(60000));  // the first group is in place
      p.kill();
      p.waitForFinished();
    } else {
      ASSERT_EQ(cli(args, env).exit, 0);
    }
    QMap<QString, QByteArray> expected = before;
    if (c == Case::OutputChanged) {
      const QByteArray edited = QByteArray(kDFOut).replace("12.5", "99.9");  // by hand: the size alone tells nothing
      out.write("DF0003.L02", edited);
      expected.insert("DF0003.L02", edited);
    }
    if (c == Case::JournalCut) {
      QFile journal(QDir(data.file("Rekoda/Rekoda/runs")).entryInfoList({"*.journal"}).value(0).filePath());
      ASSERT_TRUE(journal.open(QIODevice::Append));
      journal.write("{\"placed\":\"DF00");
    }
    if (c == Case::SourceDeleted) {
      ASSERT_TRUE(QFile::remove(in.file("DF0004.L01")));
      expected.insert("DF0004.L02", readBytes(out.file("DF0004.L02")));
    }
    const bool keeps = c == Case::OutputChanged || c == Case::SourceDeleted;
    if (c == Case::Replacing) {  // a dry run says what it would do and does none of it
      const QMap<QString, QByteArray> ran = snapshot(out.path()), trashed = snapshot(data.file("Trash/files"));
      const Result dry = cli({"--undo", "--dry-run"}, env);
      EXPECT_EQ(dry.exit, 0) << dry.err.constData();
      EXPECT_TRUE(dry.err.startsWith("undo (dry run) of the run ")) << dry.err.constData();
      EXPECT_EQ(snapshot(out.path()), ran);
      EXPECT_EQ(snapshot(data.file("Trash/files")), trashed);
    }
    if (c == Case::UndoKilled) {
      QProcess p;
      p.setProcessEnvironment(env);
      p.start(REKODA_CLI, {"--undo"});
      ASSERT_TRUE(p.waitForReadyRead(60000));
      p.kill();
      p.waitForFinished();
    }
    const Result undone = cli({"--undo"}, env);
    EXPECT_EQ(undone.exit, keeps ? 1 : 0) << undone.err.constData() << undone.out.right(2000).constData();
    if (keeps) {
      const QByteArray name = c == Case::OutputChanged ? "DF0003.L02" : "DF0004.L02";
      const QByteArray why = c == Case::OutputChanged ? "kept: changed since the run"
                                                       : "kept: its source DF0004.L01 is no longer there";
      EXPECT_TRUE(undone.out.contains(name + "\tDF" + name.mid(2, 4) + ".L01\tFaild\t" + why)) << undone.out.constData();
    }
    EXPECT_EQ(snapshot(out.path()), expected);
    EXPECT_EQ(snapshot(data.file("Trash/files")), (QMap<QString, QByteArray>{}));
    EXPECT_EQ(snapshot(data.file("Trash/info")), (QMap<QString, QByteArray>{}));
    // A file kept for its reason is settled as much as a file removed: the
    // run is undone, and a second undo has nothing left.
    const Result again = cli({"--undo"}, env);
    EXPECT_EQ(again.exit, 0);
    EXPECT_EQ(again.err, "rekoda-cli: nothing to undo\n");
    EXPECT_TRUE(cli({"--list-runs"}, env).out.endsWith("\tundone\n"));
    EXPECT_EQ(snapshot(out.path()), expected);
  }
#endif
}

// Names and folders that are not UTF-8 (a stick formatted elsewhere), given
// as relative paths: the run replaces into the trash, and the undo takes
// every file back by its own bytes.
TEST(CliUndo, namesThatAreNotUtf8AreUndoneByTheirBytes) {
#ifdef _WIN32
  GTEST_SKIP() << "names of bytes that are not UTF-8 are a POSIX fixture";
#else
  TempFolder root;
  const QString script = QString(R"(set -e
    export XDG_DATA_HOME="$PWD/data"
    mkdir -p $'in\xff' out
    for n in $'DF\xe91' $'DF\xff2' DF3; do printf 'L01,MINI,LOGGER\r\n1,2\r\n' > "in"$'\xff'"/$n.L01"; done
    printf "yesterday's\r\n" > out/$'DF\xe91.L02'
    '%1' --family df --code L02 --from $'in\xff' --to out --trash --quiet > run.txt
    '%1' --undo --quiet > undo.txt
    # Latin-1 names from an old FAT stick: four names, not one; and a
    # destination whose own name is not UTF-8, made or there already.
    mkdir l1 $'there\xe9'
    for b in e9 e8 fc c3; do printf 'L01,MINI,LOGGER\r\n1,2\r\n' > "l1/DF$(printf "\x$b").L01"; done
    '%1' --family df --code L02 --from l1 --to $'made\xe9/x' --mkdir --quiet > latin1.txt
    '%1' --family df --code L02 --from l1 --to $'there\xe9' --quiet --dry-run > latin1-dry.txt
    )").arg(REKODA_CLI);
  QProcess p;
  p.setWorkingDirectory(root.path());
  p.start("bash", {"-c", script});
  ASSERT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData() << readBytes(root.file("undo.txt")).constData();
  EXPECT_EQ(readBytes(root.file("run.txt")).count("\tOK\t"), 3);
  EXPECT_EQ(readBytes(root.file("undo.txt")).count("\tOK\t"), 3);
  EXPECT_EQ(readBytes(root.file("latin1.txt")).count("\tOK\t"), 4);
  EXPECT_EQ(readBytes(root.file("latin1-dry.txt")).count("\tOK\t"), 4);
  EXPECT_EQ(ListFolderNames(JoinPath(root.path(), DecodeFileName("made\xe9/x"))).value_or(QStringList()).size(), 4);
  const QString out = root.file("out");
  EXPECT_EQ(ListFolderNames(out).value_or(QStringList{"?"}), QStringList{DecodeFileName("DF\xe9" "1.L02")});
  EXPECT_EQ(ReadFileBytes(JoinPath(out, DecodeFileName("DF\xe9" "1.L02")), 100, nullptr), "yesterday's\r\n");
  EXPECT_EQ(ListFolderNames(root.file("data/Trash/files")).value_or(QStringList{"?"}), QStringList{});
  QProcess rm;  // QDir cannot spell the folder to remove it
  rm.setWorkingDirectory(root.path());
  rm.start("bash", {"-c", "rm -rf ./*"});
  rm.waitForFinished();
#endif
}

// A run still going is not undone, and is listed so: its journal is held.
TEST(CliUndo, aRunStillGoingIsNotUndone) {
  TempFolder data, in, out;
  for (int i = 0; i < 5000; ++i)
    in.write(QString("DF%1.L01").arg(i, 4, 10, QChar('0')), kDF);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_DATA_HOME", data.path());
  // On Windows the journals are the user's, beside other tests' runs: this
  // run's line, and its ID.
  const auto thisRun = [&] {
    for (const QByteArrayList &run : cli({"--list-runs"}, env).lines())
      if (run.value(4).endsWith(QFileInfo(out.path()).fileName().toUtf8()))
        return run;
    return QByteArrayList();
  };
  QProcess run;
  run.setProcessEnvironment(env);
  run.start(REKODA_CLI, job(in, out));
  ASSERT_TRUE(run.waitForReadyRead(30000));  // the first group is in place
  const QByteArrayList listed = thisRun();
  const Result undo = cli({"--undo", QString::fromUtf8(listed.value(0))}, env);
#ifndef _WIN32
  // A run begun meanwhile, with a full list of journals newer than the one
  // going (here: dated ahead): the oldest go, but never one still held.
  const QString runs = data.file("Rekoda/Rekoda/runs");
  for (int i = 0; i < RunJournal::kKeptRuns; ++i) {
    QFile journal(runs + QString("/20991231-2359%1.journal").arg(i, 2, 10, QChar('0')));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    journal.write("{\"run\":\"x\",\"time\":\"2099-12-31T23:59:00\"}\n");
  }
  TempFolder other;
  ASSERT_EQ(cli(job(in, other) << "DF0001.L01" << "--quiet", env).exit, 0);
  EXPECT_TRUE(QFileInfo::exists(runs + "/" + QString::fromUtf8(listed.value(0)) + ".journal"));
#endif
  ASSERT_TRUE(run.waitForFinished(120000));
  // An undo that came after the run's end took all of it.
  if (undo.exit == 0 && out.entries().isEmpty())
    GTEST_SKIP() << "the run ended before the undo looked";
  EXPECT_EQ(listed.value(6), "going");
  EXPECT_EQ(undo.exit, 1);
  EXPECT_TRUE(undo.err.startsWith("rekoda-cli: the run of ")) << undo.err.constData();
  EXPECT_TRUE(undo.err.endsWith(" is still going: nothing was undone\n")) << undo.err.constData();
  EXPECT_EQ(run.exitCode(), 0);
  EXPECT_EQ(out.entries().size(), 5000);
  // Ended, it is undone as any other.
  EXPECT_EQ(thisRun().value(6), "not undone");
  EXPECT_EQ(cli({"--undo", QString::fromUtf8(listed.value(0)), "--quiet"}, env).exit, 0);
  EXPECT_TRUE(out.entries().isEmpty());
}

// The journal failing at the first group, a later one, or filling its
// folder, with and without the trash: the run stops, puts nothing in place
// that the journal does not know, and says why; the undo then leaves the
// destination and the trash as they were, but for a file that replaced
// one without a trash, which it keeps (its name would hold none).
TEST(CliUndo, aFailingJournalStopsTheRunAndUndoStillRestoresAll) {
  if (!*REKODA_FAULT_SHIM)
    GTEST_SKIP() << "the fault shim is an LD_PRELOAD object: Linux only";
  struct Case {
    const char *what;
    const char *fault;  // "full": a journal folder of 16 KiB
    int skip;
    bool trash;
    bool otherVolume;  // the journal on /dev/shm: synced on its own, not with the destination's volume
  };
  const Case cases[] = {
      {"write, first group", "write", 1, false, false},  {"write, first group, trash", "write", 1, true, false},
      {"write, a later group", "write", 5, false, false}, {"write, a later group, trash", "write", 5, true, false},
      {"sync, first group", "fdatasync", 1, false, true}, {"sync, a later group, trash", "fdatasync", 6, true, true},
      {"full folder", "full", 0, false, false},           {"full folder, trash", "full", 0, true, false},
  };
  TempFolder in;
  for (int i = 0; i < 400; ++i)
    in.write(QString("DF%1.L01").arg(i, 3, 10, QChar('0')), kDF);
  int ran = 0;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder out, local;
    QTemporaryDir shm("/dev/shm/rekoda-test-XXXXXX");
    if (c.otherVolume && !shm.isValid())
      continue;
    const QString data = c.otherVolume ? shm.path() : local.path();
    const QString runs = data + "/Rekoda/Rekoda/runs";
    ASSERT_TRUE(QDir().mkpath(runs));
    const bool mounted =
        QString(c.fault) == "full" && QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=16k", "tmpfs", runs}) == 0;
    if (QString(c.fault) == "full" && !mounted)
      continue;  // not root
    for (int i = 0; i < 400; i += 3)
      out.write(QString("DF%1.L02").arg(i, 3, 10, QChar('0')), "yesterday's\r\n");
    const QMap<QString, QByteArray> before = snapshot(out.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", data);
    QProcessEnvironment faulty = env;
    if (!mounted) {
      faulty.insert("LD_PRELOAD", REKODA_FAULT_SHIM);
      faulty.insert("REKODA_FAULT", c.fault);
      faulty.insert("REKODA_FAULT_DIR", runs);
      faulty.insert("REKODA_FAULT_SKIP", QString::number(c.skip));
    }
    QStringList args = job(in, out) << "--quiet";
    if (c.trash)
      args << "--trash";
    const Result r = cli(args, faulty);
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.contains("rekoda-cli: the run's journal cannot be written: ")) << r.err.constData();
    EXPECT_FALSE(r.err.contains("this run cannot be undone")) << r.err.constData();
    QMap<QString, QByteArray> kept = before;  // what undo cannot take back
    int ok = 0;
    for (const QByteArrayList &row : r.lines()) {
      const QString output = QString::fromUtf8(row.value(1));
      if (row.value(2) == "OK") {
        ++ok;
        EXPECT_EQ(readBytes(out.file(output)), kDFOut) << output.toStdString();
        if (!c.trash && before.contains(output))
          kept.insert(output, kDFOut);
      } else {
        EXPECT_EQ(row.value(3), "not put in place: the run's journal cannot be written");
        EXPECT_EQ(readBytes(out.file(output)), before.value(output, "<missing>")) << output.toStdString();
      }
    }
    EXPECT_LT(ok, 400);
    if (c.skip == 1) {  // stopped at once, not gone on to the last file
      EXPECT_LT(r.lines().size(), 200);
    }
    if (c.skip > 1) {
      EXPECT_GT(ok, 0);  // a later group: the earlier ones are in place
    }
    EXPECT_TRUE(r.err.contains(QString("the %1 files put in place before that can be undone").arg(ok).toUtf8()))
        << r.err.constData();
    if (mounted)  // room for the undo's mark
      QProcess::execute("mount", {"-o", "remount,size=1m", runs});
    const Result undone = cli({"--undo", "--quiet"}, env);
    ++ran;
    const bool keeps = kept != before;
    EXPECT_EQ(undone.exit, keeps ? 1 : 0) << undone.err.constData() << undone.out.left(600).constData();
    EXPECT_EQ(snapshot(out.path()), kept);
    EXPECT_EQ(snapshot(data + "/Trash/files"), (QMap<QString, QByteArray>{}));
    if (mounted)
      QProcess::execute("umount", {runs});
  }
  EXPECT_GE(ran, 4);  // the rows that need neither root nor /dev/shm
}


namespace {

// A small run as the enumeration below makes it: three files, one of them
// replacing a file of the technician's, in a folder with a file of their
// own beside.
struct SmallRun {
  TempFolder in, out, data;
  const QByteArray yesterday = "yesterday's\r\n";
  const QByteArray notes = "the technician's own\r\n";
  QMap<QString, QByteArray> outputs;  // what a whole run writes, by name

  SmallRun() {
    for (int i = 1; i <= 3; ++i)
      in.write(QString("DF%1.L01").arg(i), "L01,MINI,LOGGER\r\n" + QByteArray::number(i) + ",2\r\n");
    out.write("DF2.K22", yesterday);
    out.write("notes.txt", notes);
    for (int i = 1; i <= 3; ++i)
      outputs.insert(QString("DF%1.K22").arg(i), "\"K22\",\"MINI\",\"LOGGER\"\r\n\"" + QByteArray::number(i) + "\",\"2\"\r\n");
  }
  QProcessEnvironment env(bool named, int failAt = 0, const QString &tally = {}) const {
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("XDG_DATA_HOME", data.path());
    e.insert("REKODA_TEST_NAMED_TEMPORARIES", named ? "1" : "0");
    if (failAt > 0 || !tally.isEmpty()) {
      e.insert("LD_PRELOAD", REKODA_FAULT_SHIM);
      e.insert("REKODA_FAULT", "any");
      e.insert("REKODA_FAULT_DIR", out.path() + ":" + data.path());
      e.insert("REKODA_FAULT_SKIP", QString::number(failAt > 0 ? failAt - 1 : 1 << 30));
      e.insert("REKODA_FAULT_COUNT", "1");
      if (!tally.isEmpty())
        e.insert("REKODA_FAULT_TALLY", tally);
    }
    return e;
  }
  QStringList runArgs(bool trash) const {
    QStringList a = {"--family", "df", "--code", "K22", "--from", in.path(), "--to", out.path()};
    if (trash)
      a << "--trash";
    return a;
  }
  QMap<QString, QByteArray> trash() const { return snapshot(data.file("Trash/files")); }

  // Nothing lost: the technician's files byte-exact at their names or in
  // the trash, never neither; no name that held a file empty; every file at
  // an output's name whole, old or new.
  void expectNothingLost(bool trash) const {
    const QMap<QString, QByteArray> now = snapshot(out.path()), trashed = this->trash();
    EXPECT_EQ(now.value("notes.txt"), notes);
    ASSERT_TRUE(now.contains("DF2.K22"));  // it held a file before: it never stands empty
    const QByteArray df2 = now.value("DF2.K22");
    EXPECT_TRUE(df2 == yesterday || df2 == outputs.value("DF2.K22")) << df2.constData();
    if (trash) {
      EXPECT_TRUE(df2 == yesterday || trashed.values().contains(yesterday)) << "yesterday's file is nowhere";
    }
    for (const QString &name : {QString("DF1.K22"), QString("DF3.K22")})
      EXPECT_TRUE(!now.contains(name) || now.value(name) == outputs.value(name)) << name.toStdString();
  }

  // What an undo's summary line counts.
  static std::pair<int, int> removedAndRestored(const QByteArray &err) {
    const QRegularExpressionMatch m =
        QRegularExpression(R"(: (\d+) removed(?:, (\d+) brought back from the trash)?)").match(QString::fromUtf8(err));
    return {m.hasMatch() ? m.captured(1).toInt() : 0, m.hasMatch() ? m.captured(2).toInt() : 0};
  }

  // The folder and the trash as one, to count what an undo changed.
  QList<QByteArray> everything() const { return snapshot(out.path()).values() + trash().values(); }

  // The undo's counts are what changed on disk between before and after:
  // outputs gone from the folder and the trash, the replaced file back.
  void expectCountsMatchTheDisk(const QList<QByteArray> &before, const QByteArray &err) const {
    const QList<QByteArray> after = everything();
    int removed = 0;
    for (const QByteArray &output : outputs)
      removed += int(before.count(output) - after.count(output));
    const int restored = snapshot(out.path()).value("DF2.K22") == yesterday && !beforeAtName_.isEmpty() &&
                         beforeAtName_ != yesterday;
    EXPECT_EQ(removedAndRestored(err), std::make_pair(removed, restored)) << err.constData();
  }
  void remember() { beforeAtName_ = snapshot(out.path()).value("DF2.K22"); }
  QByteArray beforeAtName_;

  // After a run and its undo, taken up again if needed: the folder as it
  // was, and the trash empty. Without a trash the file replaced is gone for
  // good and the run's output keeps its name.
  void expectAsBefore(const QMap<QString, QByteArray> &before, bool trash) const {
    QMap<QString, QByteArray> expected = before;
    const QMap<QString, QByteArray> now = snapshot(out.path());
    if (!trash && now.value("DF2.K22") == outputs.value("DF2.K22"))
      expected.insert("DF2.K22", outputs.value("DF2.K22"));
    EXPECT_EQ(now, expected);
    EXPECT_EQ(this->trash(), (QMap<QString, QByteArray>{}));
  }
};

int tally(const SmallRun &r, bool named, const QStringList &args) {
  const QString counted = r.data.file("tally");
  cli(args, r.env(named, 0, counted));
  return readBytes(counted).trimmed().toInt();
}

}  // namespace

// Enumerated, not sampled: every call of a small run that writes, names,
// syncs or removes, in the destination, the trash and the journal, fails
// once in turn, and then every such call of its undo, with and without the
// trash and with both kinds of temporary file. After each: nothing lost, no
// name left empty, the undo's counts what the disk shows, and a second undo
// finishing the job.
class EveryFailedCall : public ::testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(EveryFailedCall, losesNothingAndASecondUndoFinishes) {
  if (!*REKODA_FAULT_SHIM)
    GTEST_SKIP() << "the fault shim is an LD_PRELOAD object: Linux only";
  const auto [trash, named] = GetParam();
  int runCalls = 0, undoCalls = 0;
  {
    SmallRun r;
    runCalls = tally(r, named, r.runArgs(trash));
    undoCalls = tally(r, named, {"--undo"});
  }
  ASSERT_GT(runCalls, 10);
  ASSERT_GT(undoCalls, 5);
  for (int n = 1; n <= runCalls; ++n) {
    SCOPED_TRACE(QString("the run's call %1 of %2 fails").arg(n).arg(runCalls).toStdString());
    SmallRun r;
    const QMap<QString, QByteArray> before = snapshot(r.out.path());
    const Result run = cli(r.runArgs(trash), r.env(named, n));
    r.expectNothingLost(trash);
    for (const QByteArrayList &row : run.lines()) {
      if (row.value(2) == "OK") {
        EXPECT_EQ(readBytes(r.out.file(QString::fromUtf8(row.value(1)))), r.outputs.value(QString::fromUtf8(row.value(1))));
      }
    }
    if (run.err.contains("this run cannot be undone"))
      continue;  // said before it wrote anything, and nothing to undo it by
    const QList<QByteArray> ran = r.everything();
    r.remember();
    const Result undone = cli({"--undo"}, r.env(named));
    r.expectNothingLost(trash);
    r.expectCountsMatchTheDisk(ran, undone.err);
    r.expectAsBefore(before, trash);
  }
  for (int n = 1; n <= undoCalls; ++n) {
    SCOPED_TRACE(QString("the undo's call %1 of %2 fails").arg(n).arg(undoCalls).toStdString());
    SmallRun r;
    const QMap<QString, QByteArray> before = snapshot(r.out.path());
    ASSERT_EQ(cli(r.runArgs(trash), r.env(named)).exit, 0);
    const QList<QByteArray> ran = r.everything();
    r.remember();
    const Result undone = cli({"--undo"}, r.env(named, n));
    r.expectNothingLost(trash);
    r.expectCountsMatchTheDisk(ran, undone.err);
    const QList<QByteArray> halfway = r.everything();
    r.remember();
    const Result again = cli({"--undo"}, r.env(named));
    r.expectCountsMatchTheDisk(halfway, again.err);
    r.expectAsBefore(before, trash);
  }
}

INSTANTIATE_TEST_SUITE_P(TrashAndTemporaries, EveryFailedCall, ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const auto &info) {
                           return std::string(std::get<0>(info.param) ? "trash" : "noTrash") +
                                  (std::get<1>(info.param) ? "Named" : "Unnamed");
                         });

namespace {

// A destination where a run with the trash replaces every third file.
struct ReplacingRun {
  TempFolder data, in, out;
  QMap<QString, QByteArray> before;
  explicit ReplacingRun(int files) {
    for (int i = 0; i < files; ++i)
      in.write(QString("DF%1.L01").arg(i, 4, 10, QChar('0')), kDF);
    for (int i = 0; i < files; i += 3)
      out.write(QString("DF%1.L02").arg(i, 4, 10, QChar('0')), "yesterday's\r\n");
    before = snapshot(out.path());
  }
  QProcessEnvironment env() const {
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("XDG_DATA_HOME", data.path());
    return e;
  }
  QMap<QString, QByteArray> trash() const { return snapshot(data.file("Trash/files")); }
};

}  // namespace

// Two undos of one run started at once, as two processes, again and again:
// one undoes it, the other is refused or finds nothing left, and a third
// has nothing to do. Every replaced file is back at its name.
TEST(CliUndo, twoUndosAtOnceLoseNothing) {
#ifdef _WIN32
  GTEST_SKIP() << "the freedesktop trash makes the fixture";
#else
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    ReplacingRun r(90);
    ASSERT_EQ(cli(job(r.in, r.out) << "--trash" << "--quiet", r.env()).exit, 0);
    QProcess first, second;
    for (QProcess *p : {&first, &second}) {
      p->setProcessEnvironment(r.env());
      p->start(REKODA_CLI, {"--undo", "--quiet"});
    }
    for (QProcess *p : {&first, &second})
      ASSERT_TRUE(p->waitForFinished(60000));
    int undid = 0;
    for (QProcess *p : {&first, &second}) {
      const QByteArray err = p->readAllStandardError();
      if (p->exitCode() == 0 && err.isEmpty())
        ++undid;
      else
        EXPECT_TRUE(err.endsWith("is going: nothing was done\n") || err.endsWith("nothing to undo\n") ||
                    err.contains("has been undone already"))
            << err.constData();
    }
    EXPECT_EQ(undid, 1);
    const Result third = cli({"--undo"}, r.env());
    EXPECT_EQ(third.err, "rekoda-cli: nothing to undo\n");
    EXPECT_EQ(snapshot(r.out.path()), r.before);
    EXPECT_EQ(r.trash(), (QMap<QString, QByteArray>{}));
  }
#endif
}

// A destination moved away, or another folder made at its path: the undo
// says so once, undoes nothing, and the run stays to be undone until its
// folder is back. Each undo names the run it undid.
TEST(CliUndo, aMovedOrReplacedFolderIsRefusedWholeUntilItIsBack) {
  ReplacingRun r(3);
#ifdef _WIN32
  // wine cannot move a file into its Recycle Bin: nothing is replaced.
  ASSERT_TRUE(QFile::remove(r.out.file("DF0000.L02")));
  r.before = {};
  const QString replaced;
#else
  const QString replaced = ", 1 brought back from the trash";
#endif
  ASSERT_EQ(cli(job(r.in, r.out) << "--trash" << "--quiet", r.env()).exit, 0);
  const QMap<QString, QByteArray> written = snapshot(r.out.path());
  const QString moved = r.out.path() + "-moved";
  ASSERT_TRUE(QDir().rename(r.out.path(), moved));
  const QString dest = QDir::toNativeSeparators(r.out.path());
  Result u = cli({"--undo"}, r.env());
  EXPECT_EQ(u.exit, 1);
  EXPECT_TRUE(u.out.isEmpty());  // said once, not once a file
  EXPECT_TRUE(u.err.startsWith(("rekoda-cli: the folder " + dest + " that the run of ").toUtf8())) << u.err.constData();
  EXPECT_TRUE(u.err.endsWith(" wrote into is not there: nothing was undone\n")) << u.err.constData();
  ASSERT_TRUE(QDir().mkdir(r.out.path()));
  u = cli({"--undo"}, r.env());
  EXPECT_EQ(u.exit, 1);
  EXPECT_TRUE(u.out.isEmpty());
  EXPECT_TRUE(u.err.endsWith(" wrote into (moved or replaced): nothing was undone\n")) << u.err.constData();
  // The newest run listed (Windows keeps every test's runs in one place).
  EXPECT_TRUE(cli({"--list-runs"}, r.env()).out.split('\n').value(0).endsWith("\tnot undone"));
  EXPECT_EQ(snapshot(moved), written);
  ASSERT_TRUE(QDir().rmdir(r.out.path()));
  ASSERT_TRUE(QDir().rename(moved, r.out.path()));
  u = cli({"--undo"}, r.env());
  EXPECT_EQ(u.exit, 0) << u.err.constData();
  const QByteArray id = cli({"--list-runs"}, r.env()).lines().value(0).value(0);
  EXPECT_TRUE(u.err.startsWith("undo of the run " + id + " of ")) << u.err.constData();
  EXPECT_TRUE(u.err.endsWith(
      ("(DF files, code L02, into '" + dest + "'): 3 files: 3 removed" + replaced + "\n").toUtf8()))
      << u.err.constData();
  EXPECT_EQ(snapshot(r.out.path()), r.before);
}

// Three runs with the trash into one folder at once, each replacing what
// the others wrote at some names: every name is one run's, whole, and
// undone one run at a time, newest first or oldest first, the folder comes
// back as it was before all three, the trash empty.
TEST(CliUndo, concurrentRunsIntoOneFolderComeBackInAnyOrder) {
#ifdef _WIN32
  GTEST_SKIP() << "the freedesktop trash makes the fixture";
#else
  for (const bool newestFirst : {true, false, true, false}) {
    SCOPED_TRACE(newestFirst ? "newest first" : "oldest first");
    ReplacingRun r(0);
    TempFolder sources[3];
    for (int k = 0; k < 3; ++k)
      for (int i = 0; i < 150; ++i)
        sources[k].write(QString("DF%1.L0%2").arg(i, 4, 10, QChar('0')).arg(k + 1),
                         QString("L0%1,MINI,LOGGER\r\n%2,%3\r\n").arg(k + 1).arg(i).arg(k + 1).toUtf8());
    for (int i = 0; i < 150; i += 3)
      r.out.write(QString("DF%1.L02").arg(i, 4, 10, QChar('0')), "yesterday's\r\n");
    r.before = snapshot(r.out.path());
    QProcess runs[3];
    for (int k = 0; k < 3; ++k) {
      runs[k].setProcessEnvironment(r.env());
      runs[k].start(REKODA_CLI, job(sources[k], r.out) << "--trash");
    }
    // The runs that say they wrote each name: one that came later may have
    // replaced an earlier one's output, as it would any other file.
    QMap<QString, QByteArrayList> okBy;
    for (int k = 0; k < 3; ++k) {
      ASSERT_TRUE(runs[k].waitForFinished(60000));
      for (const QByteArray &line : runs[k].readAllStandardOutput().split('\n'))
        if (line.split('\t').value(2) == "OK")
          okBy[QString::fromUtf8(line.split('\t').value(1))] << QByteArray::number(k + 1);
    }
    EXPECT_EQ(okBy.size(), 150);
    for (auto it = okBy.begin(); it != okBy.end(); ++it) {  // the file there is one that a run said OK for
      const QByteArray bytes = readBytes(r.out.file(it.key()));
      EXPECT_TRUE(std::any_of(it->begin(), it->end(), [&](const QByteArray &k) { return bytes.endsWith(",\"" + k + "\"\r\n"); }))
          << it.key().toStdString() << " " << bytes.constData();
    }
    QByteArrayList ids;
    for (const QByteArrayList &run : cli({"--list-runs"}, r.env()).lines())
      ids << run.value(0);
    ASSERT_EQ(ids.size(), 3);
    if (!newestFirst)
      std::reverse(ids.begin(), ids.end());
    for (const QByteArray &id : ids) {
      const Result u = cli({"--undo", QString::fromUtf8(id), "--quiet"}, r.env());
      EXPECT_EQ(u.exit, 0) << u.err.constData() << u.out.constData();
    }
    EXPECT_EQ(snapshot(r.out.path()), r.before);
    EXPECT_EQ(r.trash(), (QMap<QString, QByteArray>{}));
  }
#endif
}
