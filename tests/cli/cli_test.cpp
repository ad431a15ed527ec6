// rekoda-cli run as a process on real folders, and the durable writer under
// faults injected into that process.

#include "cli_support.h"
#include "test_support.h"

#include "platform/file_name.h"
#include "platform/file_system.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#endif
#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <csignal>
#include <cerrno>
#endif


using namespace rekoda;
using namespace rekoda::test;

namespace {

// Every rekoda-cli of these tests keeps its run journals and its trash here,
// never in the user's data folder.
class DataHome : public ::testing::Environment {
 public:
  void SetUp() override { qputenv("XDG_DATA_HOME", dir_.path().toLocal8Bit()); }

 private:
  QTemporaryDir dir_;
};
[[maybe_unused]] ::testing::Environment *const kDataHome = ::testing::AddGlobalTestEnvironment(new DataHome);

// Text with its byte-order mark.
QByteArray utf16(const QString &text, QStringConverter::Encoding encoding) {
  return QStringEncoder(encoding, QStringConverter::Flag::WriteBom)(text);
}


}  // namespace

TEST(Cli, dryRunPredictsTheRealRunOnAMixedFolder) {
  TempFolder in, out;
  in.write("DF1.L01", kDF);
  in.write("DF2.L01", "L01,NOT,ALOGGER\r\n");
  in.write("DF3.L01", lines(101));
  in.write("DF4.L01", kDF);
  in.write("DF4.L03", kDF);  // onto the same output as DF4.L01
  in.write("DF5", kDF);
#ifndef _WIN32  // one folder cannot hold both on Windows
  in.write("df6.L01", kDF);
  in.write("DF6.L01", kDF);  // one name with df6's on a volume that ignores case
#endif
  const Result dry = cli(job(in, out) << "--dry-run");
  EXPECT_TRUE(out.entries().isEmpty());
  const Result real = cli(job(in, out));
  EXPECT_EQ(dry.out, real.out);
  EXPECT_EQ(dry.exit, 1);
  EXPECT_EQ(real.exit, 1);
  QList<QByteArrayList> expected = {
      {"DF1.L01", "DF1.L02", "OK", ""},
      {"DF2.L01", "DF2.L02", "Faild", "not a DF file (no MINI LOGGER or TREND MONITOR marker)"},
      {"DF3.L01", "DF3.L02", "Faild", "more than 100 lines"},
      {"DF4.L01", "DF4.L02", "OK", ""},
      {"DF4.L03", "DF4.L02", "Faild", "Destination file already exists!"},
      {"DF5", "", "Faild", "name has no dot"}};
  QStringList written = {"DF1.L02", "DF4.L02"};
#ifndef _WIN32
  expected << QByteArrayList{"DF6.L01", "DF6.L02", "OK", ""}
           << QByteArrayList{"df6.L01", "df6.L02", "Faild", "Destination file already exists!"};
  written << "DF6.L02";
#endif
  EXPECT_EQ(real.lines(), expected);
  EXPECT_EQ(out.entries(), written);
  EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);

  // JSON, parsed back; the names given pick the files, in that order.
  const Result json = cli(job(in, out, "l09") << "--json" << "DF2.L01" << "DF1.L01");
  EXPECT_EQ(json.exit, 1);
  const QByteArrayList rows = json.out.trimmed().split('\n');
  ASSERT_EQ(rows.size(), 2);
  const QJsonObject first = QJsonDocument::fromJson(rows[0]).object();
  EXPECT_EQ(first["file"].toString(), "DF2.L01");
  EXPECT_EQ(first["result"].toString(), "Faild");
  EXPECT_TRUE(first["reason"].toString().startsWith("not a DF file"));
  const QJsonObject second = QJsonDocument::fromJson(rows[1]).object();
  EXPECT_EQ(second["output"].toString(), "DF1.L09");  // upper-cased as the window does
  EXPECT_EQ(second["result"].toString(), "OK");
  EXPECT_EQ(second["reason"].toString(), "");

  // More than a group: the dry run reads each group ahead, and still says
  // of each file what the real run does. Two files apart in the job onto
  // a name that was there at the start: the second never replaces the first.
  TempFolder many, into;
  QStringList names = {"DF001.L01"};
  for (int i = 2; i <= 150; ++i) {
    names << QString("DF%1.L01").arg(i, 3, 10, QChar('0'));
    many.write(names.last(), i % 7 ? kDF : QByteArray("L01,NOT,ALOGGER\r\n"));
  }
  many.write("DF001.L01", kDF);
  many.write("DF001.L03", QByteArray(kDF).replace("12.5", "99.9"));
  names << "DF001.L03";
  into.write("DF001.L02", "yesterday's\r\n");
  const Result dryMany = cli(job(many, into) << "--dry-run" << names);
  const Result realMany = cli(job(many, into) << names);
  EXPECT_EQ(dryMany.out, realMany.out);
  EXPECT_EQ(realMany.lines().value(6).value(2), "Faild");  // DF007
  EXPECT_EQ(realMany.lines().value(150), (QByteArrayList{"DF001.L03", "DF001.L02", "Faild", "Destination file already exists!"}));
  EXPECT_EQ(readBytes(into.file("DF001.L02")), kDFOut);
}

