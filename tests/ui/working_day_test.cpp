// A working day with the window: it remembers, asks before replacing, and
// keeps a record of the run.

#include "ui/frm_rekoda.h"

#include "conversion/run_journal.h"
#include "conversion/run_record.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/trash.h"
#include "ui/application.h"
#include "ui/file_list_model.h"
#include "ui/message_box.h"
#include "ui/translations.h"
#include "ui/window_speaker.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QRadioButton>
#include <QSettings>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTime>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace rekoda;
using namespace rekoda::test;

namespace {

const QByteArray kDF = "L01,MINI,LOGGER\r\n1,2\r\n";
const QByteArray kDFOut = "\"L02\",\"MINI\",\"LOGGER\"\r\n\"1\",\"2\"\r\n";

// A window on two real folders, with stand-in pickers.
struct Window {
  FrmRekoda w;
  QString nextPick;
  explicit Window(QSettings *settings = nullptr) : w(nullptr, settings) {
    w.setFolderPicker([this](QWidget *, const QString &) { return nextPick; });
    w.show();
  }
  template <class T>
  T *get(const char *name) { return w.findChild<T *>(name); }
  // Both folders, the code, every row: ready for Start.
  void prepare(const QString &from, const QString &to, const QString &code) {
    pick("CmdBestand", from);
    pick("CmdBestand1", to);
    get<QLineEdit>("txtExtension")->setText(code);
    get<QAbstractButton>("CmdSelect")->click();
  }
  void pick(const char *button, const QString &folder) {
    nextPick = folder;
    get<QAbstractButton>(button)->click();
  }
  // Start, and the end of the run it began, if it began one.
  void start() {
    QSignalSpy ended(&w, &FrmRekoda::runEnded);
    get<QAbstractButton>("CmdStart")->click();
    if (w.isRunning()) {
      EXPECT_TRUE(ended.wait(60000));
    }
  }
  void sortByName() {
    QHeaderView *h = get<QTreeView>("LsvDirList")->header();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(0) + 5, h->height() / 2));
  }
  QStringList column(int c) {
    QStringList out;
    auto *m = get<QTreeView>("LsvDirList")->model();
    for (int r = 0; r < m->rowCount(); ++r)
      out << m->index(r, c).data().toString();
    return out;
  }
};

}  // namespace

TEST(WorkingDay, foldersFamilyAndCodeSurviveARestart) {
  TempFolder in, out, config;
  in.write("MA1.L01", "1,2,3,L01\r\n");
  in.write("MA2.L01", "1,2,3,L01\r\n");
  const QString file = config.file("rekoda.ini");
  {
    QSettings settings(file, QSettings::IniFormat);
    Window a(&settings);
    a.pick("CmdBestand", in.path());
    a.pick("CmdBestand1", out.path());
    a.get<QRadioButton>("OptMA")->click();
    a.get<QLineEdit>("txtExtension")->setText("L07");
    a.w.resize(a.w.width() + 100, a.w.height() + 50);
    a.sortByName();
    a.sortByName();  // descending
    a.w.close();
  }
  {
    QSettings settings(file, QSettings::IniFormat);
    Window b(&settings);
    EXPECT_EQ(b.get<QLineEdit>("txtDataMap")->text(), in.path());
    EXPECT_EQ(b.get<QLineEdit>("txtDataMap1")->text(), out.path());
    EXPECT_TRUE(b.get<QRadioButton>("OptMA")->isChecked());
    EXPECT_EQ(b.get<QLineEdit>("txtExtension")->text(), "L07");
    // The rows in the order that the restored arrow shows, and the next
    // click turns both.
    QHeaderView *header = b.get<QTreeView>("LsvDirList")->header();
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(b.column(0), (QStringList{"MA2.L01", "MA1.L01"}));
    b.sortByName();
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(b.column(0), (QStringList{"MA1.L01", "MA2.L01"}));
    b.w.close();
  }
  // A remembered folder that has gone is said in the status line, not in a
  // box, and kept in its box as a suggestion.
  ASSERT_TRUE(QDir(out.path()).removeRecursively());
  MessageRecorder messages;
  QSettings settings(file, QSettings::IniFormat);
  Window c(&settings);
  EXPECT_EQ(c.get<QLineEdit>("txtDataMap1")->text(), "");
  EXPECT_EQ(c.get<QLineEdit>("txtDataMap1")->placeholderText(), out.path());
  EXPECT_EQ(c.get<QLabel>("lblStatus")->text(),
            "the remembered destination " + out.path() + " is not there (a stick not plugged in?)");
  EXPECT_EQ(c.get<QLineEdit>("txtDataMap")->text(), in.path());
  EXPECT_TRUE(messages.messages().empty());

  // Folders named on the command line win over the remembered ones; one
  // that does not exist is said, and the remembered one stays.
  TempFolder named;
  named.write("MA3.L01", "1,2,3,L01\r\n");
  c.w.openFolders(named.path(), named.file("gone"));
  EXPECT_EQ(c.get<QLineEdit>("txtDataMap")->text(), QDir::toNativeSeparators(named.path()));
  EXPECT_EQ(c.column(0), QStringList{"MA3.L01"});
  EXPECT_EQ(c.get<QLineEdit>("txtDataMap1")->text(), "");
  EXPECT_EQ(messages.texts(), QStringList{"The folder " + QDir::toNativeSeparators(named.file("gone")) + " does not exist."});
  const struct {
    QStringList args;
    WindowArguments want;
  } lines[] = {
      {{"SRC"}, {false, false, "", "SRC", ""}},
      {{"SRC", "DST"}, {false, false, "", "SRC", "DST"}},
      {{"--", "-SRC"}, {false, false, "", "-SRC", ""}},
      {{"--help", "SRC"}, {true, false, "", "SRC", ""}},
      {{"--bogus", "SRC"}, {false, false, "unknown option --bogus", "SRC", ""}},
      {{"A", "B", "C"}, {false, false, "more than two folders: C", "A", "B"}},
      {{"-V"}, {false, true, "", "", ""}},
      {{"-style", "fusion", "SRC", "--platform=xcb", "-reverse", "DST"}, {false, false, "", "SRC", "DST"}},
      {{"-stylesheet"}, {false, false, "", "", ""}},
  };
  for (const auto &line : lines) {
    const WindowArguments got = ParseWindowArguments(line.args);
    EXPECT_EQ(std::tie(got.help, got.version, got.problem, got.source, got.dest),
              std::tie(line.want.help, line.want.version, line.want.problem, line.want.source, line.want.dest))
        << line.args.join(' ').toStdString();
  }
}

