#include "conversion/conversion_run.h"

#include "fake_view.h"
#include "test_support.h"

#include <QDir>

#include <stdexcept>

#include <gtest/gtest.h>


using namespace rekoda;
using namespace rekoda::test;

namespace {

const QByteArray kDF = "L01,MINI,LOGGER\r\nh2\r\nh3\r\nh4\r\nh5\r\nh6\r\nh7\r\n01-01-05,1,2\r\n";
const QByteArray kDFOut =
    "\"L02\",\"MINI\",\"LOGGER\"\r\n\"h2\"\r\n\"h3\"\r\n\"h4\"\r\n\"h5\"\r\n\"h6\"\r\n\"h7\"\r\n"
    "\"01-01-05\",1,2\r\n";

class ConversionRun : public ::testing::Test {
 protected:
  TempFolder in, out;
  FakeView view;
  MessageRecorder messages;
  void SetUp() override {
    view.source = in.path();
    view.dest = out.path();
  }
};

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
      {"s", "d", "c", 0, true, "No rows found for conversion!"},
      {"s", "d", "c", 2, false, "No rows select for conversion!"},
  };
  for (const auto &c : cases) {
    FakeView v;
    v.source = c.source;
    v.dest = c.dest;
    v.code = c.code;
    for (int i = 0; i < c.rows; ++i)
      v.rows.push_back({QString("DF%1.L01").arg(i), c.selected, "stale"});
    messages.clear();
    StartClicked(v);
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

TEST_F(ConversionRun, codeWithSpacesPassesAndIsUsedAsItStands) {
  in.write("DF1.L01", kDF);
  view.code = " L2 ";
  view.addRows({"DF1.L01"});
  StartClicked(view);
  EXPECT_EQ(view.results(), QStringList{"OK"});
  EXPECT_TRUE(readBytes(out.file("DF1. L2 ")).startsWith("\" L2 \","));
}

TEST_F(ConversionRun, mixedBatchOnRealFiles) {
  in.write("DF1.L01", kDF);
  in.write("DF2.L01", "L01,TREND,LOGGER\r\n1,2\r\n");  // fails the marker test
  in.write("DF3", kDF);                                 // no dot: nothing to write
  in.write("DF4.L01", kDF);                             // not selected
  in.write("DF6.L01", kDF);
  out.write("DF2.L02", "an earlier good output\r\n");
  view.addRows({"DF1.L01", "DF2.L01", "DF3", "DF5.L01" /* vanished */});
  view.addRows({"DF4.L01"}, false);
  view.addRows({"DF6.L01"});

  StartClicked(view);

  EXPECT_EQ(view.results(), (QStringList{"OK", "Faild", "Faild", "Faild", "", "OK"}));
  EXPECT_EQ(out.entries(), (QStringList{"DF1.L02", "DF2.L02", "DF6.L02"}));
  EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);
  EXPECT_EQ(readBytes(out.file("DF6.L02")), kDFOut);
  // A failed read writes nothing, so the earlier file is still there.
  EXPECT_EQ(readBytes(out.file("DF2.L02")), QByteArray("an earlier good output\r\n"));
  EXPECT_EQ(readBytes(in.file("DF1.L01")), kDF);
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(ConversionRun, maFamilyStampsEveryRecord) {
  in.write("MA1.L01", "1,2,3,\"L01\",\"T\",4\r\n5,6\r\n\r\n7,8,9,L01\r\n");
  view.df = false;
  view.code = "L07";
  view.addRows({"MA1.L01"});
  StartClicked(view);
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
  StartClicked(view);
  EXPECT_EQ(view.pmin, 0);
  EXPECT_EQ(view.pmax, 2);
  EXPECT_EQ(view.progressSeen, (std::vector<qint64>{0, 1, 2}));
  EXPECT_EQ(view.log, (QStringList{"bar 1", "lock 0", "lock 1", "lock 2", "lock 3", "lock 4",
                                   "lock 5", "busy 1", "events", "events", "bar 0", "busy 0",
                                   "unlock 0", "unlock 1", "unlock 2", "unlock 3", "unlock 4",
                                   "unlock 5"}));
}

TEST_F(ConversionRun, changesWhileEventsRunApplyToRowsNotYetReached) {
  for (int i = 1; i <= 4; ++i)
    in.write(QString("DF%1.L01").arg(i), kDF);
  view.addRows({"DF1.L01"});
  view.addRows({"DF2.L01", "DF3.L01", "DF4.L01"}, false);
  view.onEvents = [this](int round) {
    if (round == 1) {
      view.code = "L09";
      view.rows[2].selected = true;  // DF3
      view.rows[3].selected = true;  // DF4: more than the bar's maximum of 1
    }
  };
  StartClicked(view);
  EXPECT_EQ(view.results(), (QStringList{"OK", "", "OK", "OK"}));
  EXPECT_EQ(out.entries(), (QStringList{"DF1.L02", "DF3.L09", "DF4.L09"}));
  EXPECT_TRUE(readBytes(out.file("DF3.L09")).startsWith("\"L09\""));
  EXPECT_EQ(view.progressSeen.back(), 3);
  EXPECT_GE(view.pmax, 3);
}

TEST_F(ConversionRun, trailingSeparatorIsRemovedOnceAndRootKeepsIt) {
  in.write("DF1.L01", kDF);
  view.source = in.path() + "/";
  view.dest = out.path() + "/";
  view.addRows({"DF1.L01"});
  StartClicked(view);
  EXPECT_EQ(view.source, in.path());
  EXPECT_EQ(view.dest, out.path());
  EXPECT_EQ(view.results(), QStringList{"OK"});

  FakeView root;
  root.source = "/";
  root.dest = "/";
  root.rows.push_back({"DF-no-such-file.L01", true, ""});
  StartClicked(root);
  EXPECT_EQ(root.source, "/");
  EXPECT_EQ(root.dest, "/");
  EXPECT_EQ(root.results(), QStringList{"Faild"});
}

TEST_F(ConversionRun, sameFolderSameCodeRewritesInPlace) {
  in.write("DF1.L01", kDF);
  view.dest = in.path();
  view.code = "L01";
  view.addRows({"DF1.L01"});
  StartClicked(view);
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
  StartClicked(view);
  EXPECT_EQ(view.results(), (QStringList{"Faild", "OK"}));
  EXPECT_EQ(messages.texts(), QStringList{"Destination file already exists!"});
  EXPECT_EQ(messages.messages()[0].style, 0);
  EXPECT_EQ(readBytes(in.file("DF1.L01")), kDF);
  EXPECT_TRUE(readBytes(in.file("DF1.L02")).contains("\"other original\""));
}

TEST_F(ConversionRun, twoRowsOntoOneOutputWriteOnlyTheFirst) {
  in.write("DF1.L01", kDF);
  in.write("DF1.L03", "L03,MINI,LOGGER\r\n");
  view.addRows({"DF1.L01", "DF1.L03"});
  StartClicked(view);
  EXPECT_EQ(view.results(), (QStringList{"OK", "Faild"}));
  EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);
  EXPECT_EQ(messages.texts(), QStringList{"Destination file already exists!"});
}

