// Runs that meet a failing disk or a changing folder: nothing is lost, no
// partial or temporary file stays behind, and the user is told.

#include "conversion/window_start.h"

#include "fake_view.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace rekoda;
using namespace rekoda::test;

namespace {

QByteArray dfContent(int rows) {
  QByteArray b = "L01,MINI,LOGGER\r\n";
  for (int r = 2; r <= rows; ++r)
    b += "\"01-01-05\",12.5,13.5,14.5,15.5,16.5,17.5\r\n";
  return b;
}

class RunFault : public ::testing::Test {
 protected:
  TempFolder in, out;
  FakeView view;
  MessageRecorder messages;
  const QByteArray input = dfContent(100);

  void SetUp() override {
    view.source = in.path();
    view.dest = out.path();
    in.write("DF1.L01", input);
    in.write("DF2.L01", input);
    view.addRows({"DF1.L01", "DF2.L01"});
  }
  void expectInputsIntact() {
    EXPECT_EQ(in.entries(), (QStringList{"DF1.L01", "DF2.L01"}));
    EXPECT_EQ(readBytes(in.file("DF1.L01")), input);
    EXPECT_EQ(readBytes(in.file("DF2.L01")), input);
  }
  void expectRunEndedCleanly() {
    EXPECT_FALSE(view.pvisible);
    EXPECT_FALSE(view.busy);
    EXPECT_TRUE(view.log.endsWith("unlock 5"));
  }
};

}  // namespace

TEST_F(RunFault, destinationRemovedAfterItWasChosen) {
  ASSERT_TRUE(QDir(out.path()).removeRecursively());
  StartRun(view);
  EXPECT_EQ(view.results(), (QStringList{"Faild", "Faild"}));
  EXPECT_EQ(messages.messages().size(), 1u);
  expectInputsIntact();
  EXPECT_FALSE(QFileInfo::exists(out.path()));
  expectRunEndedCleanly();
}

// A destination removed, renamed or replaced during a run stops it after
// the group in hand, with one message that names the folder; later rows
// stay untouched. The same for the source.
TEST_F(RunFault, folderThatVanishesStopsTheRunWithOneMessage) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows refuses to remove or rename a folder while the run holds a file open in it";
#endif
  for (const char *what : {"destination removed", "destination renamed", "destination replaced", "source renamed"}) {
    SCOPED_TRACE(what);
    TempFolder from, to, elsewhere;
    FakeView v;
    v.source = from.path();
    v.dest = to.path();
    for (int i = 0; i < 300; ++i)
      v.addRows({QFileInfo(from.write(QString("DF%1.L01").arg(i, 3, 10, QChar('0')), input)).fileName()});
    const bool source = std::string(what).starts_with("source");
    const QString folder = source ? from.path() : to.path();
    v.onHandled = [&](qint64 round) {
      if (round != 10)
        return;
      if (std::string(what).ends_with("removed")) {
        ASSERT_TRUE(QDir(folder).removeRecursively());
      } else {
        ASSERT_TRUE(QDir().rename(folder, elsewhere.file("moved")));
      }
      if (std::string(what).ends_with("replaced")) {
        ASSERT_TRUE(QDir().mkdir(folder));  // mv d d.old; mkdir d
      }
    };
    MessageRecorder recorded;
    StartRun(v);
    ASSERT_EQ(recorded.messages().size(), 1u);
    const QString text = recorded.messages()[0].text;
    EXPECT_TRUE(text.startsWith(QString("The %1 folder %2 is no longer there; stopped after ")
                                    .arg(source ? "source" : "destination", folder)))
        << text.toStdString();
    EXPECT_EQ(text.count(folder), 1) << text.toStdString();  // said once, not again for each file in hand
    EXPECT_FALSE(text.contains("failed")) << text.toStdString();
    const QStringList results = v.results();
    const qsizetype done = results.size() - results.count("");
    EXPECT_LE(done, 64 + 1);
    for (qsizetype i = done; i < results.size(); ++i)
      EXPECT_EQ(results[i], "") << i;
    // Nothing went into the folder after it had moved (before the first
    // group was put in place), nor into the one now at its path.
    if (!source) {
      EXPECT_EQ(QDir(elsewhere.file("moved")).entryList(QDir::Files | QDir::Hidden).size(), 0);
      EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 0);
      EXPECT_EQ(results.count("OK"), 0);
    }
  }
}

TEST_F(RunFault, destinationThroughRegularFile) {
  view.dest = out.write("plain", "x") + "/sub";
  StartRun(view);
  EXPECT_EQ(view.results(), (QStringList{"Faild", "Faild"}));
  EXPECT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(out.entries(), QStringList{"plain"});
  expectInputsIntact();
}

TEST_F(RunFault, diskFillsPartWayThroughAFile) {
  REKODA_SKIP_WITHOUT_RLIMITS();
  const QByteArray earlier = "yesterday's complete output\r\n";
  out.write("DF1.L02", earlier);
  {
    FileSizeLimit limit(input.size() / 2);
    StartRun(view);
  }
  EXPECT_EQ(view.results(), (QStringList{"Faild", "Faild"}));
  EXPECT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(view.rows[0].reason, "File too large");
  EXPECT_EQ(readBytes(out.file("DF1.L02")), earlier);  // fully old
  EXPECT_EQ(out.entries(), QStringList{"DF1.L02"});     // no temporary file
  expectInputsIntact();
  expectRunEndedCleanly();
}

TEST_F(RunFault, sameFolderSameCodeOnAFullDiskKeepsTheOriginal) {
  REKODA_SKIP_WITHOUT_RLIMITS();
  view.dest = in.path();
  view.code = "L01";
  {
    FileSizeLimit limit(input.size() / 2);
    StartRun(view);
  }
  EXPECT_EQ(view.results(), (QStringList{"Faild", "Faild"}));
  expectInputsIntact();
}

TEST_F(RunFault, sameFolderSameCodeRewritesEveryFileWhole) {
  view.dest = in.path();
  view.code = "L01";
  StartRun(view);
  EXPECT_EQ(view.results(), (QStringList{"OK", "OK"}));
  EXPECT_EQ(in.entries(), (QStringList{"DF1.L01", "DF2.L01"}));
  const QByteArray rewritten = readBytes(in.file("DF1.L01"));
  EXPECT_TRUE(rewritten.startsWith("\"L01\",\"MINI\",\"LOGGER\"\r\n"));
  EXPECT_EQ(rewritten.count("\r\n"), 100);
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(RunFault, tooManyOpenFiles) {
  REKODA_SKIP_WITHOUT_RLIMITS();
  {
    NoFreeHandles limit;
    StartRun(view);
  }
  EXPECT_EQ(view.results(), (QStringList{"Faild", "Faild"}));
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(view.rows[0].reason, "Error on reading Minilogger File! (Too many open files)");
  EXPECT_TRUE(out.entries().isEmpty());
  expectInputsIntact();
  expectRunEndedCleanly();
}

TEST_F(RunFault, sourceFileDeletedBetweenListingAndStart) {
  const QByteArray earlier = "an earlier output of DF1\r\n";
  out.write("DF1.L02", earlier);
  ASSERT_TRUE(QFile::remove(in.file("DF1.L01")));
  StartRun(view);
  EXPECT_EQ(view.results(), (QStringList{"Faild", "OK"}));
  EXPECT_EQ(readBytes(out.file("DF1.L02")), earlier);
  EXPECT_EQ(out.entries(), (QStringList{"DF1.L02", "DF2.L02"}));
  EXPECT_EQ(readBytes(in.file("DF2.L01")), input);
}