// Each answer does what it says on disk; what Replace replaces is in the
// trash afterwards.
// A stick with two loggers' exports and a file that is none: each row says
// the code its file carries, one logger's files sort together, and Start
// asks before giving both loggers' files one code.
TEST(WorkingDay, theCodeColumnTellsTheLoggersApart) {
  TempFolder in, out;
  in.write("DF1.L08", "L08,MINI,LOGGER\r\n1,2\r\n");
  in.write("DF2.L07", "L07,MINI,LOGGER\r\n1,2\r\n");
  in.write("DF3.L08", "L08,MINI,LOGGER\r\n1,2\r\n");
  in.write("DF4.TXT", "a note\r\n");
  MessageRecorder messages;
  Window win;
  win.prepare(in.path(), out.path(), "K22");
  const int code = FileListModel::CodeColumn;
  ASSERT_TRUE(QTest::qWaitFor([&] { return !win.column(code).contains(QString()); }, 10000));
  EXPECT_EQ(win.column(code), (QStringList{"L08", "L07", "L08", "not a DF file (no MINI LOGGER or TREND MONITOR marker)"}));
  EXPECT_EQ(win.column(FileListModel::ResultColumn), QStringList(4, QString()));  // nothing run yet
  QHeaderView *header = win.get<QTreeView>("LsvDirList")->header();
  EXPECT_EQ(header->visualIndex(code), 1);
  EXPECT_EQ(header->model()->headerData(code, Qt::Horizontal).toString(), "Code");
  EXPECT_EQ(win.get<QLabel>("lblSelected")->text(), "4 of 4 selected (codes L07, L08)");

  QTest::keyClick(&win.w, Qt::Key_5, Qt::ControlModifier);
  EXPECT_EQ(win.column(0), (QStringList{"DF2.L07", "DF1.L08", "DF3.L08", "DF4.TXT"}));

  win.start();  // cancelled: nothing written
  EXPECT_EQ(messages.questions,
            QStringList{"The selected files carry 2 codes: L07 (1 file), L08 (2 files). Convert them all to K22?"});
  EXPECT_TRUE(out.entries().isEmpty());
  // One logger's files: no question.
  auto *list = win.get<QTreeView>("LsvDirList");
  list->selectionModel()->select(QItemSelection(list->model()->index(1, 0), list->model()->index(2, 0)),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  EXPECT_EQ(win.get<QLabel>("lblSelected")->text(), "2 of 4 selected");
  messages.questions.clear();
  win.start();
  EXPECT_TRUE(messages.questions.isEmpty());
  EXPECT_EQ(out.entries(), (QStringList{"DF1.K22", "DF3.K22"}));

  // Refreshed (F5): a file changed since is read again.
  in.write("DF1.L08", "L09,MINI,LOGGER\r\n1,2,3\r\n");
  QTest::keyClick(&win.w, Qt::Key_F5);
  const auto codeOf = [&](const QString &name) { return win.column(code).value(win.column(0).indexOf(name)); };
  EXPECT_TRUE(QTest::qWaitFor([&] { return codeOf("DF1.L08") == "L09"; }, 10000)) << codeOf("DF1.L08").toStdString();
  EXPECT_EQ(codeOf("DF3.L08"), "L08");
}

TEST(WorkingDay, replacingAsksFirst) {
  TempFolder data;  // the trash of this test, on the same volume as the files
  const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
  for (const ReplaceAnswer answer : {ReplaceAnswer::Cancel, ReplaceAnswer::Skip, ReplaceAnswer::Replace}) {
    SCOPED_TRACE(int(answer));
    // wine answers for a Recycle Bin but cannot move a file into one ("Not
    // implemented"), and a window process that tried no longer ends.
    if (answer == ReplaceAnswer::Replace && UnderWine())
      continue;
    TempFolder in, out;
    for (const char *n : {"DF1.L01", "DF2.L01", "DF3.L01"})
      in.write(n, kDF);
    out.write("DF1.L02", "old one\r\n");
    out.write("DF2.L02", "old two\r\n");
    MessageRecorder messages;
    messages.answer = answer;
    Window win;
    win.prepare(in.path(), out.path(), "L02");
    win.start();
    ASSERT_EQ(messages.questions.size(), 1);
    const bool trash = FolderHasTrash(out.path());
    EXPECT_TRUE(messages.questions[0].startsWith(
        "2 files already exist in the destination folder and will be replaced."));
    EXPECT_EQ(messages.questions[0].contains("no trash"), !trash);
    switch (answer) {
      case ReplaceAnswer::Cancel:
        EXPECT_EQ(out.entries(), (QStringList{"DF1.L02", "DF2.L02"}));
        EXPECT_EQ(readBytes(out.file("DF1.L02")), "old one\r\n");
        EXPECT_EQ(win.column(1), (QStringList{"", "", ""}));
        break;
      case ReplaceAnswer::Skip:
        EXPECT_EQ(readBytes(out.file("DF1.L02")), "old one\r\n");
        EXPECT_EQ(readBytes(out.file("DF2.L02")), "old two\r\n");
        EXPECT_EQ(readBytes(out.file("DF3.L02")), kDFOut);
        EXPECT_EQ(win.column(1), (QStringList{"Faild", "Faild", "OK"}));
        EXPECT_EQ(win.column(3)[0], "Destination file already exists!");
        ASSERT_EQ(messages.texts().size(), 1);
        EXPECT_EQ(messages.texts()[0], "2 of 3 files were skipped: they are in the destination folder already.");
        break;
      case ReplaceAnswer::Replace:
        EXPECT_EQ(readBytes(out.file("DF1.L02")), kDFOut);
        EXPECT_EQ(readBytes(out.file("DF2.L02")), kDFOut);
        EXPECT_EQ(win.column(1), (QStringList{"OK", "OK", "OK"}));
        EXPECT_TRUE(messages.texts().isEmpty());
#ifndef _WIN32
        if (trash) {
          EXPECT_EQ(readBytes(data.file("Trash/files/DF1.L02")), "old one\r\n");
          EXPECT_EQ(readBytes(data.file("Trash/files/DF2.L02")), "old two\r\n");
        }
#endif
        break;
    }
  }
  {
    SCOPED_TRACE("a file rewritten onto itself is asked about by nobody");
    TempFolder in;
    in.write("DF1.L01", kDF);
    MessageRecorder messages;
    Window win;
    win.prepare(in.path(), in.path(), "L01");
    win.start();
    EXPECT_TRUE(messages.questions.isEmpty());
    EXPECT_EQ(win.column(1), QStringList{"OK"});
  }
#ifndef _WIN32
  // One file onto an older output, Replace answered, and what happens while
  // the question stands open.
  const auto replaceOne = [&](const std::function<void(const TempFolder &out)> &meanwhile,
                              const std::function<void(Window &, const MessageRecorder &, const TempFolder &)> &check) {
    TempFolder in, out;
    in.write("DF1.L01", kDF);
    out.write("DF1.L02", "old one\r\n");
    MessageRecorder messages;
    messages.answer = ReplaceAnswer::Replace;
    messages.onQuestion = [&] { meanwhile(out); };
    Window win;
    win.prepare(in.path(), out.path(), "L02");
    win.start();
    ASSERT_EQ(messages.questions.size(), 1);
    check(win, messages, out);
  };
  {
    SCOPED_TRACE("the trash refuses the older file: it stays, and the file fails with the trash's reason");
    replaceOne(
        [&](const TempFolder &) {
          ASSERT_TRUE(QDir(data.file("Trash/files")).removeRecursively());
          data.write("Trash/files", "not a folder");
        },
        [](Window &win, const MessageRecorder &, const TempFolder &out) {
          EXPECT_EQ(win.column(1), QStringList{"Faild"});
          EXPECT_TRUE(win.column(3).value(0).startsWith("the earlier file cannot be moved to the trash: "))
              << win.column(3).value(0).toStdString();
          EXPECT_EQ(readBytes(out.file("DF1.L02")), "old one\r\n");
          EXPECT_EQ(out.entries(), QStringList{"DF1.L02"});
        });
  }
  {
    SCOPED_TRACE("the destination removed while the question is open: said as a run says it, nothing cleared");
    replaceOne([](const TempFolder &out) { ASSERT_TRUE(QDir(out.path()).removeRecursively()); },
               [](Window &win, const MessageRecorder &messages, const TempFolder &out) {
                 EXPECT_FALSE(win.w.isRunning());
                 EXPECT_EQ(messages.texts(),
                           QStringList{QString("The destination folder %1 is no longer there.").arg(out.path())});
                 EXPECT_EQ(win.column(1), QStringList{""});
                 EXPECT_FALSE(QFileInfo::exists(out.path()));
                 for (const JournaledRun &run : ListRuns())  // no journal begun for it either
                   EXPECT_NE(run.dest, QDir::toNativeSeparators(out.path()));
               });
  }
  {
    SCOPED_TRACE("a run that could not be undone is asked about before anything is written");
    TempFolder in, out;
    in.write("DF1.L01", kDF);
    qputenv("XDG_DATA_HOME", data.write("not a folder", "x").toLocal8Bit());
    for (const bool runAnyway : {false, true}) {
      MessageRecorder messages;
      messages.confirm = runAnyway;
      Window win;
      win.prepare(in.path(), out.path(), "L02");
      win.start();
      ASSERT_EQ(messages.questions.size(), 1);
      EXPECT_TRUE(messages.questions[0].startsWith("This run cannot be undone: its journal cannot be written: "));
      EXPECT_TRUE(messages.questions[0].endsWith("\n\nRun anyway?"));
      EXPECT_EQ(out.entries(), runAnyway ? QStringList{"DF1.L02"} : QStringList{});
      EXPECT_EQ(win.column(1), QStringList{runAnyway ? "OK" : ""});
    }
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
  }
#endif
  qputenv("XDG_DATA_HOME", dataHome);
}

// The real question box: Enter and Escape both mean Cancel, so that no key
// pressed in passing replaces anything.
TEST(WorkingDay, theRealQuestionCancelsOnEnterAndEscape) {
  MessageHandler messages = SetMessageHandler(nullptr);
  QuestionHandler questions = SetQuestionHandler(nullptr);
  InstallMessageBoxes();
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    QTimer::singleShot(0, [key] {
      QWidget *box = QApplication::activeModalWidget();
      ASSERT_NE(box, nullptr);
      QTest::keyClick(box, key);
    });
    EXPECT_EQ(AskReplace("2 files already exist in the destination folder and will be replaced."),
              ReplaceAnswer::Cancel);
  }
  SetMessageHandler(std::move(messages));
  SetQuestionHandler(std::move(questions));
}