// --list says what a run would do, file by file, before it runs; --only-code
// takes one logger's files out of a folder of several.
TEST(Cli, listForetellsTheRunAndOnlyCodePicksOneLogger) {
  TempFolder in, out;
  in.write("MA1.L07", "1,2,3,L07\r\n");
  in.write("MA2.L07", "1,2,3,L07\r\n1,2,3,L08\r\n");
  in.write("MA3.L08", "1,2,3,L08\r\n");
  in.write("MA4.L07", "1,2\r\n");
  in.write("MA5.l07", "1,2,3,l07\r\n");
  in.write("MA6.L07", "");
  in.write("MA7.L07", "1,2,3,L07\r\n4,5,6,L07\r\n");  // one code, however many records carry it
  const QStringList source = {"--family", "ma", "--from", in.path()};
  const Result list = cli(QStringList{"--list"} + source);
  EXPECT_EQ(list.exit, 0);
  EXPECT_EQ(list.lines(), (QList<QByteArrayList>{
                              {"MA1.L07", "L07", "ok"},
                              {"MA2.L07", "L07,L08", "ok"},
                              {"MA3.L08", "L08", "ok"},
                              {"MA4.L07", "", "not an MA file (no record has a location code field)"},
                              {"MA5.l07", "l07", "ok"},
                              {"MA6.L07", "", "empty file (no lines)"},
                              {"MA7.L07", "L07", "ok"}}));
  // The dry run agrees, file by file.
  const Result dry = cli(QStringList{"--code", "K22", "--to", out.path(), "-n"} + source);
  ASSERT_EQ(dry.lines().size(), list.lines().size());
  for (qsizetype i = 0; i < dry.lines().size(); ++i)
    EXPECT_EQ(dry.lines()[i][3].isEmpty() ? QByteArray("ok") : dry.lines()[i][3], list.lines()[i][2]) << i;

  const Result only = cli(QStringList{"--code", "K22", "--to", out.path(), "--only-code", "L07"} + source);
  EXPECT_EQ(only.exit, 0);
  EXPECT_EQ(only.lines(), (QList<QByteArrayList>{{"MA1.L07", "MA1.K22", "OK", ""}, {"MA7.L07", "MA7.K22", "OK", ""}}));
  EXPECT_EQ(out.entries(), (QStringList{"MA1.K22", "MA7.K22"}));
  EXPECT_TRUE(only.err.contains("'MA2.L07' is left out: it carries the codes L07, L08")) << only.err.toStdString();
  EXPECT_TRUE(only.err.contains("'MA6.L07' is left out: empty file (no lines)")) << only.err.toStdString();
  EXPECT_FALSE(only.err.contains("MA3") || only.err.contains("MA5")) << only.err.toStdString();

  const QJsonObject json = QJsonDocument::fromJson(cli(QStringList{"--list", "--json", "MA2.L07"} + source).out).object();
  EXPECT_EQ(json["codes"].toArray(), (QJsonArray{"L07", "L08"}));
  EXPECT_EQ(json["would"].toString(), "ok");
  EXPECT_EQ(cli(QStringList{"--list", "--to", out.path()} + source).exit, 2);  // not a listing's option

  // A register of known locations: each file's place named; a code not in it
  // refused before anything is written; a bad row said, the others used.
  const QString reg = in.write("locations.csv", "Code;Location\r\nL07;\"Harbour west; quay 2\"\r\nK22;North\r\nK/;x\r\n");
  const Result named = cli(QStringList{"--list", "--locations", reg, "MA1.L07", "MA2.L07", "MA3.L08"} + source);
  EXPECT_EQ(named.exit, 0);
  EXPECT_EQ(named.lines(), (QList<QByteArrayList>{{"MA1.L07", "L07", "ok", "Harbour west; quay 2"},
                                                  {"MA2.L07", "L07,L08", "ok", ""},
                                                  {"MA3.L08", "L08", "ok", ""}}));
  EXPECT_TRUE(named.err.contains("line 4: K/ cannot be a code")) << named.err.toStdString();
  EXPECT_EQ(QJsonDocument::fromJson(cli(QStringList{"--list", "--json", "--locations", reg, "MA1.L07"} + source).out)
                .object()["location"],
            "Harbour west; quay 2");
  const QStringList run = QStringList{"--to", out.path(), "--locations", reg, "MA3.L08"} + source;
  const Result unknown = cli(QStringList{"--code", "K2Z"} + run);
  EXPECT_EQ(unknown.exit, 2);
  EXPECT_TRUE(unknown.err.contains("'K2Z' is not a known location in '" + reg.toUtf8() + "'")) << unknown.err.toStdString();
  EXPECT_EQ(out.entries(), (QStringList{"MA1.K22", "MA7.K22"}));
  EXPECT_EQ(cli(QStringList{"--code", "k22"} + run).exit, 0);
  EXPECT_EQ(out.entries(), (QStringList{"MA1.K22", "MA3.K22", "MA7.K22"}));
  EXPECT_EQ(cli(QStringList{"--code", "K22", "--locations", in.file("none.csv"), "--to", out.path()} + source).exit, 2);
}

