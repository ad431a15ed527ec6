#include "platform/file_name.h"
#include "platform/file_system.h"
#include "conversion/speaker.h"
#include "platform/file_system_internal.h"
#include "platform/trash.h"

#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace rekoda;
using namespace rekoda::test;

// Paths in the platform's own form: "D:\\data\\in" on Windows, "/data/in" elsewhere.
QString native(const char *path) {
#ifdef _WIN32
  return QString("D:" + QString(path)).replace(u'/', u'\\');
#else
  return QString(path);
#endif
}

TEST(Paths, joinAddsOneSeparatorAndNoneAfterRoot) {
  EXPECT_EQ(JoinPath(native("/data/in"), "DF1.L01"), native("/data/in/DF1.L01"));
  EXPECT_EQ(JoinPath(native("/"), "DF1.L01"), native("/DF1.L01"));
  EXPECT_EQ(JoinPath(native("/data/in/"), "DF1.L01"), native("/data/in/DF1.L01"));
}

TEST(Paths, stripRemovesOneSeparatorButKeepsRoot) {
  EXPECT_EQ(StripTrailingSeparator(native("/data/in/")), native("/data/in"));
  EXPECT_EQ(StripTrailingSeparator(native("/data/in//")), native("/data/in/"));
  EXPECT_EQ(StripTrailingSeparator(native("/data/in")), native("/data/in"));
  EXPECT_EQ(StripTrailingSeparator(native("/")), native("/"));
  EXPECT_EQ(StripTrailingSeparator(""), "");
}

TEST(CreateFolder, createsExactlyOneFolder) {
  TempFolder dir;
  EXPECT_TRUE(CreateFolder(dir.file("new")).ok());
  EXPECT_TRUE(QDir(dir.file("new")).exists());

  Status error = CreateFolder(dir.file("new"));
  EXPECT_FALSE(error.ok());
  EXPECT_EQ(English(error), "Folder already exists");
  EXPECT_FALSE((error = CreateFolder(dir.write("plain", "x"))).ok());
  EXPECT_EQ(English(error), QString::fromLocal8Bit(strerror(EEXIST)));

  EXPECT_FALSE((error = CreateFolder(dir.file("a/b"))).ok());
  EXPECT_EQ(English(error), QString::fromLocal8Bit(strerror(ENOENT)));
  EXPECT_FALSE(QDir(dir.file("a")).exists());
}

TEST(FileIdentity, sameFileThroughTwoSpellings) {
  TempFolder dir;
  dir.write("f", "x");
  dir.mkdir("sub");
  EXPECT_EQ(FileIdentity(dir.file("f")), FileIdentity(dir.file("sub/../f")));
#ifdef _WIN32
  EXPECT_EQ(FileIdentity(dir.file("f")), FileIdentity(dir.file("F")));  // a case-blind volume
#else
  ASSERT_TRUE(QFile::link(dir.file("f"), dir.file("link")));
  EXPECT_EQ(FileIdentity(dir.file("f")), FileIdentity(dir.file("link")));
#endif
  EXPECT_NE(FileIdentity(dir.file("f")), FileIdentity(dir.file("sub")));
  EXPECT_FALSE(FileIdentity(dir.file("missing")).has_value());
}

TEST(ListMatchingFiles, plainVisibleFilesByPrefixAnyCaseSorted) {
  TempFolder dir;
  for (const char *name : {"DF2.L01", "df1.l01", "Df3", "MA1.L01", "XDF.L01", ".DF9.L01"})
    dir.write(name, "x");
  dir.mkdir("DF_folder");
#ifndef _WIN32
  // Listed, to fail as they are read; a link to a folder is a folder.
  ASSERT_EQ(::mkfifo(dir.file("DF4.L01").toLocal8Bit().constData(), 0600), 0);
  ASSERT_TRUE(QFile::link(dir.file("DF_folder"), dir.file("DF_link")));
  EXPECT_EQ(ListMatchingFiles(dir.path(), "DF*.*"), (QStringList{"df1.l01", "DF2.L01", "Df3", "DF4.L01"}));
  QFile::remove(dir.file("DF4.L01"));
#endif
  EXPECT_EQ(ListMatchingFiles(dir.path(), "DF*.*"), (QStringList{"df1.l01", "DF2.L01", "Df3"}));
  EXPECT_EQ(ListMatchingFiles(dir.path(), "MA*.*"), QStringList{"MA1.L01"});
}

TEST(ListMatchingFiles, folderThatCannotBeListedSaysWhy) {
  TempFolder dir;
  Status error;
  EXPECT_FALSE(ListMatchingFiles(dir.file("missing"), "DF*.*", &error).has_value());
  EXPECT_EQ(English(error), "No such file or directory");
  // Not a folder at all: fails for root too, unlike a permission.
  EXPECT_FALSE(ListMatchingFiles(dir.write("plain", "x"), "DF*.*", &error).has_value());
  EXPECT_EQ(English(error), "Not a directory");
}

// A filter that throws leaves no folder open: a thousand such listings
// hold as many file handles as none.
TEST(ListMatchingFiles, aThrowingFilterLeavesNoFolderOpen) {
  TempFolder dir;
  dir.write("DF1.L01", "x");
#ifdef _WIN32
  // Under wine /proc/self/fd would count wine's own descriptors; the
  // process's handle count is what a leaked search handle adds to.
  const auto openHandles = [] {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
  };
  if (openHandles() == 0)
    GTEST_SKIP() << "this system does not count a process's handles";
#else
  const auto openHandles = [] {
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
  };
  if (!QFileInfo::exists(QStringLiteral("/proc/self/fd")))
    GTEST_SKIP() << "no /proc/self/fd to count handles in";
#endif
  const auto before = openHandles();
  QStringList names;
  for (int i = 0; i < 1000; ++i)
    EXPECT_THROW(ListFileNames(dir.path(), [](const QString &) -> bool { throw std::runtime_error("no"); }, names),
                 std::runtime_error);
  // A leak would add a thousand; the runtime may open a few of its own.
  EXPECT_LT(openHandles(), before + 10);
}