// Every button of every question, in each language, through the real box:
// a letter of its own that Alt takes it by.
TEST(WorkingDay, everyButtonOfEveryQuestionHasItsOwnLetter) {
  MessageHandler messages = SetMessageHandler(nullptr);
  QuestionHandler questions = SetQuestionHandler(nullptr);
  ConfirmHandler confirms = SetConfirmHandler(nullptr);
  InstallMessageBoxes();
  const QStringList folders = {QCoreApplication::applicationDirPath() + "/../src/translations"};
  for (const char *locale : {"en_US", "nl_NL", "de_DE"}) {
    SCOPED_TRACE(locale);
    const Translations language(QLocale(QString::fromLatin1(locale)), folders);
    QStringList letters;
    const auto readButtons = [&letters] {
      QTimer::singleShot(0, [&letters] {
        QWidget *box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QSet<QKeySequence> seen;
        for (QAbstractButton *b : box->findChildren<QAbstractButton *>()) {
          if (!b->isVisible())
            continue;
          letters << b->text();
          EXPECT_FALSE(b->shortcut().isEmpty()) << b->text().toStdString();
          EXPECT_FALSE(seen.contains(b->shortcut())) << b->text().toStdString();
          seen.insert(b->shortcut());
        }
        QTest::keyClick(box, Qt::Key_Escape);
      });
    };
    readButtons();
    AskReplace("2 files already exist in the destination folder and will be replaced.");
    for (const auto &[context, action] : {std::pair{"rekoda::WindowRun", "Con&vert"}, {"rekoda::WindowRun", "&Undo"},
                                          {"rekoda::WindowRun", "&Run anyway"}, {"ReportBox", "&Replace"}}) {
      readButtons();
      AskConfirm("A question?", QCoreApplication::translate(context, action));
    }
    EXPECT_EQ(letters.size(), 11) << letters.join(" | ").toStdString();
  }
  SetMessageHandler(std::move(messages));
  SetQuestionHandler(std::move(questions));
  SetConfirmHandler(std::move(confirms));
}