// The command line by the usual conventions: one row per case, run as a
// process on real folders. IN and OUT stand for the two folders.
TEST(Cli, conventionsAndExitStatuses) {
  struct Case {
    const char *what;
    QStringList args;
    int exit;
    QByteArray out;      // the whole of standard output; "*" followed by text: contains it
    QByteArray err;      // likewise for standard error
    QStringList written; // what OUT holds afterwards
    QByteArray input = {};
  };
  const QStringList base = {"--family", "df", "--code", "L02", "--from", "IN", "--to", "OUT"};
  const QByteArray one = "DF1.L01\tDF1.L02\tOK\t\n";
  const QByteArray bothOk = "2 files: 2 OK, 0 Faild\n";
  const Case cases[] = {
      {"version", {"--version"}, 0, "rekoda-cli " REKODA_VERSION "\n", "", {}},
      {"help", {"--help"}, 0, "*Usage: rekoda-cli --family df|ma", "", {}},
      {"help lists exit statuses", {"-h"}, 0, "*129  hung up (SIGHUP), 130 interrupted", "", {}},
      {"-V", {"-V"}, 0, "rekoda-cli " REKODA_VERSION "\n", "", {}},
      {"no arguments: the usage", {}, 2, "", "*Usage: rekoda-cli --family df|ma", {}},
      {"-n and -q, bundled", base + QStringList{"-nq", "DF1.L01"}, 0, one, "", {}},
      {"an unknown short option", base + QStringList{"-nx"}, 2, "", "*rekoda-cli: unknown option -x\n", {}},
      {"--opt=value", {"--family=df", "--code=l02", "--from=IN", "--to=OUT", "DF1.L01"}, 0, one,
       "1 file: 1 OK, 0 Faild\n", {"DF1.L02"}},
      {"-- ends the options", base + QStringList{"--", "-x.L01"}, 0, "-x.L01\t-x.L02\tOK\t\n", "*1 file:",
       {"-x.L02"}},
      {"a name in the source folder's own spelling", base + QStringList{"IN/DF1.L01", "IN/./-x.L01"}, 0,
       "DF1.L01\tDF1.L02\tOK\t\n-x.L01\t-x.L02\tOK\t\n", bothOk, {"-x.L02", "DF1.L02"}},
      {"a forgotten value is never an option's",
       {"--family", "df", "--code", "--dry-run", "--from", "IN", "--to", "OUT"}, 2, "",
       "rekoda-cli: option --code needs a value\nTry 'rekoda-cli --help' for more information.\n", {}},
      {"value missing at the end", base + QStringList{"--to"}, 2, "", "*option --to needs a value", {}},
      {"unknown option", base + QStringList{"--fast"}, 2, "", "*rekoda-cli: unknown option --fast\n", {}},
      {"a flag takes no value", base + QStringList{"--quiet=1"}, 2, "",
       "*rekoda-cli: option '--quiet' doesn't allow an argument\n", {}},
      {"nor does --help", {"--help=x"}, 2, "", "*rekoda-cli: option '--help' doesn't allow an argument\n", {}},
      {"required options", {"--family", "df"}, 2, "", "*rekoda-cli: --code is needed", {}},
      {"no family", {"--code", "X"}, 2, "", "*rekoda-cli: --family is needed (df or ma)\n", {}},
      {"a family that is none", {"--family", "xx"}, 2, "",
       "rekoda-cli: invalid value 'xx' for --family (df or ma)\nTry 'rekoda-cli --help' for more information.\n", {}},
      {"invalid code", {"--family", "df", "--code", "A:B", "--from", "IN", "--to", "OUT"}, 2, "",
       "rekoda-cli: invalid code 'A:B': ':' cannot be part of a file name\n", {}},
      {"a code of white space only", {"--family", "df", "--code", u"\u00A0\u2003"_qs, "--from", "IN", "--to", "OUT"},
       2, "", "*: the code is only white space\n", {}},
      {"no code", {"--family", "df", "--code", "", "--from", "IN", "--to", "OUT"}, 2, "",
       "rekoda-cli: no code given (--code)\n", {}},
      {"no source", {"--family", "df", "--code", "X", "--from", " ", "--to", "OUT"}, 2, "",
       "rekoda-cli: no source folder given (--from)\n", {}},
      {"destination missing: at once, its name as typed", {"--family", "df", "--code", "X", "--from", "IN", "--to",
       "OUT/a\\b"}, 2, "", "*/a\\b' does not exist (--mkdir creates it)\n", {}},
      {"a folder with a space, quoted", base.mid(0, 7) + QStringList{"OUT/no where"}, 2, "",
       "rekoda-cli: the destination folder 'OUT/no where' does not exist (--mkdir creates it)\n", {}},
      {"--mkdir makes it", {"--family", "df", "--code", "X", "--from", "IN", "--to", "OUT/a/b", "--mkdir", "--quiet"},
       0, "*DF1.X\tOK", "", {"a"}},
      {"a dry run with --mkdir writes nothing",
       {"--family", "df", "--code", "X", "--from", "IN", "--to", "OUT/a", "--mkdir", "--dry-run", "DF1.L01"}, 0,
       "DF1.L01\tDF1.X\tOK\t\n", "*1 file:", {}},
      {"a name outside the source folder", base + QStringList{"../in/sub/DF9.L01"}, 2, "",
       "*rekoda-cli: '../in/sub/DF9.L01' is not the name of a file in 'IN'\n", {}},
      {"a name that is no file's", base + QStringList{".."}, 2, "", "*is not the name of a file", {}},
      {"an empty name, quoted", base + QStringList{""}, 2, "", "*rekoda-cli: '' is not the name of a file in 'IN'\n",
       {}},
      {"a name with a quote and a newline", base + QStringList{"x/it's\n"}, 2, "",
       "*rekoda-cli: 'x/it'\\''s'$'\\n' is not the name", {}},
      {"an undo of a run that has no journal", {"--undo=nope"}, 2, "",
       "rekoda-cli: no run 'nope' (rekoda-cli --list-runs lists them)\n", {}},
      {"--undo takes one ID", {"--undo", "a", "b"}, 2, "", "*rekoda-cli: unexpected argument 'b'\n", {}},
      {"--undo with an option it does not use", {"--undo", "--family", "ma"}, 2, "",
       "*rekoda-cli: option '--family' cannot be used with --undo\n", {}},
      {"--list-runs takes no argument", {"--list-runs", "extra"}, 2, "", "*rekoda-cli: unexpected argument 'extra'\n",
       {}},
      {"no files of the family: nothing to do, said", {"--family", "ma", "--code", "X", "--from", "IN", "--to", "OUT"},
       0, "", "rekoda-cli: no MA files in 'IN'\n0 files: 0 OK, 0 Faild\n", {}},
      {"nor listed", {"--list", "--family", "ma", "--from", "IN"}, 0, "", "rekoda-cli: no MA files in 'IN'\n", {}},
      {"and --quiet says nothing of it", {"--list", "--family", "ma", "--from", "IN", "-q"}, 0, "", "", {}},
      {"--null without a list", base + QStringList{"--null"}, 2, "",
       "*rekoda-cli: option '--null' cannot be used without --files-from\n", {}},
      {"--list-runs has nothing to silence", {"--list-runs", "-q"}, 2, "",
       "*option '--quiet' cannot be used with --list-runs\n", {}},
      {"--only-code in another letter case than the files'", base + QStringList{"--only-code", "l01"}, 0, "",
       "rekoda-cli: no file carries the code 'l01', but some carry L01 (--only-code compares letter case too)\n"
       "0 files: 0 OK, 0 Faild\n", {}},
      {"a name that a double quote would expand", base.mid(0, 7) + QStringList{"OUT/it's $HOME"}, 2, "",
       "rekoda-cli: the destination folder 'OUT/it'\\''s $HOME' does not exist (--mkdir creates it)\n", {}},
      {"source that cannot be listed", {"--family", "df", "--code", "X", "--from", "OUT/gone", "--to", "OUT"}, 2, "",
       "*No such file or directory", {}},
      {"--quiet: nothing on standard error", base + QStringList{"--quiet", "DF1.L01"}, 0, one, "", {"DF1.L02"}},
      {"--files-from", base + QStringList{"--files-from", "IN/list"}, 0, "*-x.L01\t-x.L02\tOK", bothOk,
       {"-x.L02", "DF1.L02"}},
      {"--null --files-from -", base + QStringList{"--null", "--files-from", "-"}, 0, "*-x.L02", bothOk,
       {"-x.L02", "DF1.L02"}, QByteArray("DF1.L01\0-x.L01\0", 16)},
      {"a list in UTF-16LE, as PowerShell writes it", base + QStringList{"--files-from", "-"}, 0, "*-x.L02", bothOk,
       {"-x.L02", "DF1.L02"}, utf16("DF1.L01\r\n-x.L01\r\n", QStringConverter::Utf16LE)},
      {"UTF-16BE, NUL-ended", base + QStringList{"--files-from", "-", "--null"}, 0, "*-x.L02", bothOk,
       {"-x.L02", "DF1.L02"}, utf16(QStringLiteral("DF1.L01") + QChar(0) + "-x.L01", QStringConverter::Utf16BE)},
      {"a NUL inside a line is no name", base + QStringList{"--files-from", "-"}, 2, "", "*is not the name of a file",
       {}, utf16(QStringLiteral("DF1.L01\n") + QChar(0) + "\n", QStringConverter::Utf16LE)},
      {"an empty list converts nothing", base + QStringList{"--files-from", "OUT/empty"}, 0, "",
       "0 files: 0 OK, 0 Faild\n", {"empty"}},
      {"so does an empty standard input", base + QStringList{"--null", "--files-from", "-", "--json"}, 0, "",
       "0 files: 0 OK, 0 Faild\n", {}},
      {"and a list of blank lines", base + QStringList{"--files-from", "-"}, 0, "", "0 files: 0 OK, 0 Faild\n", {},
       "\r\n\n\n"},
      {"UTF-16 without a mark is refused, saying so", base + QStringList{"--files-from", "-"}, 2, "",
       "rekoda-cli: cannot read standard input: the list looks like UTF-16 without a byte-order mark\n", {},
       QStringEncoder(QStringConverter::Utf16LE)(u"DF1.L01\r\n"_qs)},
      {"so is one of names of no Latin letters, told by its line ends", base + QStringList{"--files-from", "-"}, 2, "",
       "*the list looks like UTF-16 without a byte-order mark\n", {},
       QStringEncoder(QStringConverter::Utf16BE)(u"\u65E5\u672C.L01\n\u20AC\u20AC.L01\n"_qs)},
      {"a UTF-8 byte-order mark", base + QStringList{"--files-from", "-"}, 0, "*-x.L02", bothOk,
       {"-x.L02", "DF1.L02"}, "\xEF\xBB\xBF-x.L01\nDF1.L01\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder in, out;
    in.write("DF1.L01", kDF);
    in.write("-x.L01", kDF);
    in.write("list", "DF1.L01\r\n\n-x.L01\n");
    if (c.args.contains("OUT/empty"))
      out.write("empty", "");
    QStringList args;
    for (QString a : c.args)
      args << a.replace("IN", in.path()).replace("OUT", out.path());
    QProcess p;
    p.start(REKODA_CLI, args);
    p.write(c.input);
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), c.exit);
    const QByteArray stdOut = p.readAllStandardOutput(), stdErr = p.readAllStandardError();
    const QByteArray err = QByteArray(c.err).replace("IN", in.path().toUtf8()).replace("OUT", out.path().toUtf8());
    for (const auto &[got, want] : {std::pair{stdOut, c.out}, std::pair{stdErr, err}}) {
      if (want.startsWith('*'))
        EXPECT_TRUE(got.contains(want.mid(1))) << got.constData();
      else
        EXPECT_EQ(got, want);
    }
    EXPECT_EQ(out.entries(), c.written);
  }
}

