#include "formats/df/df_file.h"

#include "buffer/variable.h"
#include "formats/buffer_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace rekoda;
using namespace rekoda::test;

namespace {

int readDF(const TempFolder &dir, const QByteArray &bytes) {
  return ReadDFFile(dir.write("DF000123.L01", bytes));
}

std::vector<std::string> row(int r) {
  const auto &src = FieldBuffer[static_cast<size_t>(r)];
  const int n = src[0].empty() ? 0 : std::stoi(src[0]);
  return std::vector<std::string>(src.begin(), src.begin() + n + 1);
}

using F = std::vector<std::string>;

bool bufferIsEmpty() {
  for (const auto &r : FieldBuffer)
    for (const auto &f : r)
      if (!f.empty())
        return false;
  return LineCount == 0;
}

}  // namespace

TEST(ReadDFFile, identificationLineOnly) {
  TempFolder dir;
  EXPECT_EQ(readDF(dir, "L1,MINI,LOGGER"), ReadOk);
  EXPECT_EQ(LineCount, 1);
  EXPECT_EQ(row(1), (F{"3", "L1", "MINI", "LOGGER"}));
  EXPECT_EQ(FieldBuffer[0][0], "");
  EXPECT_EQ(FieldBuffer[1][4], "");
}

TEST(ReadDFFile, markerTestIgnoresCaseSpacesAndQuotesButKeepsThemStored) {
  TempFolder dir;
  EXPECT_EQ(readDF(dir, "L07, mini ,Logger"), ReadOk);
  EXPECT_EQ(row(1), (F{"3", "L07", " mini ", "Logger"}));
  EXPECT_EQ(readDF(dir, "\"L07\",'TREND',\"monitor\",extra"), ReadOk);
  EXPECT_EQ(row(1), (F{"4", "L07", "TREND", "monitor", "extra"}));
}

TEST(ReadDFFile, identificationLineWithoutMarkerPairFailsWithTwo) {
  TempFolder dir;
  const char *bad[] = {
      "MINI,LOGGER,x\r\n1,2",  // no location code before the pair
      "L1,MINI,MONITOR",
      "L1,TREND,LOGGER",
      "L1,\tMINI,LOGGER",       // only spaces are tolerated
      "\r\nL1,MINI,LOGGER",     // empty identification line
      "L1MINILOGGER\r\n1,2",    // one field: tested like any other
      ",\r\n1,2",               // one empty field
  };
  for (const char *content : bad) {
    EXPECT_EQ(readDF(dir, content), ReadNoMarker) << content;
    EXPECT_TRUE(bufferIsEmpty()) << content;
  }
}

TEST(ReadDFFile, lineStructure) {
  TempFolder dir;
  EXPECT_EQ(readDF(dir, "L1,MINI,LOGGER\r\n\r\nsolo\r\na\nb,c\r\n"), ReadOk);
  EXPECT_EQ(LineCount, 5);
  EXPECT_EQ(row(2), F{"0"});
  EXPECT_EQ(FieldBuffer[2][1], "");
  EXPECT_EQ(row(3), (F{"1", "solo"}));  // a one-field line keeps its field
  EXPECT_EQ(row(4), (F{"1", "a"}));      // a lone LF ends a line too
  EXPECT_EQ(row(5), (F{"2", "b", "c"}));
}

TEST(ReadDFFile, emptyMissingAndUnreadableFiles) {
  TempFolder dir;
  MessageRecorder messages;
  EXPECT_EQ(readDF(dir, ""), ReadEmpty);
  EXPECT_TRUE(bufferIsEmpty());

  EXPECT_EQ(ReadDFFile(dir.file("missing")), ReadOpenFailed);

  // A read error after the open leaves nothing of what was read before.
  readDF(dir, "L1,MINI,LOGGER");
  EXPECT_EQ(ReadDFFile(dir.mkdir("folder")), ReadOpenFailed);
  EXPECT_TRUE(bufferIsEmpty());
  EXPECT_TRUE(messages.messages().empty());
}