// The record of a run: the count of chosen rows, the rows copied as text,
// the report as a spreadsheet reads it, and folders dropped on the boxes.
TEST(WorkingDay, recordOfTheRun) {
  TempFolder in, out;
  QStringList names = {"DF1,comma.L01", u"DF3\u00E9.L01"_qs, "DF4.L01"};
#ifndef _WIN32  // names Windows does not allow
  names << "DF2\"quote.L01" << "DF5\nline.L01" << "DF6\x1b.L01";
#endif
  for (const QString &n : names)
    in.write(n, n == "DF4.L01" ? QByteArray("not,a,logger\r\n") : kDF);
  MessageRecorder messages;
  Window win;
  // Dropped: a folder sets the box, a file sets its folder.
  auto drop = [&](const char *box, const QString &path) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    QWidget *target = win.get<QWidget>(box);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(target, &event);
  };
  drop("txtDataMap", in.file("DF4.L01"));
  drop("txtDataMap1", out.path());
  EXPECT_EQ(win.get<QLineEdit>("txtDataMap")->text(), QDir::toNativeSeparators(in.path()));
  EXPECT_EQ(win.get<QLineEdit>("txtDataMap1")->text(), QDir::toNativeSeparators(out.path()));
  EXPECT_EQ(win.get<QLabel>("lblSelected")->text(), QString("0 of %1 selected").arg(names.size()));
