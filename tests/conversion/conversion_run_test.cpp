#include "conversion/window_start.h"
#include "conversion/work_threads.h"

#include "conversion/run_engine.h"
#include "conversion/speaker.h"
#include "fake_view.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <stdexcept>

#include <gtest/gtest.h>


using namespace rekoda;
using namespace rekoda::test;

namespace {

const QByteArray kDF = "L01,MINI,LOGGER\r\nh2\r\nh3\r\nh4\r\nh5\r\nh6\r\nh7\r\n01-01-05,1,2\r\n";
const QByteArray kDFOut =
    "\"L02\",\"MINI\",\"LOGGER\"\r\n\"h2\"\r\n\"h3\"\r\n\"h4\"\r\n\"h5\"\r\n\"h6\"\r\n\"h7\"\r\n"
    "\"01-01-05\",1,2\r\n";

using ConversionRun = RunFixture;

}  // namespace

TEST_F(ConversionRun, checksShowFirstFailureAndTouchNothing) {
  struct Case {
    QString source, dest, code;
    int rows;
    bool selected;
    const char *message;
  };
  const Case cases[] = {
      {"", "", "", 1, true, "Source datapath not found!"},
      {"   ", "d", "c", 1, true, "Source datapath not found!"},
      {"s", " ", "c", 1, true, "Destination datapath not found!"},
      {"s", "d", "  ", 1, true, "No new extension found!"},
      {"s", "d", "L/2", 1, true, "Invalid new extension!"},
      {"s", "d", "L\\2", 1, true, "Invalid new extension!"},
      {"s", "d", "L,2", 1, true, "Invalid new extension!"},
      {"s", "d", "L\"2", 1, true, "Invalid new extension!"},
      {"s", "d", "L'2", 1, true, "Invalid new extension!"},
      {"s", "d", "L\t2", 1, true, "Invalid new extension!"},
      // What a Windows name cannot hold, or would silently drop.
      {"s", "d", "A:B", 1, true, "Invalid new extension!"},
      {"s", "d", "A|B", 1, true, "Invalid new extension!"},
      {"s", "d", "L?", 1, true, "Invalid new extension!"},
      {"s", "d", "L*", 1, true, "Invalid new extension!"},
      {"s", "d", "<L>", 1, true, "Invalid new extension!"},
      {"s", "d", " L2", 1, true, "Invalid new extension!"},
      {"s", "d", "L2 ", 1, true, "Invalid new extension!"},
      {"s", "d", "L2.", 1, true, "Invalid new extension!"},
      {"s", "d", "c", 0, true, "No rows found for conversion!"},
      {"s", "d", "c", 2, false, "No rows select for conversion!"},
  };
  for (const auto &c : cases) {
    FakeView v;
    v.source = c.source;
    v.dest = c.dest;
    v.code = c.code;
    for (int i = 0; i < c.rows; ++i)
      v.rows.push_back({QString("DF%1.L01").arg(i), c.selected, "stale", {}});
    messages.clear();
    StartRun(v);
    ASSERT_EQ(messages.messages().size(), 1u) << c.message;
    EXPECT_EQ(messages.messages()[0].text, c.message);
    EXPECT_EQ(messages.messages()[0].style, 16);
    EXPECT_FALSE(v.pvisible);
    EXPECT_TRUE(v.log.isEmpty()) << c.message;
    // The Result column is emptied only once the rows are looked at.
    const bool emptied = QString(c.message) == "No rows select for conversion!";
    for (const auto &r : v.rows)
      EXPECT_EQ(r.result, emptied ? "" : "stale");
  }
  EXPECT_TRUE(in.entries().isEmpty());
  EXPECT_TRUE(out.entries().isEmpty());
}

TEST_F(ConversionRun, codeWithInnerSpaceIsUsedUpperCased) {
  in.write("DF1.L01", kDF);
  view.code = "l 2";
  view.addRows({"DF1.L01"});
  StartRun(view);
  EXPECT_EQ(view.results(), QStringList{"OK"});
  EXPECT_TRUE(readBytes(out.file("DF1.L 2")).startsWith("\"L 2\","));
}