// --no-clobber leaves what is there and counts it apart; skips alone exit 0.
TEST(Cli, noClobberLeavesExistingFilesAndSaysSo) {
  TempFolder in, out;
  in.write("DF1.L01", kDF);
  in.write("DF2.L01", kDF);
  out.write("DF1.L02", "old\r\n");
  const Result r = cli(job(in, out) << "--no-clobber");
  EXPECT_EQ(r.exit, 0);
  EXPECT_EQ(r.lines(), (QList<QByteArrayList>{{"DF1.L01", "DF1.L02", "Faild", "Destination file already exists!"},
                                              {"DF2.L01", "DF2.L02", "OK", ""}}));
  EXPECT_EQ(r.err, "2 files: 1 OK, 1 Faild (1 skipped: in the destination folder already)\n");
  const Result json = cli(job(in, out) << "--no-clobber" << "--json");
  EXPECT_EQ(json.out, "{\"file\":\"DF1.L01\",\"output\":\"DF1.L02\",\"result\":\"Faild\",\"reason\":"
                      "\"Destination file already exists!\",\"skipped\":true}\n"
                      "{\"file\":\"DF2.L01\",\"output\":\"DF2.L02\",\"result\":\"Faild\",\"reason\":"
                      "\"Destination file already exists!\",\"skipped\":true}\n");
  EXPECT_EQ(readBytes(out.file("DF1.L02")), "old\r\n");
  EXPECT_EQ(cli(job(in, out)).exit, 0);  // replacing, as scripts expect by default
  EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);
  // A file rewritten onto itself is no earlier output to leave alone.
  const Result inPlace = cli({"--family", "df", "--code", "L01", "--from", in.path(), "--to", in.path(), "--no-clobber",
                              "DF1.L01"});
  EXPECT_EQ(inPlace.exit, 0);
  EXPECT_EQ(inPlace.lines(), (QList<QByteArrayList>{{"DF1.L01", "DF1.L01", "OK", ""}}));
  EXPECT_EQ(readBytes(in.file("DF1.L01")), QByteArray(kDFOut).replace("L02", "L01"));
}

// Interrupted, or with nowhere to write the results: the files in hand are
// finished, and the exit status says so.
TEST(Cli, interruptedOrUnwritableRunsSaySo) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX signals, /dev/full and a shell pipeline";
#else
  TempFolder in;
  for (int i = 0; i < 5000; ++i)
    in.write(QString("DF%1.L01").arg(i, 4, 10, QChar('0')), kDF);
  for (const auto &[sig, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
    TempFolder out;
    QProcess p;
    p.start(REKODA_CLI, job(in, out));
    ASSERT_TRUE(p.waitForReadyRead(30000));  // the first group is in place
    ::kill(pid_t(p.processId()), sig);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), status);
    const QByteArray err = p.readAllStandardError();
    EXPECT_TRUE(err.startsWith("rekoda-cli: stopped after ")) << err.constData();
    EXPECT_LT(out.entries().size(), 5000);
  }
  // A full disk behind standard output: said, and a failure.
  TempFolder out;
  const QString cmd = QString("'%1' %2").arg(REKODA_CLI, job(in, out).join(' '));
  QProcess full;
  full.start("bash", {"-c", cmd + " >/dev/full"});
  ASSERT_TRUE(full.waitForFinished(60000));
  EXPECT_EQ(full.exitCode(), 1);
  EXPECT_TRUE(full.readAllStandardError().contains("rekoda-cli: cannot write the results: "));
  // A reader that goes away (| head): quiet, a broken pipe's status, and
  // every line read names a file that is there.
  TempFolder piped;
  QProcess head;
  head.start("bash", {"-c", QString("'%1' %2 | head -n 1; exit ${PIPESTATUS[0]}").arg(REKODA_CLI, job(in, piped).join(' '))});
  ASSERT_TRUE(head.waitForFinished(60000));
  EXPECT_EQ(head.exitCode(), 141);
  EXPECT_EQ(head.readAllStandardError(), "");
  const QByteArrayList read = head.readAllStandardOutput().split('\t');
  ASSERT_EQ(read.value(2), "OK");
  EXPECT_TRUE(QFileInfo::exists(piped.file(QString::fromUtf8(read[1]))));
  EXPECT_LT(piped.entries().size(), 5000);
  for (const char *info : {"--version", "--help"}) {
    QProcess p;
    p.start("bash", {"-c", QString("'%1' %2 >/dev/full").arg(REKODA_CLI, info)});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(p.readAllStandardError(), "rekoda-cli: write error: No space left on device\n");
  }
#endif
}

#ifdef REKODA_APP
// The window program's arguments are read before a display is looked for:
// a usage error, --help and --version work where there is none.
TEST(Cli, theWindowsCommandLineNeedsNoDisplay) {
  const struct {
    QStringList args;
    int exit;
    QByteArray out, err;
  } lines[] = {
      {{"--bogus"}, 2, "", "rekoda: unknown option --bogus\nTry 'rekoda --help' for more information.\n"},
      {{"a", "b", "c"}, 2, "", "rekoda: more than two folders: c\nTry 'rekoda --help' for more information.\n"},
      {{"-V"}, 0, "rekoda " REKODA_VERSION "\n", ""},
      {{"-style", "fusion", "--version"}, 0, "rekoda " REKODA_VERSION "\n", ""},
      {{"-h"}, 0, "Usage: rekoda [SOURCE_FOLDER [DEST_FOLDER]]", ""},
  };
  for (const auto &line : lines) {
    SCOPED_TRACE(line.args.join(' ').toStdString());
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      env.remove(display);
    p.setProcessEnvironment(env);
    p.start(REKODA_APP, line.args);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), line.exit);
#ifndef _WIN32  // a program of the Windows subsystem has no console of its own to write to here
    EXPECT_TRUE(p.readAllStandardOutput().startsWith(line.out));
    EXPECT_EQ(p.readAllStandardError(), line.err);
#endif
  }
}
#endif

// A pipe of the family is listed and fails, never waited on: in a listing
// and in a run.
TEST(Cli, aPipeOfTheFamilyIsListedAndFails) {
#ifdef _WIN32
  GTEST_SKIP() << "a named pipe in a folder is a POSIX fixture";
#else
  TempFolder in, out;
  in.write("DF1.L01", kDF);
  ASSERT_EQ(::mkfifo(in.file("DF2.L01").toLocal8Bit().constData(), 0600), 0);
  const Result list = cli({"--list", "--family", "df", "--from", in.path()});
  EXPECT_EQ(list.exit, 0);
  EXPECT_EQ(list.lines(), (QList<QByteArrayList>{{"DF1.L01", "L01", "ok"},
                                                 {"DF2.L01", "", "cannot read: not a plain file"}}));
  const Result run = cli(job(in, out, "L02"));
  EXPECT_EQ(run.exit, 1);
  EXPECT_EQ(run.lines(), (QList<QByteArrayList>{{"DF1.L01", "DF1.L02", "OK", ""},
                                                {"DF2.L01", "DF2.L02", "Faild", "cannot read: not a plain file"}}));
#endif
}

