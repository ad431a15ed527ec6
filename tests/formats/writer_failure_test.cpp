// Every way a write can fail: the user is told, no partial or temporary file
// is left, and an existing file of the output name is untouched.

#include "buffer/field_buffer.h"
#include "buffer/variable.h"
#include "formats/df/df_file.h"
#include "formats/ma/ma_file.h"
#include "test_support.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

using namespace rekoda;
using namespace rekoda::test;

namespace {

using Writer = bool (*)(const QString &, const QString &, const QString &);

struct Family {
  const char *name;
  Writer write;
};

void PrintTo(const Family &f, std::ostream *os) { *os << f.name; }

class WriterFailure : public ::testing::TestWithParam<Family> {
 protected:
  void SetUp() override {
    ResetBuf();
    LineCount = 100;
    for (int r = 1; r <= LineCount; ++r) {
      FieldBuffer[static_cast<size_t>(r)][0] = "6";
      for (int k = 1; k <= 6; ++k)
        FieldBuffer[static_cast<size_t>(r)][static_cast<size_t>(k)] = "value" + std::to_string(k);
    }
  }
  bool write(const QString &folder) { return GetParam().write(folder, "X1.L01", "L02"); }

  const QByteArray old_ = "the earlier, complete output\r\n";
};

}  // namespace

TEST_P(WriterFailure, missingDestinationFolder) {
  TempFolder dir;
  MessageRecorder messages;
  EXPECT_FALSE(write(dir.file("gone")));
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].style, 0);
  EXPECT_FALSE(messages.messages()[0].text.isEmpty());
  EXPECT_TRUE(dir.entries().isEmpty());
}

TEST_P(WriterFailure, destinationThroughRegularFile) {
  TempFolder dir;
  dir.write("plain", "x");
  MessageRecorder messages;
  EXPECT_FALSE(write(dir.file("plain")));
  EXPECT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(dir.entries(), QStringList{"plain"});
  EXPECT_EQ(readBytes(dir.file("plain")), QByteArray("x"));
}

TEST_P(WriterFailure, diskFullPartWayKeepsExistingTarget) {
  REKODA_SKIP_WITHOUT_RLIMITS();
  TempFolder dir;
  dir.write("X1.L02", old_);
  MessageRecorder messages;
  bool ok;
  {
    FileSizeLimit limit(2000);  // the file needs about 6 KB
    ok = write(dir.path());
  }
  EXPECT_FALSE(ok);
  EXPECT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(readBytes(dir.file("X1.L02")), old_);
  EXPECT_EQ(dir.entries(), QStringList{"X1.L02"});
}

TEST_P(WriterFailure, noFreeHandle) {
  REKODA_SKIP_WITHOUT_RLIMITS();
  TempFolder dir;
  dir.write("X1.L02", old_);
  MessageRecorder messages;
  bool ok;
  {
    NoFreeHandles limit;
    ok = write(dir.path());
  }
  EXPECT_FALSE(ok);
  EXPECT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(readBytes(dir.file("X1.L02")), old_);
  EXPECT_EQ(dir.entries(), QStringList{"X1.L02"});
}

TEST_P(WriterFailure, badFieldCountStopsBeforeAnythingIsReplaced) {
  for (const char *bad : {"", "x", "-1", "66", "3a"}) {
    TempFolder dir;
    dir.write("X1.L02", old_);
    MessageRecorder messages;
    FieldBuffer[50][0] = bad;
    EXPECT_FALSE(write(dir.path())) << bad;
    EXPECT_EQ(messages.messages().size(), 1u) << bad;
    EXPECT_EQ(readBytes(dir.file("X1.L02")), old_) << bad;
    EXPECT_EQ(dir.entries(), QStringList{"X1.L02"}) << bad;
  }
}

TEST_P(WriterFailure, folderThatCannotBeWritten) {
#ifdef _WIN32
  GTEST_SKIP() << "a folder's read-only attribute does not stop writes on Windows, and wine has no ACLs";
#else
  TempFolder dir;
  const QString sub = dir.mkdir("ro");
  dir.write("ro/X1.L02", old_);
  // Permissions do not stop root; an immutable folder stops everyone.
  const bool root = ::geteuid() == 0;
  if (root && QProcess::execute("chattr", {"+i", sub}) != 0)
    GTEST_SKIP() << "chattr +i is not available on this file system";
  if (!root)
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::ExeOwner);
  MessageRecorder messages;
  const bool written = write(sub);
  if (root)
    QProcess::execute("chattr", {"-i", sub});
  else
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_FALSE(written);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_FALSE(messages.messages()[0].text.isEmpty());
  EXPECT_EQ(readBytes(dir.file("ro/X1.L02")), old_);
  EXPECT_EQ(QDir(sub).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"X1.L02"});
#endif
}

TEST_P(WriterFailure, existingTargetIsReplacedWholeOnSuccess) {
  TempFolder dir;
  dir.write("X1.L02", QByteArray(100000, 'o'));
  MessageRecorder messages;
  EXPECT_TRUE(write(dir.path()));
  const QByteArray written = readBytes(dir.file("X1.L02"));
  EXPECT_EQ(written.count("value1"), 100);
  EXPECT_TRUE(written.endsWith("value6\r\n"));
  EXPECT_EQ(written.count("\r\n"), 100);
  EXPECT_TRUE(messages.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, WriterFailure,
                         ::testing::Values(Family{"DF", [](const QString &d, const QString &n, const QString &c) {
                                             return WriteDFfile(d, n, c);
                                           }},
                                           Family{"MA", [](const QString &d, const QString &n, const QString &c) {
                                             return WriteMAfile(d, n, c);
                                           }}),
                         [](const auto &info) { return std::string(info.param.name); });