TEST_F(ConversionRun, mixedBatchOnRealFiles) {
  in.write("DF1.L01", kDF);
  in.write("DF2.L01", "L01,TREND,LOGGER\r\n1,2\r\n");  // fails the marker test
  in.write("DF3", kDF);                                 // no dot: nothing to write
  in.write("DF4.L01", kDF);                             // not selected
  in.write("DF6.L01", kDF);
  out.write("DF2.L02", "an earlier good output\r\n");
  QByteArray tooLong = "L01,MINI,LOGGER\r\n";
  for (int i = 0; i < 100; ++i)
    tooLong += "1,2\r\n";
  in.write("DF7.L01", tooLong);
  in.write("DF8.L01", "L01,MINI,LOGGER\r\n" + QByteArray(70, ','));
  view.addRows({"DF1.L01", "DF2.L01", "DF3", "DF5.L01" /* vanished */});
  view.addRows({"DF4.L01"}, false);
  view.addRows({"DF6.L01", "DF7.L01", "DF8.L01"});

  StartRun(view);

  EXPECT_EQ(view.results(), (QStringList{"OK", "Faild", "Faild", "Faild", "", "OK", "Faild", "Faild"}));
  EXPECT_EQ(view.reasons(), (QStringList{"", "not a DF file (no MINI LOGGER or TREND MONITOR marker)",
                                          "name has no dot", "cannot read: No such file or directory", "",
                                          "", "more than 100 lines", "more than 65 fields on line 2"}));
  EXPECT_EQ(out.entries(), (QStringList{"DF1.L02", "DF2.L02", "DF6.L02"}));
  EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);
  EXPECT_EQ(readBytes(out.file("DF6.L02")), kDFOut);
  // A failed read writes nothing, so the earlier file is still there.
  EXPECT_EQ(readBytes(out.file("DF2.L02")), QByteArray("an earlier good output\r\n"));
  EXPECT_EQ(readBytes(in.file("DF1.L01")), kDF);
  // One message for the whole run, naming the first failures.
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_TRUE(messages.messages()[0].text.startsWith("5 of 7 files failed."));
  EXPECT_TRUE(messages.messages()[0].text.contains("DF3: name has no dot"));
}

TEST_F(ConversionRun, oneMessageForTwentyFilesFailingAlike) {
  for (int i = 0; i < 20; ++i) {
    in.write(QString("DF%1.L01").arg(i), kDF);
    view.addRows({QString("DF%1.L01").arg(i)});
  }
  view.dest = out.file("gone");
  StartRun(view);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_TRUE(messages.messages()[0].text.startsWith("20 of 20 files failed."));
  for (const auto &r : view.rows)
    EXPECT_TRUE(r.result == "Faild" && r.reason.contains("No such file or directory")) << r.text.toStdString();
}

TEST_F(ConversionRun, maFamilyStampsEveryRecord) {
  in.write("MA1.L01", "1,2,3,\"L01\",\"T\",4\r\n5,6\r\n\r\n7,8,9,L01\r\n");
  view.df = false;
  view.code = "L07";
  view.addRows({"MA1.L01"});
  StartRun(view);
  EXPECT_EQ(view.results(), QStringList{"OK"});
  EXPECT_EQ(readBytes(out.file("MA1.L07")),
            QByteArray("1,2,3,\"L07\",\"T\",4\r\n5,6\r\n\r\n7,8,9,\"L07\"\r\n"));
}

