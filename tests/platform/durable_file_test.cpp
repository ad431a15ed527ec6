// The writer's own refusals and its temporaries, at the level of the install
// step and the clean-up, on real files.

#include "platform/durable_file.h"
#include "conversion/speaker.h"

#include "platform/file_system.h"

#include "test_support.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

using namespace rekoda;
using namespace rekoda::test;

namespace {

// A synced file with this content, ready to install.
std::unique_ptr<StagedFile> staged(DestinationFolder &folder, const QString &name, const QByteArray &bytes) {
  auto file = std::make_unique<StagedFile>(folder, name);
  EXPECT_TRUE(file->create().ok());
  EXPECT_TRUE(file->write(bytes.constData(), size_t(bytes.size())).ok());
  EXPECT_TRUE(file->syncData().ok());
  return file;
}

}  // namespace

TEST(TemporaryFiles, onlyTheExactFormIsTheProgramsOwn) {
  EXPECT_EQ(TemporaryFileOwner(TemporaryFileName(4321, 7)), 4321);
  EXPECT_EQ(TemporaryFileOwner(".rekoda-1-0.tmp"), 1);
  // Numbers the program never writes: a process 0, leading zeros, a pid
  // beyond any the system gives.
  for (const char *other : {".rekoda-notes.tmp", ".rekoda-12.tmp", ".rekoda-12-.tmp", ".rekoda--3.tmp",
                            ".rekoda-1x-2.tmp", ".rekoda-1-2.tmp.bak", "rekoda-1-2.tmp", ".rekoda-1-2-3.tmp",
                            ".rekoda-0-0.tmp", ".rekoda-012-3.tmp", ".rekoda-12-03.tmp", ".rekoda-+12-3.tmp",
                            ".rekoda-99999999999-1.tmp"})
    EXPECT_EQ(TemporaryFileOwner(other), std::nullopt) << other;
}