#ifndef _WIN32  // on one line, as rekoda-cli writes it, the extension after it
  EXPECT_TRUE(win.column(0).contains("DF5\\nline.L01"));
  EXPECT_TRUE(win.column(0).contains("DF6\\x1b.L01"));
#endif
  win.get<QLineEdit>("txtExtension")->setText("L02");
  win.get<QAbstractButton>("CmdSelect")->click();
  EXPECT_EQ(win.get<QLabel>("lblSelected")->text(), QString("%1 of %1 selected").arg(names.size()));
  win.start();

  auto *list = win.get<QTreeView>("LsvDirList");
  list->setFocus();
  QTest::keySequence(list, QKeySequence::Copy);
  const QStringList copied = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(copied.size(), names.size() + 1);
  EXPECT_EQ(copied[0], "Filename\tCode\tResult\tNew name\tReason");  // as the columns stand on screen
  EXPECT_EQ(copied[1], "DF1,comma.L01\tL01\tOK\tDF1,comma.L02\t");

  const QString report = out.file("report.csv");
  win.w.setReportPicker([&](QWidget *, const QString &) { return report; });
  win.get<QAbstractButton>("CmdSaveReport")->click();
  const QByteArray bytes = readBytes(report);
  EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
#ifdef _WIN32
  GTEST_SKIP() << "read back with Python's csv module on Linux";
#else
  QProcess python;
  python.start("python3", {"-c",
                           "import csv, json, sys\n"
                           "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                           "    print(json.dumps(list(csv.reader(f))))\n",
                           report});
  ASSERT_TRUE(python.waitForFinished(30000));
  const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
  ASSERT_GE(rows.size(), 8 + names.size());
  EXPECT_EQ(rows[0].toArray()[0].toString(), "Rekoda");
  EXPECT_EQ(rows[2].toArray()[1].toString(), in.path());
  EXPECT_EQ(rows[5].toArray()[1].toString(), "L02");
  EXPECT_TRUE(rows[6].toArray().isEmpty());
  EXPECT_EQ(rows[7].toArray()[0].toString(), "File");
  QStringList files, results;
  for (qsizetype r = 8; r < rows.size(); ++r) {
    files << rows[r].toArray()[0].toString();
    results << rows[r].toArray()[2].toString();
  }
  QStringList visible;  // the report holds the names themselves
  for (const QString &f : files)
    visible << VisibleFileName(f);
  EXPECT_EQ(visible, win.column(0));
  EXPECT_EQ(results, win.column(1));
  EXPECT_TRUE(files.contains("DF5\nline.L01"));
  EXPECT_EQ(results.count("Faild"), 1);
  // A file not written has no new name: a reader takes that column for the
  // files in the destination.
  EXPECT_EQ(rows[8 + results.indexOf("Faild")].toArray()[1].toString(), "");