TEST_F(ConversionRun, lockOrderProgressAndEventsOncePerConvertedFile) {
  for (int i = 1; i <= 3; ++i)
    in.write(QString("DF%1.L01").arg(i), kDF);
  view.addRows({"DF1.L01"});
  view.addRows({"DF2.L01"}, false);
  view.addRows({"DF3.L01"});
  StartRun(view);
  EXPECT_EQ(view.pmin, 0);
  EXPECT_EQ(view.pmax, 2);
  EXPECT_EQ(view.progressSeen, (std::vector<qint64>{0, 1, 2}));
  EXPECT_EQ(view.log, (QStringList{"bar 1", "lock 0", "lock 1", "lock 2", "lock 3", "lock 4",
                                   "lock 5", "busy 1", "handled", "handled", "bar 0", "busy 0",
                                   "unlock 0", "unlock 1", "unlock 2", "unlock 3", "unlock 4",
                                   "unlock 5"}));
}

TEST_F(ConversionRun, sortingSelectingAndTypingDuringTheRunChangeNothing) {
  for (int i = 1; i <= 6; ++i)
    in.write(QString("DF%1.L01").arg(i), kDF);
  view.addRows({"DF1.L01", "DF2.L01", "DF3.L01"});
  view.addRows({"DF4.L01", "DF5.L01", "DF6.L01"}, false);
  view.onHandled = [this](qint64) {
    // Re-sorted after every file, the code made unsafe, the selection widened.
    std::reverse(view.rows.begin(), view.rows.end());
    view.code = "K9,x";
    for (auto &r : view.rows)
      r.selected = true;
  };
  StartRun(view);
  EXPECT_EQ(out.entries(), (QStringList{"DF1.L02", "DF2.L02", "DF3.L02"}));
  EXPECT_EQ(view.resultsSet, (QStringList{"DF1.L01", "DF2.L01", "DF3.L01"}));  // each exactly once
  for (const auto &r : view.rows)
    EXPECT_EQ(r.result, r.text < "DF4" ? "OK" : "") << r.text.toStdString();
  EXPECT_EQ(view.pmax, 3);
  EXPECT_EQ(view.progressSeen.back(), 3);
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(ConversionRun, trailingSeparatorIsRemovedOnceAndRootKeepsIt) {
  in.write("DF1.L01", kDF);
  view.source = in.path() + "/";
  view.dest = out.path() + "/";
  view.addRows({"DF1.L01"});
  StartRun(view);
  EXPECT_EQ(view.source, in.path());
  EXPECT_EQ(view.dest, out.path());
  EXPECT_EQ(view.results(), QStringList{"OK"});

  FakeView root;
  root.source = "/";
  root.dest = "/";
  root.rows.push_back({"DF-no-such-file.L01", true, "", {}});
  StartRun(root);
  EXPECT_EQ(root.source, "/");
  EXPECT_EQ(root.dest, "/");
  EXPECT_EQ(root.results(), QStringList{"Faild"});
}

TEST_F(ConversionRun, sameFolderSameCodeRewritesInPlace) {
  in.write("DF1.L01", kDF);
  view.dest = in.path();
  view.code = "L01";
  view.addRows({"DF1.L01"});
  StartRun(view);
  EXPECT_EQ(view.results(), QStringList{"OK"});
  EXPECT_EQ(in.entries(), QStringList{"DF1.L01"});
  EXPECT_TRUE(readBytes(in.file("DF1.L01")).startsWith("\"L01\",\"MINI\""));
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(ConversionRun, anotherOriginalInSourceFolderIsNeverReplaced) {
  const QByteArray other = "L02,MINI,LOGGER\r\nother original\r\n";
  in.write("DF1.L01", kDF);
  in.write("DF1.L02", other);
  view.dest = in.path() + "/";  // another spelling of the same folder
  view.addRows({"DF1.L01", "DF1.L02"});
  StartRun(view);
  EXPECT_EQ(view.results(), (QStringList{"Faild", "OK"}));
  EXPECT_EQ(view.rows[0].reason, "Destination file already exists!");
  EXPECT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].style, 0);
  EXPECT_EQ(readBytes(in.file("DF1.L01")), kDF);
  EXPECT_TRUE(readBytes(in.file("DF1.L02")).contains("\"other original\""));

  // The same folder spelled "dir/." or through a linked folder is still it.
  const QByteArray written = readBytes(in.file("DF1.L02"));
  QStringList spellings{in.path() + "/."};
#ifndef _WIN32
  ASSERT_TRUE(QFile::link(in.path(), out.file("alias")));
  spellings << out.file("alias");
#endif
  for (const QString &spelling : spellings) {
    FakeView again;
    again.source = in.path();
    again.dest = spelling;
    again.addRows({"DF1.L01"});
    StartRun(again);
    EXPECT_EQ(again.results(), QStringList{"Faild"}) << spelling.toStdString();
    EXPECT_EQ(readBytes(in.file("DF1.L02")), written);
  }
}