TEST(Volumes, removableMediaStayAndSystemFileSystemsGo) {
  const QByteArray mountinfo =
      "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
      "23 22 0:5 / /proc rw,nosuid - proc proc rw\n"
      "24 22 0:6 / /sys rw,nosuid - sysfs sysfs rw\n"
      "25 22 0:20 / /run rw,nosuid - tmpfs tmpfs rw\n"
      "26 25 0:21 / /run/user/1000 rw - tmpfs tmpfs rw\n"
      "27 22 8:17 / /run/media/u/STICK rw - vfat /dev/sdb1 rw\n"
      "28 22 8:33 / /media/u/My\\040Card rw - exfat /dev/sdc1 rw\n"
      "29 22 0:30 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw\n"
      "30 22 0:31 / /mnt/share rw - cifs //server/share rw\n"
      "31 22 0:32 / /dev/shm rw - tmpfs tmpfs rw\n"
      "32 22 0:33 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n";
  QStringList roots;
  for (const Volume &v : VolumesFromMountInfo(mountinfo))
    roots << v.root;
  EXPECT_EQ(roots, (QStringList{"/", "/run/media/u/STICK", "/media/u/My Card", "/mnt/share"}));
}

// A file in the trash can be restored to its name by a file manager: its
// note holds the percent-encoded bytes of its path (absolute in the home
// trash, relative to the volume's top in a volume's trash), written before
// the file moves, for a name that is not UTF-8 and a path given relative
// too. Restoring never takes a name that is taken; onto a free one it puts
// the file back and leaves no stale entry behind.
TEST(Trash, theNoteNamesTheFileAtHomeAndOnAnotherVolume) {
#ifdef _WIN32
  GTEST_SKIP() << "the Recycle Bin keeps notes of its own";
#else
  const QString name = DecodeFileName("DF%41 x \xC3\xA9\xC3\x9F\xFF.K22");  // the last byte is not UTF-8
  TempFolder home, volume;
  const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
  // Another volume: a small tmpfs, where root may mount one.
  const bool mounted = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1m", "tmpfs", volume.path()}) == 0;
  for (const bool onVolume : {false, true}) {
    if (onVolume && !mounted)
      continue;
    SCOPED_TRACE(onVolume ? "a volume's trash" : "the home trash");
    const TempFolder work;
    const QString folder = onVolume ? volume.mkdir("out") : work.mkdir("out");
    const QString path = JoinPath(folder, name);
    const auto put = [&](const QByteArray &bytes) {
      const int fd = ::open(EncodeFileName(path).constData(), O_CREAT | O_EXCL | O_WRONLY, 0644);
      return fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size() && ::close(fd) == 0;
    };
    const auto bytesAt = [](const QString &p) { return ReadFileBytes(p, 1000, nullptr).value_or("<none>"); };
    ASSERT_TRUE(put("older\r\n"));
    EXPECT_TRUE(FolderHasTrash(folder));
    // From the folder, as rekoda-cli --to . gives it.
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder));
    QString seen;
    const Trashed moved = MoveToTrash(name, [&](const QString &to) {
      seen = to;
      return true;
    });
    ASSERT_TRUE(moved.status.ok()) << English(moved.status).toStdString();
    const QString trashed = moved.path;
    Status error;
    QDir::setCurrent(cwd);
    EXPECT_EQ(seen, trashed);
    const QString trash = onVolume ? volume.file(QString(".Trash-%1").arg(::getuid())) : home.file("Trash");
    EXPECT_EQ(trashed, trash + "/files/" + name);
    const QByteArray note = bytesAt(trash + "/info/" + name + ".trashinfo");
    const QByteArray original = EncodeFileName(onVolume ? "out/" + name : path);
    EXPECT_TRUE(note.startsWith("[Trash Info]\nPath=" + original.toPercentEncoding("/") + "\nDeletionDate="))
        << note.toStdString();
    EXPECT_EQ(QByteArray::fromPercentEncoding(note.split('\n').value(1).mid(5)), original);
    EXPECT_EQ(PathEntry(path).kind, EntryKind::Missing);
    // Someone's new file at the name meanwhile keeps it.
    ASSERT_TRUE(put("someone's new\r\n"));
    EXPECT_FALSE((error = RestoreFromTrash(trashed, path)).ok());
    EXPECT_EQ(English(error), "its name is taken");
    EXPECT_EQ(bytesAt(path), "someone's new\r\n");
    EXPECT_EQ(bytesAt(trashed), "older\r\n");
    ASSERT_TRUE(RemoveFile(path).ok());
    ASSERT_TRUE((error = RestoreFromTrash(trashed, path)).ok()) << English(error).toStdString();
    EXPECT_EQ(bytesAt(path), "older\r\n");
    ASSERT_TRUE(RemoveFile(path).ok());
    EXPECT_TRUE(QDir(trash + "/files").isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_TRUE(QDir(trash + "/info").isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
  }
  if (mounted)
    QProcess::execute("umount", {volume.path()});
  qputenv("XDG_DATA_HOME", dataHome);
  if (!mounted)
    GTEST_SKIP() << "only the home trash: no tmpfs could be mounted here (not root)";
#endif
}
