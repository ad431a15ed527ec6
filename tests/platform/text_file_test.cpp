#include "platform/text_file.h"

#include "test_support.h"

#include <QFile>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

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

TEST(TextFileReader, lineEndsAtCrLfCrOrLf) {
  TempFolder dir;
  EXPECT_EQ(readAllLines(dir.write("a", "a\rb\r\nc")), (Lines{"a", "b", "c"}));
  EXPECT_EQ(readAllLines(dir.write("b", "a\nb\nc\n")), (Lines{"a", "b", "c"}));
  EXPECT_EQ(readAllLines(dir.write("c", "a\n\rb")), (Lines{"a", "", "b"}));
  EXPECT_EQ(readAllLines(dir.write("d", "a\r\n\r\nb\r\n")), (Lines{"a", "", "b"}));
  EXPECT_EQ(readAllLines(dir.write("e", "\r\r")), (Lines{"", ""}));
  EXPECT_EQ(readAllLines(dir.write("f", "\r\n\n")), (Lines{"", ""}));
  EXPECT_EQ(readAllLines(dir.write("g", "a\n\nb\n")), (Lines{"a", "", "b"}));
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
  EXPECT_EQ(readAllLines(dir.write("b", QByteArray::fromStdString(longLine + "\r"))),
            (Lines{longLine.substr(0, 100000), longLine.substr(100001)}));
}

TEST(TextFileReader, openFailures) {
  TempFolder dir;
  TextFileReader missing;
  EXPECT_EQ(missing.open(dir.file("nothing")), TextFileReader::OpenResult::Failed);

#ifndef _WIN32
  const QString path = dir.write("x", "a");
  {
    NoFreeHandles limit;
    TextFileReader in;
    EXPECT_EQ(in.open(path), TextFileReader::OpenResult::NoHandle);
  }
#endif
}

TEST(TextFileReader, onlyPlainFilesOfBoundedSizeAreRead) {
  TempFolder dir;
  TextFileReader folder;
  EXPECT_EQ(folder.open(dir.mkdir("sub")), TextFileReader::OpenResult::NotPlain);
  EXPECT_FALSE(folder.status().ok());

#ifndef _WIN32
  // A pipe with no writer would block a plain open for ever.
  ASSERT_EQ(::mkfifo(dir.file("fifo").toLocal8Bit().constData(), 0600), 0);
  TextFileReader fifo;
  EXPECT_EQ(fifo.open(dir.file("fifo")), TextFileReader::OpenResult::NotPlain);
#endif

  // Sparse: costs no disk, and must not be read to be refused.
  QFile big(dir.file("big"));
  ASSERT_TRUE(big.open(QIODevice::WriteOnly));
  ASSERT_TRUE(big.resize(kMaxTextFileBytes + 1));
  big.close();
  TextFileReader huge;
  EXPECT_EQ(huge.open(dir.file("big")), TextFileReader::OpenResult::TooLarge);
}

// A file still being written, or cut, while it is read is not taken for
// whole; the size limit holds for the bytes read, and the limit itself is
// allowed.
TEST(TextFileReader, fileThatChangesWhileItIsReadFails) {
  TempFolder dir;
#ifndef _WIN32  // Windows readers shut writers out: the file cannot change
  const QByteArray start = QByteArray("L01,MINI,LOGGER\r\n") + QByteArray(100000, 'x') + "\r\n";
  struct Case {
    const char *what;
    qint64 growTo;  // -1: cut to 10 bytes
    TextFileReader::Failure failure;
  };
  for (const Case &c : {Case{"appended", start.size() + 20, TextFileReader::Failure::Changed},
                        Case{"cut", -1, TextFileReader::Failure::Changed},
                        Case{"grown past the limit", kMaxTextFileBytes + 2, TextFileReader::Failure::TooLarge}}) {
    SCOPED_TRACE(c.what);
    const QString path = dir.write("DF1.L01", start);
    TextFileReader in;
    ASSERT_EQ(in.open(path), TextFileReader::OpenResult::Ok);
    std::string line;
    ASSERT_TRUE(in.readLine(line));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(c.growTo < 0 ? 10 : c.growTo));
    f.close();
    while (in.readLine(line)) {
    }
    EXPECT_EQ(in.failure(), c.failure);
  }
#endif
  QFile exact(dir.file("exact"));
  ASSERT_TRUE(exact.open(QIODevice::WriteOnly));
  ASSERT_TRUE(exact.resize(kMaxTextFileBytes));
  exact.close();
  bool failed = true;
  EXPECT_EQ(readAllLines(exact.fileName(), &failed).size(), 1u);
  EXPECT_FALSE(failed);
}