TEST_F(ConversionRun, targetThatIsNotAPlainFileIsNeverWrittenThrough) {
  REKODA_SKIP_WITHOUT_LINKS();
  in.write("DF1.L01", kDF);
  in.write("DF2.L01", kDF);
  in.write("DF3.L01", kDF);
  in.write("DF4.L01", kDF);
  TempFolder elsewhere;
  elsewhere.write("keep", "elsewhere\r\n");
  ASSERT_TRUE(QFile::link(in.file("DF2.L01"), out.file("DF1.L02")));    // another original
  ASSERT_TRUE(QFile::link(elsewhere.file("keep"), out.file("DF2.L02")));  // a file elsewhere
  ASSERT_TRUE(QFile::link(elsewhere.file("new"), out.file("DF3.L02")));   // dangling
  out.mkdir("DF4.L02");
  view.addRows({"DF1.L01", "DF2.L01", "DF3.L01", "DF4.L01"});
  StartRun(view);
  EXPECT_EQ(view.results(), (QStringList{"Faild", "Faild", "Faild", "Faild"}));
  for (const auto &r : view.rows)
    EXPECT_EQ(r.reason, "Destination file already exists!");
  EXPECT_EQ(readBytes(in.file("DF2.L01")), kDF);
  EXPECT_EQ(readBytes(elsewhere.file("keep")), QByteArray("elsewhere\r\n"));
  EXPECT_EQ(elsewhere.entries(), QStringList{"keep"});
  EXPECT_EQ(QFileInfo(out.file("DF1.L02")).symLinkTarget(), in.file("DF2.L01"));
  EXPECT_EQ(out.entries(), (QStringList{"DF1.L02", "DF2.L02", "DF3.L02", "DF4.L02"}));
}

TEST_F(ConversionRun, sourcesThatCannotBeReadFailAloneAndAtOnce) {
  REKODA_SKIP_WITHOUT_LINKS();
#ifndef _WIN32
  in.write("DF1.L01", kDF);
  ASSERT_EQ(::mkfifo(in.file("DF2.L01").toLocal8Bit().constData(), 0600), 0);  // would block for ever
  {
    QFile big(in.file("DF3.L01"));  // sparse, beyond any real export
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(200LL * 1024 * 1024));
  }
  in.mkdir("DF4.L01");
  in.write("DF5.L01", kDF);
  view.addRows({"DF1.L01", "DF2.L01", "DF3.L01", "DF4.L01", "DF5.L01"});
  StartRun(view);
  EXPECT_EQ(view.results(), (QStringList{"OK", "Faild", "Faild", "Faild", "OK"}));
  EXPECT_EQ(view.rows[1].reason, "cannot read: not a plain file");
  EXPECT_EQ(view.rows[2].reason, "file too large (more than 64 MiB)");
  EXPECT_EQ(view.rows[3].reason, "cannot read: Is a directory");
#endif
}

TEST_F(ConversionRun, twoRowsOntoOneOutputWriteOnlyTheFirst) {
  in.write("DF1.L01", kDF);
  in.write("DF1.L03", "L03,MINI,LOGGER\r\n");
  view.addRows({"DF1.L01", "DF1.L03"});
  StartRun(view);
  EXPECT_EQ(view.results(), (QStringList{"OK", "Faild"}));
  EXPECT_EQ(view.rows[1].reason, "Destination file already exists!");
  EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);
}