// The next run into a folder that no run holds removes every temporary of
// the exact form that no writer holds, whatever process number it carries
// (pid 1 in a container, a number reused since, its own); one that a live
// writer holds stays, whoever that writer runs as, and so does every other
// name.
TEST(TemporaryFiles, cleanUpTakesTheLeftoversNoWriterHolds) {
#ifdef _WIN32
  GTEST_SKIP() << "fork and flock make the fixtures";
#else
  TempFolder dir;
  const QString held = TemporaryFileName(424242, 3);
  const QStringList leftovers = {TemporaryFileName(1, 0), TemporaryFileName(::getpid(), 5),
                                 TemporaryFileName(424242, 9)};
  QStringList kept = {".rekoda-notes.tmp", ".rekoda-0-0.tmp", ".rekoda-01-2.tmp", ".rekoda-4194305-1.tmp", held};
  for (const QString &name : leftovers + kept)
    dir.write(name, "x");
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t writer = ::fork();
  if (writer == 0) {
    // Opened, then no longer root: a writer of another user.
    const int fd = ::open(dir.file(held).toLocal8Bit().constData(), O_RDONLY);
    if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(1);
    if (fd < 0 || ::flock(fd, LOCK_EX) != 0 || ::write(ready[1], "x", 1) != 1)
      ::_exit(1);
    ::pause();
    ::_exit(0);
  }
  char byte;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  QStringList all = leftovers + kept;
  all.sort();
  {
    // Another run into the folder, maybe writing one of them right now.
    const int other = ::open(dir.path().toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(other, LOCK_SH), 0);
    DestinationFolder folder;
    ASSERT_TRUE(folder.open(dir.path()).ok());
    EXPECT_TRUE(folder.beginRun(*ListFolderNames(dir.path())).ok());
    ::close(other);
    EXPECT_EQ(dir.entries(), all);
  }
  {
    DestinationFolder folder;
    ASSERT_TRUE(folder.open(dir.path()).ok());
    EXPECT_TRUE(folder.beginRun(*ListFolderNames(dir.path())).ok());
    kept.sort();
    EXPECT_EQ(dir.entries(), kept);
  }
  ::kill(writer, SIGKILL);
  ::waitpid(writer, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  DestinationFolder folder;
  ASSERT_TRUE(folder.open(dir.path()).ok());
  EXPECT_TRUE(folder.beginRun(*ListFolderNames(dir.path())).ok());
  kept.removeOne(held);
  EXPECT_EQ(dir.entries(), kept);
#endif
}

TEST(StagedFile, installReplacesOnlyTheFileItWasToldOf) {
  struct Case {
    const char *target;  // what stands at the name when install() runs
    const char *told;    // what the caller saw there: "none", "it", "other"
    bool installs;
  };
  const Case cases[] = {{"absent", "none", true},          {"plain", "it", true},
                        {"absent", "it", true},            // gone since: the name is free
                        {"plain", "none", false},          // appeared since
                        {"plain", "other", false},         // replaced since
                        {"link to a file", "other", false}, {"dangling link", "none", false},
                        {"folder", "none", false},
                        // Not a plain file, though its identity is the one told.
                        {"folder", "it", false},           {"link to a file", "itself", false}};
  for (const bool named : {false, true}) {
    for (const Case &c : cases) {
      const std::string what = c.target;
#ifdef _WIN32
      if (what.find("link") != std::string::npos)
        continue;  // POSIX fixtures
#endif
      SCOPED_TRACE(what + ", told " + c.told + (named ? ", named" : ""));
      TempFolder dir;
      const QString precious = FileIdentity(dir.write("precious", "keep me")).value_or("");
      if (what == "plain") {
        dir.write("X.L02", "old");
      } else if (what == "folder") {
        dir.mkdir("X.L02");
      } else if (what != "absent") {
        const QString to = dir.file(what == "link to a file" ? "precious" : "nowhere");
        ASSERT_TRUE(QFile::link(to, dir.file("X.L02")));
      }
      QString told = std::string(c.told) == "it" ? FileIdentity(dir.file("X.L02")).value_or("gone") : precious;
#ifndef _WIN32
      struct stat st;
      if (std::string(c.told) == "itself" && ::lstat(dir.file("X.L02").toLocal8Bit().constData(), &st) == 0)
        told = FileIdentityText(st.st_dev, st.st_ino);
#endif
      DestinationFolder folder;
      ASSERT_TRUE(
          folder.open(dir.path(), named ? DestinationFolder::Temporaries::Named : DestinationFolder::Temporaries::Any)
              .ok());
      auto file = staged(folder, "X.L02", "new");
      const Status error = file->install(std::string(c.told) == "none" ? nullptr : &told);
      EXPECT_EQ(error.ok(), c.installs) << English(error).toStdString();
      file.reset();
      if (c.installs) {
        EXPECT_EQ(readBytes(dir.file("X.L02")), QByteArray("new"));
      } else {
        EXPECT_EQ(error.op(), Status::Op::TargetTaken);
        EXPECT_NE(readBytes(dir.file("X.L02")), QByteArray("new"));
      }
      EXPECT_EQ(readBytes(dir.file("precious")), QByteArray("keep me"));
      EXPECT_EQ(dir.entries(), (QStringList{"X.L02", "precious"}));
    }
  }
}

// A name that some other file already has is never opened as a temporary.
TEST(StagedFile, namedTemporaryIsAlwaysANewFile) {
  TempFolder dir;
  DestinationFolder folder;
  ASSERT_TRUE(folder.open(dir.path(), DestinationFolder::Temporaries::Named).ok());
  auto first = staged(folder, "A.L02", "a");
  const QString taken = first->temporaryName();
  ASSERT_FALSE(taken.isEmpty());
  // The next name the counter gives: someone else's file.
  const qsizetype dash = taken.lastIndexOf('-');
  const QString next = taken.left(dash + 1) + QString::number(taken.mid(dash + 1).chopped(4).toULongLong() + 1) + ".tmp";
  dir.write(next, "someone else's");
  auto second = staged(folder, "B.L02", "b");
  EXPECT_NE(second->temporaryName(), next);
  EXPECT_TRUE(first->install().ok() && second->install().ok());
  EXPECT_EQ(readBytes(dir.file(next)), QByteArray("someone else's"));
  EXPECT_EQ(readBytes(dir.file("B.L02")), QByteArray("b"));
}