// Names no text format holds easily, and bytes that are not text: every
// report keeps them whole and tellable apart.
TEST(Cli, reportsLoseNoName) {
#ifdef _WIN32
  GTEST_SKIP() << "names of bytes that are not UTF-8 are a POSIX fixture";
#else
  TempFolder in, out;
  const QByteArrayList names = {"DF\xF0\x9F\x98\x80.L01", "DFlat\xE9.L01", "DFlat\xC3\xA9.L01", "DF\\ta\tb.L01",
                                "DF\x01.L01", "DF\x1F.L01", "DF7.L01\r"};
  for (const QByteArray &n : names) {
    // Through the system call: QFile cannot spell a byte that is not UTF-8.
    const int fd = ::open((QFile::encodeName(in.path()) + '/' + n).constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, kDF.constData(), size_t(kDF.size())), kDF.size());
    ::close(fd);
  }
  const Result json = cli(job(in, out, "L02") << "--json" << "--dry-run");
  EXPECT_EQ(json.exit, 0);
  QSet<QByteArray> seen;
  for (const QByteArray &line : json.out.trimmed().split('\n')) {
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(line, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << line.constData();
    EXPECT_FALSE(std::any_of(line.begin(), line.end(), [](char c) { return uchar(c) < 0x20; })) << line.constData();
    const QByteArray bytes = o.contains("file_bytes") ? QByteArray::fromBase64(o["file_bytes"].toString().toLatin1())
                                                      : o["file"].toString().toUtf8();
    seen.insert(bytes);
    const QByteArray output = bytes.left(bytes.indexOf('.') + 1) + "L02";
    if (o.contains("output_bytes"))
      EXPECT_EQ(QByteArray::fromBase64(o["output_bytes"].toString().toLatin1()), output);
    else
      EXPECT_EQ(o["output"].toString().toUtf8(), output);
  }
  EXPECT_EQ(seen, QSet<QByteArray>(names.begin(), names.end()));
  // One line of four fields per file, the names' own bytes escaped only
  // where they are control characters or a backslash.
  const Result text = cli(job(in, out, "L02") << "--dry-run");
  QSet<QByteArray> files;
  for (const QByteArrayList &row : text.lines()) {
    EXPECT_EQ(row.size(), 4);
    files.insert(row.value(0));
  }
  // A listing likewise: three fields a file, the same escaped names.
  QSet<QByteArray> listed;
  for (const QByteArrayList &row : cli({"--list", "--family", "df", "--from", in.path()}).lines()) {
    EXPECT_EQ(row.size(), 3) << row.join('|').constData();
    listed.insert(row.value(0));
  }
  EXPECT_EQ(listed, files);
  EXPECT_EQ(files, (QSet<QByteArray>{"DF\xF0\x9F\x98\x80.L01", "DFlat\xE9.L01", "DFlat\xC3\xA9.L01",
                                     "DF\\\\ta\\tb.L01", "DF\\x01.L01", "DF\\x1f.L01", "DF7.L01\\r"}));
  // A NUL-separated list keeps every byte of a name, a last carriage return
  // too.
  QProcess p;
  p.start(REKODA_CLI, job(in, out, "L02") << "--null" << "--files-from" << "-" << "--dry-run");
  p.write(QByteArray("DF7.L01\r\0", 9));
  p.closeWriteChannel();
  ASSERT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.readAllStandardOutput(), "DF7.L01\\r\tDF7.L02\tOK\t\n");
  QProcess::execute("rm", {"-rf", in.path()});  // QDir cannot spell the names to remove them
#endif
}

// A code is stamped inside the file exactly as it stands in the name, and
// one that is not text is refused; an MA file with no code field fails.
TEST(Cli, codesAndCodeFields) {
#ifdef _WIN32
  GTEST_SKIP() << "an argument of bytes that are not text is a POSIX fixture";
#else
  TempFolder in, out;
  in.write("MA1.L01", "hello\r\n");
  in.write("MA2.L01", "1,2\r\n1,2,3,L01\r\n");
  in.write("MA3.L01", "1,2,3,L01\r\n1,2\r\n");  // the code field in a record before the last
  QProcess p;
  p.start("bash", {"-c", QString("'%1' --family ma --code $'\\xe9' --from '%2' --to '%3'").arg(REKODA_CLI, in.path(),
                                                                                                 out.path())});
  ASSERT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.exitCode(), 2);
  EXPECT_EQ(p.readAllStandardError(), "rekoda-cli: invalid code $'\\351': the files' character set cannot hold this code\n");
  const Result r = cli({"--family", "ma", "--code", u"\u00C5\u03A91"_qs, "--from", in.path(), "--to", out.path()});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.lines(), (QList<QByteArrayList>{
                           {"MA1.L01", "MA1.\xC3\x85\xCE\xA9" "1", "Faild",
                            "not an MA file (no record has a location code field)"},
                           {"MA2.L01", "MA2.\xC3\x85\xCE\xA9" "1", "OK", ""},
                           {"MA3.L01", "MA3.\xC3\x85\xCE\xA9" "1", "OK", ""}}));
  EXPECT_EQ(readBytes(out.file(u"MA2.\u00C5\u03A91"_qs)), "1,2\r\n1,2,3,\"\xC3\x85\xCE\xA9" "1\"\r\n");
  EXPECT_EQ(out.entries().size(), 2);
#endif
}

// Each step of the writer failing for real: the row fails with the system's
// reason, an existing target keeps its old content, and no temporary file
// stays behind. Run with unnamed temporaries and with named ones.

TEST(CliFaults, everyFailingStepFailsItsFilesAndKeepsTheOldTargets) {
  if (!*REKODA_FAULT_SHIM)
    GTEST_SKIP() << "the fault shim is an LD_PRELOAD object: Linux only";
  for (const bool named : {false, true}) {
    for (const QString step : {"open", "write", "write0", "fdatasync", "close", "link", "rename"}) {
      if (named && step == "link")
        continue;  // named temporaries are renamed, never linked
      SCOPED_TRACE((step + (named ? " named" : " unnamed")).toStdString());
      TempFolder in, out;
      in.write("DF1.L01", kDF);
      in.write("DF2.L01", kDF);
      in.write("DF3.L01", kDF);  // a new name: linked directly when unnamed
      const QByteArray old = "yesterday's complete output\r\n";
      out.write("DF1.L02", old);
      out.write("DF2.L02", old);
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("LD_PRELOAD", REKODA_FAULT_SHIM);
      env.insert("REKODA_FAULT", step);
      env.insert("REKODA_FAULT_DIR", out.path());
      if (named)
        env.insert("REKODA_TEST_NAMED_TEMPORARIES", "1");
      const Result r = cli(job(in, out), env);
      EXPECT_EQ(r.exit, 1) << r.err.constData();
      const bool newNameUntouched = !named && step == "rename";
      const auto rows = r.lines();
      ASSERT_EQ(rows.size(), 3);
      for (int i = 0; i < 3; ++i) {
        const bool ok = i == 2 && newNameUntouched;
        EXPECT_EQ(rows[i].value(2), ok ? "OK" : "Faild") << i;
        EXPECT_EQ(rows[i].value(3), ok ? "" : "Input/output error") << i;
      }
      EXPECT_EQ(readBytes(out.file("DF1.L02")), old);
      EXPECT_EQ(readBytes(out.file("DF2.L02")), old);
      EXPECT_EQ(out.entries(), newNameUntouched ? (QStringList{"DF1.L02", "DF2.L02", "DF3.L02"})
                                                : (QStringList{"DF1.L02", "DF2.L02"}));
    }
  }
}