// Another process replaces a later target with a file that has the
// identity of one this run wrote (here a hard link; a replaced file's
// reused inode number does the same): it is not this run's own file, and is
// replaced like any earlier output.
TEST_F(ConversionRun, fileOfAnotherProcessSharingAnIdentityIsNotThisRunsOwn) {
#ifdef _WIN32
  GTEST_SKIP() << "hard links are made with POSIX link() here";
#else
  ConversionJob job{in.path(), out.path(), "L02", Family::DF, {}, false};
  for (int i = 0; i < 200; ++i)
    job.files << in.write(QString("DF%1.L01").arg(i, 3, 10, QChar('0')), kDF).section('/', -1);
  out.write("DF199.L02", "an earlier output\r\n");
  struct Linker : RunObserver {
    const TempFolder &out;
    QStringList results;
    explicit Linker(const TempFolder &o) : out(o) {}
    void fileDone(qsizetype index, const FileOutcome &o) override {
      results << (o.ok ? QString("OK") : English(o.reason));
      if (index == 0) {
        EXPECT_EQ(::link(out.file("DF000.L02").toLocal8Bit(), out.file("x").toLocal8Bit()), 0);
        EXPECT_EQ(::rename(out.file("x").toLocal8Bit(), out.file("DF199.L02").toLocal8Bit()), 0);
      }
    }
    void fileHandled(qsizetype, qint64) override {}
    bool stopRequested() override { return false; }
  } linker(out);
  RunJob(job, linker);
  EXPECT_EQ(linker.results, QStringList(200, "OK"));
  EXPECT_EQ(readBytes(out.file("DF000.L02")), kDFOut);
  EXPECT_EQ(readBytes(out.file("DF199.L02")), kDFOut);
  struct stat a{}, b{};
  ::stat(out.file("DF000.L02").toLocal8Bit(), &a);
  ::stat(out.file("DF199.L02").toLocal8Bit(), &b);
  EXPECT_NE(a.st_ino, b.st_ino);
#endif
}

TEST_F(ConversionRun, earlierOutputInSeparateFolderIsReplaced) {
  in.write("DF1.L01", kDF);
  out.write("DF1.L02", "from yesterday\r\n");
  view.addRows({"DF1.L01"});
  StartRun(view);
  EXPECT_EQ(view.results(), QStringList{"OK"});
  EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);
}

TEST_F(ConversionRun, failedWriteIsFaildWithItsMessage) {
  in.write("DF1.L01", kDF);
  view.dest = out.file("removed");
  view.addRows({"DF1.L01"});
  StartRun(view);
  EXPECT_EQ(view.results(), QStringList{"Faild"});
  EXPECT_EQ(messages.messages().size(), 1u);
  EXPECT_FALSE(view.pvisible);
  EXPECT_FALSE(view.busy);
}

TEST_F(ConversionRun, stopRequestFinishesFileInHandThenStops) {
  for (int i = 1; i <= 3; ++i)
    in.write(QString("DF%1.L01").arg(i), kDF);
  view.addRows({"DF1.L01", "DF2.L01", "DF3.L01"});
  view.onHandled = [this](qint64) { view.stop = true; };
  StartRun(view);
  EXPECT_EQ(view.results(), (QStringList{"OK", "", ""}));
  EXPECT_EQ(out.entries(), QStringList{"DF1.L02"});
  EXPECT_TRUE(view.log.endsWith("unlock 5"));
}