TEST(ReadDFFile, noFreeHandleIsReported) {
  REKODA_SKIP_WITHOUT_RLIMITS();
  TempFolder dir;
  const QString path = dir.write("DF1.L01", "L1,MINI,LOGGER");
  MessageRecorder messages;
  int status;
  {
    NoFreeHandles limit;
    status = ReadDFFile(path);
  }
  EXPECT_EQ(status, ReadOpenFailed);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "Error on reading Minilogger File!");
  EXPECT_EQ(messages.messages()[0].style, 0);
}

TEST(ReadDFFile, fileBeyondBufferIsRefusedNotCut) {
  TempFolder dir;
  QByteArray lines = "L1,MINI,LOGGER\r\n";
  for (int i = 2; i <= 100; ++i)
    lines += "1,2\r\n";
  EXPECT_EQ(readDF(dir, lines), ReadOk);
  EXPECT_EQ(LineCount, 100);
  EXPECT_EQ(readDF(dir, lines + "x"), ReadTooLarge);
  EXPECT_TRUE(bufferIsEmpty());

  QByteArray wide = "L1,MINI,LOGGER\r\n";
  for (int i = 1; i < 65; ++i)
    wide += QByteArray::number(i) + ",";
  EXPECT_EQ(readDF(dir, wide + "65"), ReadOk);
  EXPECT_EQ(FieldBuffer[2][0], "65");
  EXPECT_EQ(FieldBuffer[2][65], "65");
  EXPECT_EQ(readDF(dir, wide + "65,66"), ReadTooLarge);
  EXPECT_TRUE(bufferIsEmpty());
}

TEST(DFRoundTrip, headerAndDataRowsAreQuotedByPosition) {
  TempFolder in;
  const QByteArray input =
      "\"L01\",\"MINI\",\"LOGGER\",,\"X\"\r\n"
      "'Serial',12345\r\n"
      "Title,,Z\r\n"
      "a,\"b\"\r\n"
      "\r\n"
      "h6\r\n"
      "h7,\r\n"
      "\"01-01-05\",12.5,,7\r\n"
      ",1,2\r\n"
      "02-01-05, 3 ,\xB0\x43\r"
      "03-01-05,\"4\"";
  ASSERT_EQ(ReadDFFile(in.write("DF000123.L01", input)), ReadOk);
  FieldBuffer[1][1] = "L02";
  EXPECT_EQ(rendered(WriteDFField),
            QByteArray("\"L02\",\"MINI\",\"LOGGER\",,\"X\"\r\n"
                       "\"Serial\",\"12345\"\r\n"
                       "\"Title\",\"\",\"Z\"\r\n"
                       "\"a\",\"b\"\r\n"
                       "\r\n"
                       "\"h6\"\r\n"
                       "\"h7\"\r\n"
                       "\"01-01-05\",12.5,,7\r\n"
                       "\"\",1,2\r\n"
                       "\"02-01-05\", 3 ,\xB0\x43\r\n"
                       "\"03-01-05\",4\r\n"));
}

TEST(DFWriter, emptyRowOneFieldAndValuesWrittenUnescaped) {
  LineCount = 1;
  FieldBuffer[1] = BufferRow{};
  FieldBuffer[1][0] = "4";
  FieldBuffer[1][1] = "L,\"2";
  FieldBuffer[1][2] = "MINI";
  FieldBuffer[1][3] = "LOGGER";
  EXPECT_EQ(rendered(WriteDFField), QByteArray("\"L,\"2\",\"MINI\",\"LOGGER\",\r\n"));
}

TEST(DFWriter, outputNameReplacesEverythingAfterFirstDot) {
  EXPECT_EQ(OutputFileName("DF1.A.B", "X"), QString("DF1.X"));
  EXPECT_EQ(OutputFileName("DF2.", "X"), QString("DF2.X"));
  EXPECT_EQ(OutputFileName(".L01", "X"), QString(".X"));
  EXPECT_EQ(OutputFileName("DF3", "X"), std::nullopt);
  LineCount = 0;
  EXPECT_EQ(rendered(WriteDFField), QByteArray());
}