TEST_F(ConversionRun, earlierOutputInSeparateFolderIsReplaced) {
  in.write("DF1.L01", kDF);
  out.write("DF1.L02", "from yesterday\r\n");
  view.addRows({"DF1.L01"});
  StartClicked(view);
  EXPECT_EQ(view.results(), QStringList{"OK"});
  EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);
}

TEST_F(ConversionRun, failedWriteIsFaildWithItsMessage) {
  in.write("DF1.L01", kDF);
  view.dest = out.file("removed");
  view.addRows({"DF1.L01"});
  StartClicked(view);
  EXPECT_EQ(view.results(), QStringList{"Faild"});
  EXPECT_EQ(messages.messages().size(), 1u);
  EXPECT_FALSE(view.pvisible);
  EXPECT_FALSE(view.busy);
}

TEST_F(ConversionRun, stopRequestFinishesFileInHandThenStops) {
  for (int i = 1; i <= 3; ++i)
    in.write(QString("DF%1.L01").arg(i), kDF);
  view.addRows({"DF1.L01", "DF2.L01", "DF3.L01"});
  view.onEvents = [this](int) { view.stop = true; };
  StartClicked(view);
  EXPECT_EQ(view.results(), (QStringList{"OK", "", ""}));
  EXPECT_EQ(out.entries(), QStringList{"DF1.L02"});
  EXPECT_TRUE(view.log.endsWith("unlock 5"));
}

TEST_F(ConversionRun, fortyThousandRowsAreNotLimitedBySixteenBits) {
  in.write("DF1.L01", kDF);
  for (int i = 0; i < 40000; ++i)
    view.rows.push_back({QString("DFmissing%1.L01").arg(i), true, ""});
  view.rows.push_back({"DF1.L01", true, ""});
  StartClicked(view);
  EXPECT_EQ(view.pmax, 40001);
  EXPECT_EQ(view.progressSeen.back(), 40001);
  EXPECT_EQ(view.rows.back().result, "OK");
  EXPECT_EQ(view.rows[39999].result, "Faild");
}

TEST_F(ConversionRun, errorInsideTheLoopUnlocksThenReports) {
  struct Failing : FakeView {
    QString rowText(qsizetype r) const override {
      if (r == 2)
        throw std::runtime_error("the list went away");
      return FakeView::rowText(r);
    }
  } failing;
  in.write("DF1.L01", kDF);
  failing.source = in.path();
  failing.dest = out.path();
  failing.addRows({"DF1.L01", "DF2.L01", "DF3.L01"});
  failing.onEvents = [&](int) { EXPECT_TRUE(messages.messages().empty()); };
  StartClicked(failing);
  EXPECT_EQ(failing.results(), (QStringList{"OK", "", ""}));
  EXPECT_EQ(messages.texts(), QStringList{"the list went away"});
  EXPECT_EQ(messages.messages()[0].style, 0);
  EXPECT_TRUE(failing.log.endsWith("unlock 5"));
  EXPECT_FALSE(failing.pvisible);
  EXPECT_FALSE(failing.busy);
}