// Limits of the process, a name taken at the last moment, an interrupted
// folder sync and a clean-up racing the rename: healthy files all convert,
// the others fail alone with their reason, and nothing is left behind.
TEST(CliFaults, limitsRacesAndInterruptedCallsFailNothingHealthy) {
#ifdef _WIN32
  GTEST_SKIP() << "rlimits and the fault shim are POSIX";
#else
  auto run = [](const QStringList &args, const QMap<QString, QString> &vars, rlimit limit = {}, int resource = -1) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = vars.begin(); it != vars.end(); ++it)
      env.insert(it.key(), it.value());
    QProcess p;
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([=] {
      ::signal(SIGXFSZ, SIG_DFL);  // as a shell leaves it
      if (resource >= 0)
        ::setrlimit(resource, &limit);
    });
    p.start(REKODA_CLI, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return Result{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1000 - p.exitCode(),
                  p.readAllStandardOutput(), p.readAllStandardError()};
  };
  {
    SCOPED_TRACE("ulimit -f: the big file fails, the run goes on");
    TempFolder in, out;
    in.write("DF1.L01", QByteArray(lines(100)).replace("1,2", QByteArray(60, 'x')));  // 6,400 bytes out
    in.write("DF2.L01", kDF);
    // Room for the run's journal, which is limited too.
    const Result r = run(job(in, out), {}, rlimit{4000, RLIM_INFINITY}, RLIMIT_FSIZE);
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.lines(), (QList<QByteArrayList>{{"DF1.L01", "DF1.L02", "Faild", "File too large"},
                                                {"DF2.L01", "DF2.L02", "OK", ""}}));
    EXPECT_EQ(out.entries(), QStringList{"DF2.L02"});
  }
  {
    SCOPED_TRACE("ulimit -n 64: 200 files all convert");
    TempFolder in, out;
    for (int i = 0; i < 200; ++i)
      in.write(QString("DF%1.L01").arg(i, 3, 10, QChar('0')), kDF);
    for (const char *named : {"0", "1"}) {
      const Result r = run(job(in, out), {{"REKODA_TEST_NAMED_TEMPORARIES", named}}, rlimit{64, 64}, RLIMIT_NOFILE);
      EXPECT_EQ(r.exit, 0) << named << r.out.left(300).constData();
      EXPECT_EQ(r.lines().size(), 200);
      EXPECT_EQ(out.entries().size(), 200);
    }
  }
  const QMap<QString, QString> shim = {{"LD_PRELOAD", REKODA_FAULT_SHIM}};
  for (const char *named : {"0", "1"}) {
    SCOPED_TRACE(named);
    TempFolder in, out;
    in.write("DF1.L01", kDF);
    in.write("DF2.L01", kDF);
    out.write("DF2.L02", "old\r\n");
    auto with = [&](QMap<QString, QString> vars) {
      vars.insert(shim);
      vars.insert("REKODA_FAULT_DIR", out.path());
      vars.insert("REKODA_TEST_NAMED_TEMPORARIES", named);
      return run(job(in, out), vars);
    };
    // A link takes the new name just before the file does: never replaced.
    Result r = with({{"REKODA_FAULT", "appear"}});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.lines().value(0), (QByteArrayList{"DF1.L01", "DF1.L02", "Faild", "Destination file already exists!"}));
    EXPECT_EQ(r.lines().value(1), (QByteArrayList{"DF2.L01", "DF2.L02", "OK", ""}));
    EXPECT_TRUE(QFileInfo(out.file("DF1.L02")).isSymLink());
    EXPECT_EQ(out.entries(), (QStringList{"DF1.L02", "DF2.L02"}));
    ASSERT_TRUE(QFile::remove(out.file("DF1.L02")));
    // An interrupted folder sync is asked again.
    r = with({{"REKODA_FAULT", "fsync"}, {"REKODA_FAULT_ERRNO", QString::number(EINTR)}, {"REKODA_FAULT_COUNT", "1"}});
    EXPECT_EQ(r.exit, 0) << r.out.constData();
    // Every temporary is still locked when it is renamed into place.
    r = with({{"REKODA_FAULT", "unlocked"}});
    EXPECT_EQ(r.exit, 0) << r.out.constData();
    EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);
    EXPECT_EQ(readBytes(out.file("DF2.L02")), kDFOut);
    // Another program saves its own file under the name being replaced, at
    // the last moment: it keeps the name, and the run says so.
    r = with({{"REKODA_FAULT", "replaced"}, {"REKODA_FAULT_COUNT", "1"}});
    EXPECT_EQ(r.lines().value(0), (QByteArrayList{"DF1.L01", "DF1.L02", "Faild", "Destination file already exists!"}));
    EXPECT_EQ(r.lines().value(1), (QByteArrayList{"DF2.L01", "DF2.L02", "OK", ""}));
    EXPECT_EQ(readBytes(out.file("DF1.L02")), "precious\r\n");
    EXPECT_EQ(out.entries(), (QStringList{"DF1.L02", "DF2.L02"}));
  }
  {
    SCOPED_TRACE("a source rewritten while it is read, same size and bytes: only its change time tells");
    TempFolder in, out;
    in.write("DF1.L01", kDF);
    in.write("DF2.L01", kDF);
    const Result r = run(job(in, out), {{"LD_PRELOAD", REKODA_FAULT_SHIM}, {"REKODA_FAULT", "rewrite"},
                                        {"REKODA_FAULT_DIR", in.path()}, {"REKODA_FAULT_COUNT", "1"}});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.lines().value(0), (QByteArrayList{"DF1.L01", "DF1.L02", "Faild", "the file changed while it was read"}));
    EXPECT_EQ(out.entries(), QStringList{"DF2.L02"});
  }
  {
    SCOPED_TRACE("a source folder replaced under the run: stopped after the group in hand, and not a success");
    TempFolder in, out;
    for (int i = 0; i < 150; ++i)
      in.write(QString("DF%1.L01").arg(i, 3, 10, QChar('0')), kDF);
    const Result r = run(job(in, out), {{"LD_PRELOAD", REKODA_FAULT_SHIM}, {"REKODA_FAULT", "moved"},
                                        {"REKODA_FAULT_DIR", in.path()}, {"REKODA_FAULT_SKIP", "1"}});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.contains(("rekoda-cli: the source folder '" + in.path() + "' is no longer there; stopped after").toUtf8()))
        << r.err.constData();
    EXPECT_LT(r.lines().size(), 150);
    for (const QByteArrayList &row : r.lines())
      EXPECT_EQ(row.value(2), "OK");
  }
#endif
}

// Another program's file at the name being replaced is never harmed: not
// sent to the trash when it took the name after the run looked (the trash
// is no guard of its own), not removed when it cannot be swapped back, and
// the file a swap took out never stays under a hidden name.
TEST(CliFaults, anotherProgramsFileIsNeverHarmed) {
  if (!*REKODA_FAULT_SHIM)
    GTEST_SKIP() << "the fault shim is an LD_PRELOAD object: Linux only";
  for (const char *named : {"0", "1"}) {
    SCOPED_TRACE(named);
    auto run = [&](const TempFolder &in, const TempFolder &out, const TempFolder &data, QMap<QString, QString> vars,
                   const QStringList &more = {}) {
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      vars.insert({{"LD_PRELOAD", REKODA_FAULT_SHIM}, {"REKODA_FAULT_DIR", out.path()},
                   {"REKODA_TEST_NAMED_TEMPORARIES", named}, {"XDG_DATA_HOME", data.path()}});
      for (auto it = vars.begin(); it != vars.end(); ++it)
        env.insert(it.key(), it.value());
      return cli(job(in, out) << more, env);
    };
    {
      SCOPED_TRACE("saved under the name after the run looked, with the trash on");
      TempFolder in, out, data;
      in.write("DF1.L01", kDF);
      out.write("DF1.L02", "old\r\n");
      const Result r = run(in, out, data, {{"REKODA_FAULT", "resaved"}, {"REKODA_FAULT_NAME", "DF1.L02"}}, {"--trash"});
      EXPECT_EQ(r.lines(), (QList<QByteArrayList>{{"DF1.L01", "DF1.L02", "Faild", "Destination file already exists!"}}));
      EXPECT_EQ(readBytes(out.file("DF1.L02")), "precious\r\n");
      EXPECT_EQ(QDir(data.file("Trash/files")).entryList(QDir::Files | QDir::Hidden), QStringList{});
    }
    {
      SCOPED_TRACE("a swap that cannot be given back, beside someone's NAME.other");
      TempFolder in, out, data;
      in.write("DF1.L01", kDF);
      out.write("DF1.L02", "old\r\n");
      out.write("DF1.L02.other", "someone's\r\n");
      const Result r = run(in, out, data, {{"REKODA_FAULT", "replaced"}, {"REKODA_FAULT_COUNT", "1"},
                                           {"REKODA_FAULT_SWAPBACK", "1"}});
      EXPECT_EQ(r.exit, 1);
      EXPECT_EQ(r.lines().value(0).value(2), "Faild");
      EXPECT_TRUE(r.lines().value(0).value(3).startsWith(
          ("another file took the name meanwhile and could not be given it back: it is now " + out.file("DF1.L02.other.2"))
              .toUtf8()))
          << r.out.constData();
      EXPECT_EQ(readBytes(out.file("DF1.L02.other")), "someone's\r\n");
      EXPECT_EQ(readBytes(out.file("DF1.L02.other.2")), "precious\r\n");
      EXPECT_EQ(out.entries(), (QStringList{"DF1.L02", "DF1.L02.other", "DF1.L02.other.2"}));
    }
    {
      SCOPED_TRACE("the replaced file's removal fails, twice");
      TempFolder in, out, data;
      in.write("DF1.L01", kDF);
      out.write("DF1.L02", "old\r\n");
      const Result r = run(in, out, data, {{"REKODA_FAULT", "unlink"}, {"REKODA_FAULT_COUNT", "2"}});
      EXPECT_EQ(r.exit, 0) << r.out.constData();
      EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);
      EXPECT_EQ(out.entries(), QStringList{"DF1.L02"});
    }
  }
}