#endif
}

namespace {

// What the window shows, copies and saves of its last run, against what is
// on disk: each must be what the run wrote, whatever was done since.
void expectRecordIsWhatWasWritten(Window &win, const TempFolder &out, const QString &code) {
  const RunRecord &record = win.w.lastRun();
  ASSERT_FALSE(record.isEmpty());
  EXPECT_EQ(record.job().code, code);
  const QStringList names = win.column(0), results = win.column(1), newNames = win.column(2);
  QStringList shown;
  for (qsizetype r = 0; r < names.size(); ++r) {
    const qsizetype i = record.indexOf(names[r]);
    if (i < 0)
      continue;
    // A New name only for a file that was written: never one a reader
    // would look for in vain.
    EXPECT_EQ(newNames[r], results[r] == "OK" ? record.file(i).output : QString()) << names[r].toStdString();
    EXPECT_EQ(results[r], ResultText(record.file(i)));
    if (results[r] == "OK") {
      EXPECT_TRUE(readBytes(out.file(record.file(i).output)).startsWith("\"" + code.toLatin1() + "\""));
      shown << QString("%1,%2,OK,,%3").arg(names[r], newNames[r], WordedRow(record.row(i)).replaced);
    }
  }
  // The report: the run's header, and its rows as the disk has them.
  const QString report = QDir::temp().filePath(QString("rekoda-report-%1.csv").arg(QCoreApplication::applicationPid()));
  win.w.setReportPicker([&](QWidget *, const QString &) { return report; });
  win.get<QAbstractButton>("CmdSaveReport")->click();
  const QStringList lines = QString::fromUtf8(readBytes(report)).split("\r\n");
  QFile::remove(report);
  EXPECT_TRUE(lines.contains("Code," + code));
  EXPECT_TRUE(lines.contains("File,New name,Result,Reason,Replaced"));
  QStringList saved;
  for (const QString &line : lines) {
    if (line.contains(",OK,"))
      saved << line;
    else if (line.startsWith("DF") && !line.contains(",Faild,")) {  // never reached
      EXPECT_TRUE(line.endsWith(",,,not reached,")) << line.toStdString();
    }
  }
  saved.sort();
  shown.sort();
  EXPECT_EQ(saved, shown);
  // The clipboard: the rows as shown.
  win.get<QAbstractButton>("CmdSelect")->click();
  QTest::keySequence(win.get<QTreeView>("LsvDirList"), QKeySequence::Copy);
  const QStringList copied = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
  EXPECT_EQ(copied.size(), names.size() + 1);
  const QStringList entries = out.entries();
  const QSet<QString> onDisk(entries.begin(), entries.end());
  for (const QString &line : copied.mid(1)) {
    const QString newName = line.section(QChar(9), 3, 3);
    EXPECT_EQ(line.section(QChar(9), 2, 2) == "OK", !newName.isEmpty()) << line.toStdString();
    EXPECT_TRUE(newName.isEmpty() || onDisk.contains(newName)) << line.toStdString();
  }
}

}  // namespace

