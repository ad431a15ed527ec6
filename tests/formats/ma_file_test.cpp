#include "formats/ma/ma_file.h"

#include "buffer/variable.h"
#include "formats/buffer_file.h"
#include "platform/file_system.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace rekoda;
using namespace rekoda::test;

namespace {

// Reads, stamps the code into field 4 of every row and writes: what a run
// does with one MA file.
QByteArray convertMA(const QByteArray &input, const QString &code = "NEW") {
  TempFolder in;
  EXPECT_EQ(ReadMAFile(in.write("MA0412.L01", input)), ReadOk);
  for (int r = 1; r <= LineCount; ++r)
    FieldBuffer[static_cast<size_t>(r)][4] = code.toStdString();
  return rendered(WriteMAField);
}

}  // namespace

TEST(ReadMAFile, everyLineIsARecord) {
  TempFolder dir;
  ASSERT_EQ(ReadMAFile(dir.write("MA1.L01", "1,2,3\r\n4,5\r\n\r\nsolo\r\n6,7")), ReadOk);
  EXPECT_EQ(LineCount, 5);
  EXPECT_EQ(FieldBuffer[1][0], "3");
  EXPECT_EQ(FieldBuffer[1][3], "3");
  EXPECT_EQ(FieldBuffer[2][0], "2");
  EXPECT_EQ(FieldBuffer[3][0], "0");
  EXPECT_EQ(FieldBuffer[3][1], "");
  EXPECT_EQ(FieldBuffer[4][0], "1");
  EXPECT_EQ(FieldBuffer[4][1], "solo");  // a one-field line keeps its field
  EXPECT_EQ(FieldBuffer[5][2], "7");
  EXPECT_EQ(FieldBuffer[5][3], "");

  // Nothing of the previous file survives the next read.
  ASSERT_EQ(ReadMAFile(dir.write("MA2.L01", "\r\n")), ReadOk);
  EXPECT_EQ(LineCount, 1);
  EXPECT_EQ(FieldBuffer[1][0], "0");
  EXPECT_EQ(FieldBuffer[1][1], "");
  EXPECT_EQ(FieldBuffer[2][0], "");
}

TEST(ReadMAFile, failuresLeaveClearedBuffer) {
  TempFolder dir;
  MessageRecorder messages;
  EXPECT_EQ(ReadMAFile(dir.write("MA1", "")), ReadEmpty);
  EXPECT_EQ(LineCount, 0);
  EXPECT_EQ(ReadMAFile(dir.file("missing")), ReadOpenFailed);
  ReadMAFile(dir.write("MA2", "1,2,3,4"));
  EXPECT_EQ(ReadMAFile(dir.mkdir("MA3")), ReadOpenFailed);
  EXPECT_EQ(LineCount, 0);
  EXPECT_EQ(FieldBuffer[1][1], "");
  EXPECT_TRUE(messages.messages().empty());

  REKODA_SKIP_WITHOUT_RLIMITS();
  const QString path = dir.write("MA4", "1,2");
  int status;
  {
    NoFreeHandles limit;
    status = ReadMAFile(path);
  }
  EXPECT_EQ(status, ReadOpenFailed);
  ASSERT_EQ(messages.texts(), QStringList{"Error on reading Minilogger File!"});
  EXPECT_EQ(messages.messages()[0].style, 0);
}

TEST(ReadMAFile, fileBeyondBufferIsRefused) {
  TempFolder dir;
  QByteArray many;
  for (int i = 0; i < 101; ++i)
    many += "1,2,3,L01,T,4\r\n";
  EXPECT_EQ(ReadMAFile(dir.write("MA1", many)), ReadTooLarge);
  EXPECT_EQ(LineCount, 0);
  EXPECT_EQ(FieldBuffer[1][0], "");
  EXPECT_EQ(ReadMAFile(dir.write("MA2", QByteArray(65, ','))), ReadOk);  // 65 empty fields
  EXPECT_EQ(ReadMAFile(dir.write("MA3", QByteArray(66, ','))), ReadTooLarge);
}

TEST(MARoundTrip, quotingOfFieldsFourAndFive) {
  EXPECT_EQ(convertMA("1,2,3,\"L01\",\"TXT\",4\r\n"), QByteArray("1,2,3,\"NEW\",\"TXT\",4\r\n"));
  EXPECT_EQ(convertMA("1,2,3,L01,TXT,4"), QByteArray("1,2,3,\"NEW\",\"TXT\",4\r\n"));
  EXPECT_EQ(convertMA("\"1\",2,3,L01,TXT,\"4\""), QByteArray("1,2,3,\"NEW\",\"TXT\",4\r\n"));
  EXPECT_EQ(convertMA("1,'2',3,L01,TXT,it's"), QByteArray("1,2,3,\"NEW\",\"TXT\",its\r\n"));
  // The comma inside the quotes splits: the quotes fall on the new 4 and 5.
  EXPECT_EQ(convertMA("1,2,3,\"L0,1\",TXT,4"), QByteArray("1,2,3,\"NEW\",\"1\",TXT,4\r\n"));
  EXPECT_EQ(convertMA("1,2,3,L01,TXT,4,"), QByteArray("1,2,3,\"NEW\",\"TXT\",4\r\n"));
  EXPECT_EQ(convertMA(" 1 ,2,3,L01, \"TXT\" ,4"), QByteArray(" 1 ,2,3,\"NEW\",\" TXT \",4\r\n"));
  // Fewer than four fields: the code is stamped but not written.
  EXPECT_EQ(convertMA("1,2\r\rsolo\r1,2,3,\r"), QByteArray("1,2\r\n\r\nsolo\r\n1,2,3\r\n"));
  EXPECT_EQ(convertMA("a,,b,L1,"), QByteArray("a,,b,\"NEW\"\r\n"));
}

TEST(MAWriter, emptyFieldFourIsTwoQuotesAndLineCountZeroIsEmptyFile) {
  LineCount = 1;
  FieldBuffer[1] = BufferRow{};
  FieldBuffer[1][0] = "4";
  FieldBuffer[1][1] = "1";
  EXPECT_EQ(rendered(WriteMAField), QByteArray("1,,,\"\"\r\n"));
  LineCount = 0;
  EXPECT_EQ(rendered(WriteMAField), QByteArray());
}

TEST(MAWriter, outputNames) {
  EXPECT_EQ(OutputFileName("MA.04.12", "X"), QString("MA.X"));
  EXPECT_EQ(OutputFileName("MA0412.", "L07"), QString("MA0412.L07"));
  EXPECT_EQ(OutputFileName(".L01", "L07"), QString(".L07"));
  EXPECT_EQ(OutputFileName("MA0412", "L07"), std::nullopt);
#ifdef _WIN32
  EXPECT_EQ(JoinPath("D:\\OUT", *OutputFileName("MA0412.L01", "L07")), QString("D:\\OUT\\MA0412.L07"));
  EXPECT_EQ(JoinPath("D:\\", *OutputFileName("MA0412.L01", "L07")), QString("D:\\MA0412.L07"));
#else
  EXPECT_EQ(JoinPath("/out", *OutputFileName("MA0412.L01", "L07")), QString("/out/MA0412.L07"));
  EXPECT_EQ(JoinPath("/", *OutputFileName("MA0412.L01", "L07")), QString("/MA0412.L07"));
#endif
}