// The folder sync fails for the second group only: the first group's files
// are OK, every later one fails with the reason, and all are whole.
TEST(CliFaults, failedFolderSyncFailsJustItsGroup) {
  if (!*REKODA_FAULT_SHIM)
    GTEST_SKIP() << "the fault shim is an LD_PRELOAD object: Linux only";
  TempFolder in, out;
  for (int i = 0; i < 150; ++i)
    in.write(QString("DF%1.L01").arg(i, 3, 10, QChar('0')), kDF);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("LD_PRELOAD", REKODA_FAULT_SHIM);
  env.insert("REKODA_FAULT", "fsync");
  env.insert("REKODA_FAULT_DIR", out.path());
  env.insert("REKODA_FAULT_SKIP", "1");
  const Result r = cli(job(in, out), env);
  EXPECT_EQ(r.exit, 1);
  const auto rows = r.lines();
  ASSERT_EQ(rows.size(), 150);
  int ok = 0;
  while (ok < rows.size() && rows[ok].value(2) == "OK")
    ++ok;
  EXPECT_GE(ok, 1);
  EXPECT_LE(ok, 64);
  for (int i = ok; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].value(2), "Faild") << i;
    EXPECT_EQ(rows[i].value(3), "the folder cannot be synced: Input/output error; the file is in place under its "
                                "name, not known to be on disk")
        << i;
  }
  for (const QString &name : out.entries())
    EXPECT_EQ(readBytes(out.file(name)), kDFOut) << name.toStdString();
  // A failed sync of the whole volume names no file: each file of that
  // group is synced on its own, and all are OK.
  TempFolder again;
  env.insert("REKODA_FAULT", "syncfs");
  env.insert("REKODA_FAULT_DIR", again.path());
  const Result fellBack = cli(job(in, again), env);
  EXPECT_EQ(fellBack.exit, 0) << fellBack.out.left(300).constData();
  EXPECT_EQ(again.entries().size(), 150);
}

// A file too big for the memory the process may use fails alone; the run
// goes on with the next file.
TEST(CliFaults, fileThatCannotBeHeldInMemoryFailsAlone) {
#ifdef _WIN32
  GTEST_SKIP() << "no address-space limit to inject this with on Windows";
#else
  TempFolder in, out;
  in.write("MA1.L01", QByteArray(60 * 1024 * 1024, 'x'));  // one line, one field
  in.write("MA2.L01", "1,2,3,L01,T,4\r\n");
  QProcess p;
  p.setChildProcessModifier([] {
    rlimit rl{150u << 20, 150u << 20};
    ::setrlimit(RLIMIT_AS, &rl);
  });
  p.start(REKODA_CLI, {"--family", "ma", "--code", "L02", "--from", in.path(), "--to", out.path()});
  ASSERT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_EQ(p.readAllStandardOutput(), QByteArray("MA1.L01\tMA1.L02\tFaild\tnot enough memory for this file\n"
                                                  "MA2.L01\tMA2.L02\tOK\t\n"));
  EXPECT_EQ(out.entries(), QStringList{"MA2.L02"});
#endif
}

// A run killed at random moments: every output is absent, the old file, or
// whole; no temporary file is ever visible, and the next run clears the
// hidden ones an interrupted run left.
TEST(CliFaults, killedRunLeavesOldOrWholeFilesOnly) {
#ifdef _WIN32
  GTEST_SKIP() << "under wine a terminated child leaves its console host holding the test's output open";
#endif
  TempFolder in, reference;
  const int files = 300;
  for (int i = 0; i < files; ++i)
    in.write(QString("DF%1.L01").arg(i, 3, 10, QChar('0')), lines(40));
  ASSERT_EQ(cli(job(in, reference) << "--quiet").exit, 0);
  const QByteArray whole = readBytes(reference.file("DF000.L02"));
  const QByteArray old = "old\r\n";

  for (int trial = 0; trial < 12; ++trial) {
    SCOPED_TRACE(trial);
    TempFolder out;
    for (int i = 0; i < files; i += 2)
      out.write(QString("DF%1.L02").arg(i, 3, 10, QChar('0')), old);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (trial % 2)
      env.insert("REKODA_TEST_NAMED_TEMPORARIES", "1");
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(REKODA_CLI, job(in, out) << "--quiet");
    ASSERT_TRUE(p.waitForStarted());
    QThread::msleep(QRandomGenerator::global()->bounded(5, 400));
    p.kill();  // SIGKILL; TerminateProcess on Windows
    p.waitForFinished();
    for (const QString &name : out.entries()) {
      if (name.startsWith('.'))
        continue;  // hidden: no listing shows it
      const QByteArray bytes = readBytes(out.file(name));
      EXPECT_TRUE(bytes == old || bytes == whole) << name.toStdString();
      EXPECT_TRUE(name.startsWith("DF") && name.endsWith(".L02")) << name.toStdString();
    }
    ASSERT_EQ(cli(job(in, out) << "--quiet", env).exit, 0);
    for (const QString &name : out.entries())
      EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
    EXPECT_EQ(out.entries().size(), files);
  }
}