// The window's record of a run is the run's: a code typed during it, a stop,
// a Cancel at the next Start, and a replaced file leave it true to the disk.
TEST(WorkingDay, recordOfTheRunIsWhatItWrote) {
  TempFolder data;  // the trash of this test, on the same volume as the files
  const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
  enum class Then { TypeZ, Stop, StartAgainAndCancel, Replace };
  for (const Then then : {Then::TypeZ, Then::Stop, Then::StartAgainAndCancel, Then::Replace}) {
    SCOPED_TRACE(int(then));
    if (then == Then::Replace && UnderWine())
      continue;  // wine's Recycle Bin takes no file: see replacingAsksFirst
    TempFolder in, out;
    for (int i = 0; i < 2000; ++i)
      in.write(QString("DF%1.L01").arg(i, 6, 10, QChar('0')), kDF);
    if (then == Then::Replace)
      out.write("DF000007.K22", "older\r\n");
    MessageRecorder messages;
    messages.answer = ReplaceAnswer::Replace;
    Window win;
    win.prepare(in.path(), out.path(), "K22");
    auto *code = win.get<QLineEdit>("txtExtension");
    QSignalSpy ended(&win.w, &FrmRekoda::runEnded);
    win.get<QAbstractButton>("CmdStart")->click();
    ASSERT_TRUE(win.w.isRunning());
    if (then == Then::TypeZ)
      QTest::keyClicks(code, "z");
    if (then == Then::Stop)
      win.get<QAbstractButton>("CmdStop")->click();
    ASSERT_TRUE(ended.wait(60000));
    const QStringList before = win.column(1);
    const QString status = win.get<QLabel>("lblStatus")->text();
    if (then == Then::StartAgainAndCancel) {
      messages.answer = ReplaceAnswer::Cancel;
      code->setText("k22");
      win.get<QAbstractButton>("CmdStart")->click();
      EXPECT_EQ(messages.questions.size(), 1);
      EXPECT_FALSE(win.w.isRunning());
      EXPECT_EQ(win.column(1), before);
      EXPECT_EQ(win.get<QLabel>("lblStatus")->text(), status);
    }
    const int written = int(out.entries().size());
    EXPECT_EQ(status, then == Then::Stop
                          ? QString("Stopped after %1 of 2000 files: %1 converted").arg(written)
                          : QString("2000 of 2000 converted"));
    if (then == Then::Replace) {
      const qsizetype i = win.w.lastRun().indexOf("DF000007.L01");
      EXPECT_EQ(win.w.lastRun().file(i).outcome.replaced, Replaced::ToTrash);
      EXPECT_EQ(readBytes(win.w.lastRun().file(i).outcome.trashedAs), "older\r\n");
      EXPECT_EQ(WordedRow(win.w.lastRun().row(i)).replaced,
                "the older file is in the trash: " + win.w.lastRun().file(i).outcome.trashedAs);
    }
    expectRecordIsWhatWasWritten(win, out, "K22");
  }
  qputenv("XDG_DATA_HOME", dataHome);
}

// The last run can be undone from the window, after a restart too: it asks
// once, naming the run, and then the destination is as it was.
TEST(WorkingDay, undoTheLastRunAfterARestart) {
  TempFolder in, out;
  // No run of an earlier test to undo after this one's.
  ASSERT_TRUE(QDir(RunJournal::folder()).removeRecursively());
  for (const char *n : {"DF1.L01", "DF2.L01"})
    in.write(n, kDF);
  in.write("DF0.L01", "a note\r\n");
#ifndef _WIN32
  in.write(DecodeFileName("DFlat\xE9.L01"), "a note\r\n");  // its name no UTF-8
#endif
  out.write("notes.txt", "mine\r\n");
  TempFolder reports;
  const auto saveReport = [&](Window &win, const QString &name) {
    win.w.setReportPicker([&](QWidget *, const QString &) { return reports.file(name); });
    win.get<QAbstractButton>("CmdSaveReport")->click();
    // The journal names folders in the system's spelling.
    return QDir::toNativeSeparators(QString::fromUtf8(readBytes(reports.file(name)))).toUtf8();
  };
  QByteArray report;
  {
    MessageRecorder messages;
    Window win;
    win.prepare(in.path(), out.path(), "L02");
    win.start();
    EXPECT_EQ(out.entries(), (QStringList{"DF1.L02", "DF2.L02", "notes.txt"}));
    EXPECT_TRUE(win.get<QAbstractButton>("CmdUndo")->isEnabled());
    report = saveReport(win, "before.csv");
  }
  MessageRecorder messages;
  Window win;
  auto *undo = win.get<QAbstractButton>("CmdUndo");
  ASSERT_TRUE(undo->isEnabled());
  // The report of the run one is asked to undo, as it was before the restart.
  ASSERT_TRUE(win.get<QAbstractButton>("CmdSaveReport")->isEnabled());
  EXPECT_EQ(saveReport(win, "after.csv"), report);
  EXPECT_TRUE(report.contains("DF0.L01,,Faild,not a DF file")) << report.constData();
  undo->click();  // Cancel: nothing happens
  ASSERT_EQ(messages.questions.size(), 1);
  // Named to the second: two runs of one minute are told apart.
  EXPECT_TRUE(QRegularExpression(QString("^Undo the run of \\d\\d:\\d\\d:\\d\\d that wrote 2 DF files with code L02 to %1\\?$")
                                     .arg(QRegularExpression::escape(QDir::toNativeSeparators(out.path()))))
                  .match(messages.questions[0])
                  .hasMatch())
      << messages.questions[0].toStdString();
  EXPECT_EQ(out.entries().size(), 3);
  messages.confirm = true;
  QSignalSpy ended(&win.w, &FrmRekoda::runEnded);
  undo->click();
  ASSERT_TRUE(ended.wait(60000));
  EXPECT_EQ(out.entries(), QStringList{"notes.txt"});
  EXPECT_EQ(messages.texts().size(), 1);
  EXPECT_TRUE(messages.texts().value(0).endsWith(
      QString("(DF files, code L02, into %1) is undone: 2 removed.").arg(QDir::toNativeSeparators(out.path()))))
      << messages.texts().value(0).toStdString();
  EXPECT_FALSE(undo->isEnabled());
}

