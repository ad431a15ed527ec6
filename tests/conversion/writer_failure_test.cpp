// Every way a write can fail, for both families, through the run that ships:
// the file fails with a reason, no partial or temporary file is left, and an
// existing file of the output name is untouched.

#include "buffer/field_buffer.h"
#include "buffer/variable.h"
#include "formats/df/df_file.h"
#include "formats/ma/ma_file.h"
#include "test_support.h"

#include "conversion/speaker.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

using namespace rekoda;
using namespace rekoda::test;

namespace {

struct FamilyCase {
  const char *name;
  Family family;
  QByteArray input;  // about 6 KB
};

void PrintTo(const FamilyCase &f, std::ostream *os) { *os << f.name; }

QByteArray input(bool df) {
  QByteArray b = df ? "L01,MINI,LOGGER\r\n" : "";
  for (int r = df ? 2 : 1; r <= 100; ++r)
    b += "value1,value2,value3,L01,value5,value6\r\n";
  return b;
}

class WriterFailure : public ::testing::TestWithParam<FamilyCase> {
 protected:
  TempFolder in;
  const QByteArray old_ = "the earlier, complete output\r\n";

  void SetUp() override { in.write("X1.L01", GetParam().input); }
  FileOutcome write(const QString &folder) {
    ConversionJob job;
    job.source = in.path();
    job.dest = folder;
    job.code = "L02";
    job.family = GetParam().family;
    job.files = {"X1.L01"};
    const auto outcomes = convert(job);
    EXPECT_EQ(outcomes.size(), 1u);
    return outcomes.empty() ? FileOutcome{} : outcomes[0];
  }
  void expectFailedKeepingOld(const FileOutcome &o, const TempFolder &dir, const QString &sub = {}) {
    EXPECT_FALSE(o.ok);
    EXPECT_FALSE(o.reason.isNone());
    EXPECT_EQ(readBytes(dir.file(sub + "X1.L02")), old_);
    EXPECT_EQ(QDir(dir.file(sub)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"X1.L02"});
  }
};

}  // namespace

TEST_P(WriterFailure, destinationMissingOrAFile) {
  TempFolder dir;
  dir.write("plain", "x");
  for (const char *dest : {"gone", "plain"}) {
    const FileOutcome o = write(dir.file(dest));
    EXPECT_FALSE(o.ok) << dest;
    EXPECT_TRUE(English(o.reason).startsWith("cannot write to ")) << English(o.reason).toStdString();
  }
  EXPECT_EQ(dir.entries(), QStringList{"plain"});
  EXPECT_EQ(readBytes(dir.file("plain")), QByteArray("x"));
}

TEST_P(WriterFailure, diskFullPartWayKeepsExistingTarget) {
  REKODA_SKIP_WITHOUT_RLIMITS();
  TempFolder dir;
  dir.write("X1.L02", old_);
  FileOutcome o;
  {
    FileSizeLimit limit(2000);
    o = write(dir.path());
  }
  expectFailedKeepingOld(o, dir);
  EXPECT_EQ(English(o.reason), "File too large");
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
  const FileOutcome o = write(sub);
  if (root)
    QProcess::execute("chattr", {"-i", sub});
  else
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  expectFailedKeepingOld(o, dir, "ro/");
#endif
}

TEST_P(WriterFailure, existingTargetIsReplacedWholeOnSuccess) {
  TempFolder dir;
  dir.write("X1.L02", QByteArray(100000, 'o'));
  const FileOutcome o = write(dir.path());
  EXPECT_TRUE(o.ok) << English(o.reason).toStdString();
  const QByteArray written = readBytes(dir.file("X1.L02"));
  EXPECT_EQ(written.count("value1"), GetParam().family == Family::DF ? 99 : 100);
  EXPECT_TRUE(written.endsWith("value6\r\n"));
  EXPECT_EQ(written.count("\r\n"), 100);
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, WriterFailure,
                         ::testing::Values(FamilyCase{"DF", Family::DF, input(true)},
                                           FamilyCase{"MA", Family::MA, input(false)}),
                         [](const auto &info) { return std::string(info.param.name); });

// The writer refuses a buffer no reader leaves, before anything is written.
TEST(Render, badFieldCountIsRefused) {
  for (const char *bad : {"", "x", "-1", "66", "3a"}) {
    ResetBuf();
    LineCount = 2;
    FieldBuffer[1][0] = "1";
    FieldBuffer[2][0] = bad;
    std::string out;
    const QString reason = English(RenderBufferFile(WriteMAField, false, out));
    EXPECT_TRUE(reason.startsWith("row 2 has no valid field count")) << reason.toStdString();
  }
}