// Windows as technicians have it, under wine: files another program holds
// for a moment or still writes, names Windows would otherwise trim, text
// beyond the ANSI code page, names that differ only in case.
TEST(CliWindows, locksExactNamesUnicodeAndCase) {
#ifndef _WIN32
  GTEST_SKIP() << "Windows' own behaviour";
#else
  auto probe = [](const QString &path, const char *mode, int ms) {
    auto *p = new QProcess;
    p->start(REKODA_LOCK_PROBE, {QDir::toNativeSeparators(path), mode, QString::number(ms)});
    EXPECT_TRUE(p->waitForReadyRead(10000));
    EXPECT_EQ(p->readAll().trimmed(), "held");
    return p;
  };
  {
    SCOPED_TRACE("a target held for 0.7 s while the run starts");
    TempFolder in, out;
    in.write("DF1.L01", kDF);
    out.write("DF1.L02", "old\r\n");
    QProcess *held = probe(out.file("DF1.L02"), "none", 700);
    const Result r = cli(job(in, out));
    held->waitForFinished();
    delete held;
    EXPECT_EQ(r.exit, 0) << r.out.constData();
    EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);
    EXPECT_EQ(out.entries(), QStringList{"DF1.L02"});
  }
  {
    SCOPED_TRACE("undo waits out an output held a moment; a leftover of a running process's number goes");
    TempFolder in, out;
    in.write("DF1.L01", kDF);
    // Nobody holds it, whatever its number says.
    out.write(QString(".rekoda-%1-5.tmp").arg(GetCurrentProcessId()), "x");
    ASSERT_EQ(cli(job(in, out) << "--quiet").exit, 0);
    EXPECT_EQ(out.entries(), QStringList{"DF1.L02"});
    // The journals are the user's, beside other tests' runs: this one's.
    QByteArray id;
    for (const QByteArrayList &run : cli({"--list-runs"}).lines()) {
      if (run.value(4).endsWith(QFileInfo(out.path()).fileName().toUtf8())) {
        id = run.value(0);
        EXPECT_EQ(run.value(4), QDir::toNativeSeparators(out.path()).toUtf8());  // single backslashes
      }
    }
    QProcess *held = probe(out.file("DF1.L02"), "none", 1000);
    const Result r = cli({"--undo", QString::fromUtf8(id)});
    held->waitForFinished();
    delete held;
    EXPECT_EQ(r.exit, 0) << r.out.constData() << r.err.constData();
    EXPECT_TRUE(out.entries().isEmpty());
  }
  {
    SCOPED_TRACE("a source still being written");
    TempFolder in, out;
    in.write("DF1.L01", kDF);
    QProcess *held = probe(in.file("DF1.L01"), "write", 4000);
    const Result r = cli(job(in, out));
    held->waitForFinished();
    delete held;
    EXPECT_EQ(r.lines(), (QList<QByteArrayList>{{"DF1.L01", "DF1.L02", "Faild", "cannot read: the file is in use by another program"}}));
    EXPECT_TRUE(out.entries().isEmpty());
  }
  {
    SCOPED_TRACE("a list in the ANSI code page, and a backslash path from the source folder");
    // A UTF-8 code page has no single byte for it, and nothing to fall back to.
    const QString name = QString::fromLocal8Bit("DF\xE9.L01");
    const bool ansi = !name.contains(QChar::ReplacementCharacter);
    TempFolder in, out;
    in.write(ansi ? name : "DF2.L01", kDF);
    in.write("DF1.L01", kDF);
    in.write("list", (ansi ? "DF\xE9.L01\r\n" : "DF2.L01\r\n") +
                         QDir::toNativeSeparators(in.file("DF1.L01")).toLocal8Bit() + "\r\n");
    const Result r = cli(job(in, out) << "--files-from" << in.file("list"));
    EXPECT_EQ(r.exit, 0) << r.err.constData();
    if (ansi) {
      EXPECT_EQ(r.lines().value(0), (QByteArrayList{name.toUtf8(), name.chopped(3).toUtf8() + "L02", "OK", ""}));
    }
    EXPECT_EQ(r.lines().value(1), (QByteArrayList{"DF1.L01", "DF1.L02", "OK", ""}));
  }
  if (GetACP() == 1252 && GetOEMCP() == 437) {
    SCOPED_TRACE("a list that cmd's dir /b wrote, in the OEM code page");
    TempFolder in, out;
    in.write(u"DF\u00E92.L01"_qs, kDF);        // é: 0x82 in code page 437, which 1252 reads as ‚
    in.write("list", "DF\x82" "2.L01\r\n");
    const Result r = cli(job(in, out) << "--files-from" << in.file("list"));
    EXPECT_EQ(r.exit, 0) << r.err.constData();
    EXPECT_EQ(r.lines().value(0), (QByteArrayList{"DF\xC3\xA9" "2.L01", "DF\xC3\xA9" "2.L02", "OK", ""}));
  }
  {
    SCOPED_TRACE("DF9. beside DF9");
    TempFolder in, out;
    in.write("DF9", "L01,MINI,LOGGER\r\nfrom DF9\r\n");
    // Only the \\?\ form keeps the trailing dot.
    const std::wstring dotted = L"\\\\?\\" + QDir::toNativeSeparators(in.file("DF9.")).toStdWString();
    HANDLE h = CreateFileW(dotted.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(h, "L01,MINI,LOGGER\r\nfrom DF9.\r\n", 28, &n, nullptr));
    CloseHandle(h);
    const Result r = cli(job(in, out) << "DF9." << "DF9");
    EXPECT_EQ(r.lines(), (QList<QByteArrayList>{{"DF9.", "DF9.L02", "OK", ""}, {"DF9", "", "Faild", "name has no dot"}}));
    EXPECT_EQ(readBytes(out.file("DF9.L02")), "\"L02\",\"MINI\",\"LOGGER\"\r\n\"from DF9.\"\r\n");
  }
  {
    SCOPED_TRACE("a Greek name, a code beyond the code page, and case");
    TempFolder in, out;
    const QString greek = u"DF\u0391\u0392\u0393.L01"_qs;
    in.write(greek, kDF);
    in.write("DF1.L01", kDF);
    Result r = cli(job(in, out) << greek);
    EXPECT_EQ(r.exit, 0) << r.err.constData();
    EXPECT_EQ(r.out, (u"DF\u0391\u0392\u0393.L01\tDF\u0391\u0392\u0393.L02\tOK\t\n"_qs).toUtf8());  // UTF-8 to a pipe
    EXPECT_TRUE(QFileInfo::exists(out.file(u"DF\u0391\u0392\u0393.L02"_qs)));
    const QString omega = u"\u03A91"_qs;
    r = cli(job(in, out, omega) << "DF1.L01");
    if (QString::fromLocal8Bit(omega.toLocal8Bit()) != omega) {
      EXPECT_EQ(r.exit, 2);
      EXPECT_EQ(r.err, "rekoda-cli: invalid code '\u03A91': the files' character set cannot hold this code\n");
    } else {  // a UTF-8 code page holds it: the name and the content agree
      EXPECT_EQ(r.exit, 0);
      EXPECT_TRUE(readBytes(out.file("DF1." + omega)).startsWith("\"" + omega.toLocal8Bit() + "\""));
    }
    for (const char *dry : {"--dry-run", "--quiet"}) {
      r = cli(job(in, out, "L05") << dry << "DF1.L01" << "df1.l01");
      EXPECT_EQ(r.lines().value(1), (QByteArrayList{"df1.l01", "df1.L05", "Faild", "Destination file already exists!"}))
          << dry;
    }
  }
  for (const QString &exe : {QString(REKODA_CLI), QFileInfo(REKODA_CLI).dir().filePath("rekoda.exe")})
    EXPECT_TRUE(readBytes(exe).contains("longPathAware")) << exe.toStdString();
  {
    SCOPED_TRACE("a folder named as a device is neither made nor taken");
    TempFolder in, out;
    in.write("DF1.L01", kDF);
    const Result made = cli(job(in, out).replaceInStrings(out.path(), out.file("aux.d/x")) << "--mkdir");
    EXPECT_EQ(made.exit, 2);
    EXPECT_TRUE(made.err.contains("'aux.d' cannot be part of a folder's name: Windows keeps it for a device"))
        << made.err.constData();
    EXPECT_TRUE(out.entries().isEmpty());
  }
#endif
}