TEST_F(ConversionRun, fortyThousandRowsAreNotLimitedBySixteenBits) {
  in.write("DF1.L01", kDF);
  for (int i = 0; i < 40000; ++i)
    view.rows.push_back({QString("DFmissing%1.L01").arg(i), true, "", {}});
  view.rows.push_back({"DF1.L01", true, "", {}});
  StartRun(view);
  EXPECT_EQ(view.pmax, 40001);
  EXPECT_EQ(view.progressSeen.back(), 40001);
  EXPECT_EQ(view.rows.back().result, "OK");
  EXPECT_EQ(view.rows[39999].result, "Faild");
}

TEST_F(ConversionRun, errorInsideTheLoopUnlocksThenReports) {
  struct Failing : FakeView {
    void setProgressValue(qint64 v) override {
      if (v == 2)
        throw std::runtime_error("the list went away");
      FakeView::setProgressValue(v);
    }
  } failing;
  for (const char *n : {"DF1.L01", "DF2.L01", "DF3.L01"})
    in.write(n, kDF);
  failing.source = in.path();
  failing.dest = out.path();
  failing.addRows({"DF1.L01", "DF2.L01", "DF3.L01"});
  failing.onHandled = [&](qint64) { EXPECT_TRUE(messages.messages().empty()); };
  StartRun(failing);
  // The group in hand was never put in place: no result, no temporary file.
  EXPECT_EQ(failing.results(), (QStringList{"", "", ""}));
  EXPECT_TRUE(out.entries().isEmpty());
  EXPECT_EQ(messages.texts(), QStringList{"the list went away; stopped after 2 of 3 files."});
  EXPECT_EQ(messages.messages()[0].style, 0);
  EXPECT_TRUE(failing.log.endsWith("unlock 5"));
  EXPECT_FALSE(failing.pvisible);
  EXPECT_FALSE(failing.busy);
}

TEST(FailureSummary, countsAndTheFirstFiveReasons) {
  auto summary = [](qint64 handled, qint64 failed) {
    RunSummary s;
    s.total = 20;
    s.handled = handled;
    s.failed = failed;
    for (qint64 i = 1; i <= std::min<qint64>(failed, 5); ++i)
      s.firstFailures.append({QString("DF%1.L01").arg(i), Reason(Reason::Kind::Unexpected, {"reason"})});
    return FailureSummary(s);
  };
  EXPECT_EQ(summary(20, 0), std::nullopt);
  EXPECT_EQ(summary(20, 1), QString("1 of 20 files failed.\n\nDF1.L01: reason"));
  EXPECT_EQ(summary(20, 5), QString("5 of 20 files failed.\n\nDF1.L01: reason\nDF2.L01: reason\nDF3.L01: reason\n"
                                    "DF4.L01: reason\nDF5.L01: reason"));
  EXPECT_EQ(summary(20, 20), QString("20 of 20 files failed.\n\nDF1.L01: reason\nDF2.L01: reason\nDF3.L01: reason\n"
                                     "DF4.L01: reason\nDF5.L01: reason\n\u2026"));
  EXPECT_EQ(summary(7, 6)->section('\n', 0, 0), QString("Stopped after 7 of 20 files; 6 failed."));
}

// A step that throws, on a pool thread or the caller's, ends no thread and
// leaves none pointing at a finished loop: every other step runs, the
// exception comes to the caller, and the threads serve the next loop.
TEST(WorkThreads, aStepThatThrowsEndsNoThreadAndReachesTheCaller) {
  WorkThreads threads(3);
  for (int round = 0; round < 20; ++round) {
    std::atomic<int> ran{0};
    EXPECT_THROW(threads.forEach(50,
                                 [&](std::size_t i) {
                                   ++ran;
                                   if (i % 7 == 3)
                                     throw std::runtime_error("step failed");
                                 }),
                 std::runtime_error);
    EXPECT_EQ(ran, 50);
  }
  threads.runInBackground([] { throw std::runtime_error("task failed"); });
  EXPECT_THROW(threads.wait(), std::runtime_error);
  std::atomic<int> after{0};
  threads.forEach(10, [&](std::size_t) { ++after; });
  EXPECT_EQ(after, 10);
}