// The window in the technician's language: its own words, a check's message
// and a file's reason from the core, the end's plural; Qt's own buttons too.
// English, and a language Rekoda does not speak, load nothing.
TEST(WorkingDay, theWindowSpeaksDutchAndGerman) {
  const QStringList folders = {QCoreApplication::applicationDirPath() + "/../src/translations"};
  const struct {
    const char *locale;
    QString start, close, header, noRows, failed, status, end, cancel;
  } languages[] = {
      {"nl_NL", "&Start", "Slu&iten", "Bestandsnaam", "Geen regels geselecteerd om te converteren!", "Mislukt",
       "1 van 2 geconverteerd, 1 mislukt",
       "1 van 2 bestanden mislukt.\n\nDF2.L01: geen DF-bestand (geen kenmerk MINI LOGGER of TREND MONITOR)",
       "Annuleren"},
      {"de_DE", "&Start", "Schl&ießen", "Dateiname", "Keine Zeilen zum Umwandeln ausgewählt!", "Fehlgeschlagen",
       "1 von 2 umgewandelt, 1 fehlgeschlagen",
       "1 von 2 Dateien fehlgeschlagen.\n\nDF2.L01: keine DF-Datei (keine Kennung MINI LOGGER oder TREND MONITOR)",
       "Abbrechen"},
  };
  for (const auto &l : languages) {
    SCOPED_TRACE(l.locale);
    TempFolder in, out;
    in.write("DF1.L01", kDF);
    in.write("DF2.L01", "a note\r\n");
    const Translations language(QLocale(QString::fromLatin1(l.locale)), folders);
    ASSERT_EQ(language.language(), QString::fromLatin1(l.locale).left(2));
    MessageRecorder messages;
    Window win;
    EXPECT_EQ(win.get<QAbstractButton>("CmdStart")->text(), l.start);
    EXPECT_EQ(win.get<QAbstractButton>("CmdClose")->text(), l.close);
    EXPECT_EQ(win.get<QTreeView>("LsvDirList")->model()->headerData(0, Qt::Horizontal).toString(), l.header);
    win.prepare(in.path(), out.path(), "L02");
    win.get<QAbstractButton>("CmdSelectNone")->click();
    win.start();
    EXPECT_EQ(messages.texts(), QStringList{l.noRows});
    messages.clear();
    win.get<QAbstractButton>("CmdSelect")->click();
    win.sortByName();
    win.start();
    EXPECT_EQ(win.column(FileListModel::ResultColumn), (QStringList{"OK", l.failed}));
    EXPECT_EQ(win.get<QLabel>("lblStatus")->text(), l.status);
    EXPECT_EQ(messages.texts(), QStringList{l.end});
#ifndef _WIN32  // Qt's own translations come from Debian's package
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), l.cancel);
#endif
    // Data that reads like the program's own words stays as it is: codes
    // that are words of the window, and a file named like a message.
    TempFolder words;
    const QStringList codes = {"Time", "Faild", "mixed", "OK"};
    for (const QString &c : codes)
      words.write("DF" + c + ".L01", (c + ",MINI,LOGGER\r\n1,2\r\n").toUtf8());
    const QString sentence = "DF Source datapath not found!.L01";
    words.write(sentence, "a note\r\n");
    Window said;
    said.prepare(words.path(), out.path(), "L02");
    const int code = FileListModel::CodeColumn;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !said.column(code).contains(QString()); }, 10000));
    for (const QString &c : codes)
      EXPECT_EQ(said.column(code).value(said.column(0).indexOf("DF" + c + ".L01")), c);
    messages.clear();
    messages.confirm = true;  // four codes: convert them all
    said.start();
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].endsWith("\n" + sentence + ": " + l.end.section(": ", -1))) << messages.texts()[0].toStdString();
  }
  for (const char *english : {"en_GB", "fr_FR", "C"}) {
    const Translations none{QLocale(QString::fromLatin1(english)), folders};
    EXPECT_EQ(none.language(), QString()) << english;
    Window win;
    EXPECT_EQ(win.get<QAbstractButton>("CmdClose")->text(), "&Close") << english;
    EXPECT_EQ(Words().result(false), "Faild") << english;
  }
}
