// The files technicians really meet: names that are not UTF-8, line ends of
// every kind, byte-order marks, and a Turkish locale.

#include "conversion/window_start.h"
#include "formats/df/df_file.h"
#include "platform/file_name.h"
#include "platform/file_system.h"

#include "fake_view.h"
#include "test_support.h"

#include <algorithm>
#include <clocale>
#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

using namespace rekoda;
using namespace rekoda::test;

namespace {

#ifndef _WIN32
QByteArrayList rawEntries(const QString &folder) {
  QByteArrayList names;
  DIR *d = ::opendir(folder.toLocal8Bit().constData());
  while (const dirent *e = d ? ::readdir(d) : nullptr)
    if (e->d_name[0] != '.')
      names << QByteArray(e->d_name);
  if (d)
    ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}
#endif

struct Run : RunFixture {
  // Lists the source as the window does and converts every file.
  void convertAll(const char *pattern) {
    const QStringList names = ListMatchingFiles(in.path(), pattern).value();
    view.addRows(names);
    StartRun(view);
  }
};

}  // namespace

TEST_F(Run, latin1NameIsListedConvertedAndWrittenByteExact) {
#ifdef _WIN32
  GTEST_SKIP() << "names are UTF-16 on Windows: there are no undecodable bytes";
#else
  const QByteArray name = "DF\xE9t\xE9.L01";  // as an old FAT stick gives it
  const QByteArray path = QFile::encodeName(in.path()) + '/' + name;
  const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "L01,MINI,LOGGER\r\n", 17), 17);
  ::close(fd);
  convertAll("DF*.*");
  ASSERT_EQ(view.rows.size(), 1u);
  EXPECT_EQ(DisplayFileName(view.rows[0].text), QString::fromUtf8("DF\xC3\xA9t\xC3\xA9.L01"));
  EXPECT_EQ(view.results(), QStringList{"OK"});
  EXPECT_EQ(rawEntries(out.path()), QByteArrayList{"DF\xE9t\xE9.L02"});
  // QTemporaryDir cannot spell these names to remove them.
  ::unlink(path.constData());
  ::unlink((QFile::encodeName(out.path()) + "/DF\xE9t\xE9.L02").constData());
#endif
}

TEST_F(Run, everyLineEndStampsEveryRecord) {
  in.write("MA1.L01", "1,2,3,L01,T,4\n5,6,7,L01,T,8\n9,1,2,L01,T,3\n");       // LF only
  in.write("MA2.L01", "1,2,3,L01,T,4\r5,6,7,L01,T,8\r");                     // CR only
  in.write("MA3.L01", "1,2,3,L01,T,4\r\n5,6,7,L01,T,8\n9,1,2,L01,T,3\r");  // mixed
  view.df = false;
  convertAll("MA*.*");
  EXPECT_EQ(view.results(), (QStringList{"OK", "OK", "OK"}));
  EXPECT_EQ(readBytes(out.file("MA1.L02")),
            QByteArray("1,2,3,\"L02\",\"T\",4\r\n5,6,7,\"L02\",\"T\",8\r\n9,1,2,\"L02\",\"T\",3\r\n"));
  EXPECT_EQ(readBytes(out.file("MA2.L02")), QByteArray("1,2,3,\"L02\",\"T\",4\r\n5,6,7,\"L02\",\"T\",8\r\n"));
  EXPECT_EQ(readBytes(out.file("MA3.L02")),
            QByteArray("1,2,3,\"L02\",\"T\",4\r\n5,6,7,\"L02\",\"T\",8\r\n9,1,2,\"L02\",\"T\",3\r\n"));

  in.write("DF1.L01", "L01,MINI,LOGGER\nh2\n");
  FakeView df;
  df.source = in.path();
  df.dest = out.path();
  df.addRows({"DF1.L01"});
  StartRun(df);
  EXPECT_EQ(readBytes(out.file("DF1.L02")), QByteArray("\"L02\",\"MINI\",\"LOGGER\"\r\n\"h2\"\r\n"));
}

TEST_F(Run, wideTextIsRefusedAndAUtf8MarkIsKept) {
  in.write("MA1.L01", QByteArray("\xFF\xFE", 2) + QByteArray("1\0,\0002\0\r\0\n\0", 12));
  in.write("MA2.L01", "\xEF\xBB\xBF" "1,2,3,L01,T\r\n");
  view.df = false;
  convertAll("MA*.*");
  EXPECT_EQ(view.results(), (QStringList{"Faild", "OK"}));
  EXPECT_EQ(view.rows[0].reason, "not an MA file (UTF-16 or UTF-32 text)");
  EXPECT_EQ(readBytes(out.file("MA2.L02")), QByteArray("\xEF\xBB\xBF" "1,2,3,\"L02\",\"T\"\r\n"));
}

TEST(Locale, markerAndCodeUpperCasingIgnoreTheTurkishLocale) {
  const std::string before = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "tr_TR.UTF-8"))
    GTEST_SKIP() << "the tr_TR.UTF-8 locale is not installed (scripts/setup.sh generates it)";
  TempFolder dir;
  const int status = ReadDFFile(dir.write("DF1.L01", "L01,mini,logger\r\n"));
  const QString code = AsciiUpper("loci");
  std::setlocale(LC_ALL, before.c_str());
  EXPECT_EQ(status, ReadOk);
  EXPECT_EQ(code, "LOCI");
}
