#include "platform/text_file.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace rekoda;
using namespace rekoda::test;

namespace {

std::vector<std::string> readAllLines(const QString &path, bool *failed = nullptr) {
  TextFileReader in;
  EXPECT_EQ(in.open(path), TextFileReader::OpenResult::Ok);
  std::vector<std::string> lines;
  std::string line;
  while (in.readLine(line))
    lines.push_back(line);
  if (failed)
    *failed = in.failed();
  return lines;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(TextFileReader, lineEndsAtCrOrCrLfButNotAtLoneLf) {
  TempFolder dir;
  EXPECT_EQ(readAllLines(dir.write("a", "a\rb\r\nc")), (Lines{"a", "b", "c"}));
  EXPECT_EQ(readAllLines(dir.write("b", "a\nb\nc\n")), (Lines{"a\nb\nc\n"}));
  EXPECT_EQ(readAllLines(dir.write("c", "a\n\rb")), (Lines{"a\n", "b"}));
  EXPECT_EQ(readAllLines(dir.write("d", "a\r\n\r\nb\r\n")), (Lines{"a", "", "b"}));
  EXPECT_EQ(readAllLines(dir.write("e", "\r\r")), (Lines{"", ""}));
  EXPECT_EQ(readAllLines(dir.write("f", "\r\n\n")), (Lines{"", "\n"}));
}

TEST(TextFileReader, terminatorAtEndOpensNoFurtherLine) {
  TempFolder dir;
  EXPECT_EQ(readAllLines(dir.write("a", "x\r\n")), (Lines{"x"}));
  EXPECT_EQ(readAllLines(dir.write("b", "x\r")), (Lines{"x"}));
  EXPECT_EQ(readAllLines(dir.write("c", "x")), (Lines{"x"}));
  EXPECT_EQ(readAllLines(dir.write("d", "")), Lines{});
  EXPECT_EQ(readAllLines(dir.write("e", "\r\n")), (Lines{""}));
}

TEST(TextFileReader, bytesPassUnchangedAcrossChunkBoundaries) {
  TempFolder dir;
  // Long lines put CR and its LF on either side of the 64 KiB read chunk.
  std::string first(64 * 1024 - 1, '\xE9');
  std::string second = "\x80\xFF\x01 mixed";
  QByteArray bytes = QByteArray::fromStdString(first + "\r\n" + second + "\r\n");
  EXPECT_EQ(readAllLines(dir.write("a", bytes)), (Lines{first, second}));

  std::string longLine(200000, 'x');
  longLine[100000] = '\n';
  EXPECT_EQ(readAllLines(dir.write("b", QByteArray::fromStdString(longLine + "\r"))), (Lines{longLine}));
}

TEST(TextFileReader, openFailures) {
  TempFolder dir;
  TextFileReader missing;
  EXPECT_EQ(missing.open(dir.file("nothing")), TextFileReader::OpenResult::Failed);

  const QString path = dir.write("x", "a");
  {
    NoFreeHandles limit;
    TextFileReader in;
    EXPECT_EQ(in.open(path), TextFileReader::OpenResult::NoHandle);
  }
}

TEST(TextFileReader, readErrorAfterOpenIsReported) {
  TempFolder dir;
  // A folder opens on POSIX but every read of it fails.
  bool failed = false;
  const auto lines = readAllLines(dir.mkdir("sub"), &failed);
  EXPECT_TRUE(failed);
  EXPECT_TRUE(lines.empty());
}

TEST(TextFileWriter, everyLineEndsInCrLfAndTargetIsReplacedWhole) {
  TempFolder dir;
  const QString path = dir.write("out.txt", "old content that is longer\r\n");
  TextFileWriter out(path);
  ASSERT_TRUE(out.open());
  ASSERT_TRUE(out.writeLine("a\xFF"));
  ASSERT_TRUE(out.writeLine(""));
  ASSERT_TRUE(out.writeLine("b"));
  ASSERT_TRUE(out.commit());
  EXPECT_EQ(readBytes(path), QByteArray("a\xFF\r\n\r\nb\r\n"));
  EXPECT_EQ(dir.entries(), QStringList{"out.txt"});
}

TEST(TextFileWriter, failureLeavesOldTargetAndNoTemporaryFile) {
  TempFolder dir;
  const QByteArray old = "precious\r\n";
  const QString path = dir.write("out.txt", old);
  {
    // Big enough for nothing of the new content to reach the disk before the
    // final flush, which is where Qt's own check falls short.
    FileSizeLimit limit(1000);
    TextFileWriter out(path);
    ASSERT_TRUE(out.open());
    bool ok = true;
    for (int i = 0; i < 200 && ok; ++i)
      ok = out.writeLine(std::string(20, 'x'));
    if (ok)
      ok = out.commit();
    EXPECT_FALSE(ok);
    EXPECT_FALSE(out.errorString().isEmpty());
  }
  EXPECT_EQ(readBytes(path), old);
  EXPECT_EQ(dir.entries(), QStringList{"out.txt"});
}

TEST(TextFileWriter, failedFinalFlushIsNotReportedAsSuccess) {
  TempFolder dir;
  const QByteArray old = "precious\r\n";
  const QString path = dir.write("out.txt", old);
  FileSizeLimit limit(100);
  TextFileWriter out(path);
  ASSERT_TRUE(out.open());
  // Stays inside Qt's write buffer, so only the flush meets the limit.
  ASSERT_TRUE(out.writeLine(std::string(500, 'y')));
  EXPECT_FALSE(out.commit());
  EXPECT_EQ(readBytes(path), old);
  EXPECT_EQ(dir.entries(), QStringList{"out.txt"});
}

TEST(TextFileWriter, missingFolderFailsAtOpenWithDescription) {
  TempFolder dir;
  TextFileWriter out(dir.file("no/such/out.txt"));
  EXPECT_FALSE(out.open());
  EXPECT_FALSE(out.errorString().isEmpty());
  EXPECT_TRUE(dir.entries().isEmpty());
}
