#include "ui/frm_rekoda.h"

#include "conversion/locations.h"

#include "test_support.h"
#include "ui/dir_tree.h"
#include "ui/frm_dirlist.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QElapsedTimer>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QClipboard>
#include <QCompleter>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace rekoda;
using namespace rekoda::test;

namespace {

const QByteArray kDF = "L01,MINI,LOGGER\r\n1,2\r\n";

class MainWindow : public ::testing::Test {
 protected:
  TempFolder in, out;
  MessageRecorder messages;
  FrmRekoda w;
  QString nextPick;  // what the stand-in picker returns

  void SetUp() override {
    w.setFolderPicker([this](QWidget *, const QString &) { return nextPick; });
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  }
  template <class T>
  T *get(const char *name) {
    T *c = w.findChild<T *>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  // Start waits for the run on its thread to end, as a user would.
  void click(const char *name) {
    QSignalSpy ended(&w, &FrmRekoda::runEnded);
    QTest::mouseClick(get<QAbstractButton>(name), Qt::LeftButton);
    if (std::string(name) == "CmdStart" && w.isRunning()) {
      EXPECT_TRUE(ended.wait(60000));
    }
  }
  // Enough files that a stop arrives while the run is still on.
  void manyFiles(int n = 2000) {
    for (int i = 0; i < n; ++i)
      in.write(QString("DF%1.L01").arg(i, 4, 10, QChar('0')), kDF);
  }
  // The results as a run that stopped leaves them: OK rows, then empty ones.
  int okPrefix() {
    const QStringList results = column(1);
    int ok = 0;
    while (ok < results.size() && results[ok] == "OK")
      ++ok;
    for (int r = ok; r < results.size(); ++r)
      EXPECT_EQ(results[r], "") << r;
    return ok;
  }
  void pick(const char *button, const QString &folder) {
    nextPick = folder;
    click(button);
  }
  QTreeView *list() { return get<QTreeView>("LsvDirList"); }
  QStringList column(int c) {
    QStringList out;
    auto *m = list()->model();
    for (int r = 0; r < m->rowCount(); ++r)
      out << m->index(r, c).data().toString();
    return out;
  }
  void selectRows(const QStringList &names) {
    auto *m = list()->model();
    for (int r = 0; r < m->rowCount(); ++r)
      if (names.contains(m->index(r, 0).data().toString()))
        list()->selectionModel()->select(m->index(r, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  void clickHeader(int section) {
    QHeaderView *h = list()->header();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(section) + 5, h->height() / 2));
  }
};

}  // namespace

TEST_F(MainWindow, opensWithDFOnEmptyListAndTheFixedTexts) {
  EXPECT_EQ(w.windowTitle(), "Change Extension       Omberlin");
  EXPECT_TRUE(get<QRadioButton>("OptDF")->isChecked());
  EXPECT_EQ(list()->model()->rowCount(), 0);  // no folder chosen: nothing listed
  EXPECT_FALSE(get<QProgressBar>("Pgb1")->isVisible());
  EXPECT_EQ(get<QLabel>("Label4")->text(), "Note!!    Before click start, select the rows on the list above!");
  EXPECT_EQ(get<QLabel>("Label3")->text().remove(QChar('&')), "New extension/locationcode:");
  EXPECT_EQ(list()->model()->headerData(0, Qt::Horizontal).toString(), "Filename");
  EXPECT_EQ(list()->model()->headerData(1, Qt::Horizontal).toString(), "Result");
  EXPECT_TRUE(get<QLineEdit>("txtDataMap")->isReadOnly());
  EXPECT_TRUE(get<QLineEdit>("txtDataMap1")->isReadOnly());
  EXPECT_EQ(list()->selectionMode(), QAbstractItemView::ExtendedSelection);
  // The application's picture, in the sizes a task bar and a switcher use.
  EXPECT_GE(w.windowIcon().availableSizes().size(), 4);
  EXPECT_FALSE(FrmDirlist().windowIcon().isNull());
}

TEST_F(MainWindow, refreshByFamilyAndFolder) {
  for (const char *n : {"DF2.L01", "df1.l01", "MA1.L01", "ma2", ".DF3.L01", "XDF4.L01"})
    in.write(n, "x");
  in.mkdir("DF5.L01");
  pick("CmdBestand", in.path());
  EXPECT_EQ(get<QLineEdit>("txtDataMap")->text(), in.path());
  EXPECT_EQ(column(0), (QStringList{"df1.l01", "DF2.L01"}));

  selectRows({"df1.l01"});
  click("OptMA");
  EXPECT_EQ(column(0), (QStringList{"MA1.L01", "ma2"}));
  EXPECT_TRUE(list()->selectionModel()->selectedRows().isEmpty());

  pick("CmdBestand", out.path());  // a folder without matching files
  EXPECT_EQ(column(0), QStringList{});
  click("CmdSelect");
  EXPECT_TRUE(list()->hasFocus());
}

TEST_F(MainWindow, closingThePickerWithoutSelectKeepsTheBox) {
  w.setFolderPicker([](QWidget *, const QString &start) { return start; });
  get<QLineEdit>("txtDataMap1")->setText(out.path());
  click("CmdBestand1");
  EXPECT_EQ(get<QLineEdit>("txtDataMap1")->text(), out.path());
}

TEST_F(MainWindow, sourceChosenThroughTheRealPicker) {
  in.write("DF1.L01", "x");
  FrmRekoda real;
  real.show();
  QTimer::singleShot(0, [&] {
    auto *picker = qobject_cast<FrmDirlist *>(QApplication::activeModalWidget());
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->accessibleDescription(), "Choose the source folder");
    picker->findChild<DirTree *>("Dir1")->setPath(in.path());
    QTest::mouseClick(picker->findChild<QPushButton *>("CmdSluiten"), Qt::LeftButton);
  });
  QTest::mouseClick(real.findChild<QPushButton *>("CmdBestand"), Qt::LeftButton);
  EXPECT_EQ(real.findChild<QLineEdit *>("txtDataMap")->text(), QDir::toNativeSeparators(in.path()));
  EXPECT_EQ(real.findChild<QTreeView *>("LsvDirList")->model()->rowCount(), 1);
}

TEST_F(MainWindow, sortingAlternatesPerColumnAndSurvivesRefresh) {
  for (const char *n : {"DF2.L01", "DF1.L01", "DF3.L01"})
    in.write(n, kDF);
  in.write("DF9.L01", "not a DF file");
  pick("CmdBestand", in.path());
  pick("CmdBestand1", out.path());
  selectRows({"DF1.L01", "DF9.L01"});
  get<QLineEdit>("txtExtension")->setText("L02");
  click("CmdStart");
  EXPECT_EQ(column(1), (QStringList{"OK", "", "", "Faild"}));
  EXPECT_EQ(list()->currentIndex().row(), 3);  // the focus is on what failed

  clickHeader(0);
  EXPECT_EQ(column(0), (QStringList{"DF1.L01", "DF2.L01", "DF3.L01", "DF9.L01"}));
  clickHeader(0);
  EXPECT_EQ(column(0), (QStringList{"DF9.L01", "DF3.L01", "DF2.L01", "DF1.L01"}));
  clickHeader(1);  // by result, ascending: empty cells first
  EXPECT_EQ(column(1), (QStringList{"", "", "Faild", "OK"}));
  clickHeader(0);  // the name column goes on with its own alternation
  EXPECT_EQ(column(0), (QStringList{"DF1.L01", "DF2.L01", "DF3.L01", "DF9.L01"}));
  clickHeader(0);
  EXPECT_EQ(column(0).first(), "DF9.L01");

  // The selection travels with its files.
  QStringList selected;
  for (const auto &i : list()->selectionModel()->selectedRows())
    selected << i.data().toString();
  selected.sort();
  EXPECT_EQ(selected, (QStringList{"DF1.L01", "DF9.L01"}));

  // A refresh under a descending sort lists in that order.
  in.write("DF5.L01", kDF);
  click("OptMA");
  click("OptDF");
  EXPECT_EQ(column(0), (QStringList{"DF9.L01", "DF5.L01", "DF3.L01", "DF2.L01", "DF1.L01"}));
}

// The first failed row is made current and shown whole, wherever it is.
TEST_F(MainWindow, theFirstFailedRowIsShownWhole) {
  for (const auto &[failing, taller] : {std::pair{0, 0}, {37, 7}, {52, 3}, {79, 11}}) {
    SCOPED_TRACE(failing);
    w.resize(w.width(), w.minimumSizeHint().height() + taller);
    TempFolder from, to;
    for (int i = 0; i < 80; ++i)
      from.write(QString("DF%1.L01").arg(i, 2, 10, QChar('0')), i == failing ? QByteArray("a note\r\n") : kDF);
    pick("CmdBestand", from.path());
    pick("CmdBestand1", to.path());
    get<QLineEdit>("txtExtension")->setText("L02");
    click("CmdSelect");
    click("CmdStart");
    QApplication::processEvents();
    const QModelIndex current = list()->currentIndex();
    EXPECT_EQ(current.row(), failing);
    EXPECT_TRUE(list()->viewport()->rect().contains(list()->visualRect(current)))
        << list()->visualRect(current).y() << " in " << list()->viewport()->height();
  }
}

// A folder pasted into a folder box as a file manager copies it (a URL, a
// quoted path, a line end after it) is taken; text that names none is said.
TEST_F(MainWindow, aPastedFolderIsTaken) {
  const QString dest = out.mkdir("dest kb");
  auto *box = get<QLineEdit>("txtDataMap1");
  for (const QString &given : {QUrl::fromLocalFile(dest).toString(QUrl::FullyEncoded), "'" + dest + "'\n"}) {
    box->clear();
    QGuiApplication::clipboard()->setText(given);
    box->setFocus();
    QTest::keySequence(box, QKeySequence::Paste);
    EXPECT_EQ(box->text(), QDir::toNativeSeparators(dest)) << given.toStdString();
  }
  QGuiApplication::clipboard()->setText(out.file("gone"));
  QTest::keySequence(box, QKeySequence::Paste);
  EXPECT_EQ(box->text(), QDir::toNativeSeparators(dest));
  EXPECT_EQ(messages.texts(), QStringList{"The folder " + QDir::toNativeSeparators(out.file("gone")) + " does not exist."});
}

TEST_F(MainWindow, wholeRunFromTheWindow) {
  in.write("DF1.L01", kDF);
  in.write("DF2.L01", kDF);
  in.write("DF3.L01", kDF);
  pick("CmdBestand", in.path() + "/");
  pick("CmdBestand1", out.path());
  selectRows({"DF1.L01", "DF3.L01"});

  auto *code = get<QLineEdit>("txtExtension");
  code->setFocus();
  QTest::keyClicks(code, "loc1");
  get<QPushButton>("CmdSelectNone")->setFocus();  // leaving the box upper-cases it
  EXPECT_EQ(code->text(), "LOC1");
  code->setFocus();
  code->setText("loc2");
  const QSize size = w.size();
  click("CmdStart");
  EXPECT_EQ(w.size(), size);  // the size the user gave it

  EXPECT_EQ(column(1), (QStringList{"OK", "", "OK"}));
  EXPECT_EQ(out.entries(), (QStringList{"DF1.LOC2", "DF3.LOC2"}));
  EXPECT_EQ(readBytes(out.file("DF1.LOC2")), QByteArray("\"LOC2\",\"MINI\",\"LOGGER\"\r\n\"1\",\"2\"\r\n"));
  EXPECT_EQ(get<QLineEdit>("txtDataMap")->text(), in.path());
  EXPECT_EQ(column(0).size(), 3);  // the run's tidying of the folder did not relist
  EXPECT_EQ(list()->selectionModel()->selectedRows().size(), 2);
  EXPECT_FALSE(get<QProgressBar>("Pgb1")->isVisible());
  EXPECT_EQ(get<QProgressBar>("Pgb1")->value(), 2);
  for (const char *c : {"OptDF", "OptMA", "CmdStart", "CmdClose", "CmdBestand", "CmdBestand1"})
    EXPECT_TRUE(get<QWidget>(c)->isEnabled()) << c;
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(messages.messages().empty());
  // No file manager here (the offscreen platform opens nothing): it says so,
  // once the opener has answered.
  click("CmdOpenDest");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.texts().isEmpty(); }, 10000));  // answered as an event
  EXPECT_EQ(messages.texts(),
            QStringList{"No program on this desktop opens folders; the destination folder is " + out.path()});
}

TEST_F(MainWindow, startChecksShowTheirMessage) {
  click("CmdStart");
  EXPECT_EQ(messages.texts(), QStringList{"Source datapath not found!"});
  EXPECT_EQ(messages.messages()[0].style, 16);

  in.write("DF1.L01", kDF);
  pick("CmdBestand", in.path());
  pick("CmdBestand1", out.path());
  get<QLineEdit>("txtExtension")->setText("L2");
  messages.clear();
  click("CmdStart");
  EXPECT_EQ(messages.texts(), QStringList{"No rows select for conversion!"});
  EXPECT_TRUE(out.entries().isEmpty());
}

// A register of known locations: offered as one types, named in the hint
// and the Code column, and a code not in it asked about before Start.
TEST_F(MainWindow, knownLocationsAreOfferedNamedAndAskedAbout) {
  QByteArray csv = "Code;Location\r\nK22;Pump station north\r\nL01;\"Harbour west; quay 2\"\r\n";
  for (int i = 3; i <= 14; ++i)
    csv += "M" + QByteArray::number(i) + ";Mill " + QByteArray::number(i) + "\r\n";
  ASSERT_TRUE(QDir().mkpath(QFileInfo(LocationsFile()).path()));
  QFile file(LocationsFile());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size());
  file.close();
  const auto removed = qScopeGuard([] { QFile::remove(LocationsFile()); });
  for (const char *name : {"DF1.L01", "DF2.L01", "DF3.L01"})
    in.write(name, kDF);
  pick("CmdBestand", in.path());
  pick("CmdBestand1", out.path());
  selectRows({"DF1.L01", "DF2.L01", "DF3.L01"});

  auto *code = get<QLineEdit>("txtExtension");
  code->setFocus();  // the register is read as the box takes the focus
  QTest::keyClicks(code, "k2");
  QCompleter *offered = code->completer();
  ASSERT_TRUE(QTest::qWaitFor([&] { return offered->popup()->isVisible(); }, 5000));
  EXPECT_EQ(offered->completionCount(), 1);
  EXPECT_EQ(offered->popup()->model()->index(0, 0).data().toString(), "K22 — Pump station north");
  QTest::keyClick(offered->popup(), Qt::Key_Down);
  QTest::keyClick(offered->popup(), Qt::Key_Return);
  EXPECT_EQ(code->text(), "K22");
  EXPECT_EQ(code->accessibleDescription(), "Location: Pump station north");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !column(4).contains(""); }, 5000));  // the codes read
  EXPECT_EQ(list()->model()->index(0, 4).data(Qt::ToolTipRole).toString(), "L01: Harbour west; quay 2");

  code->setText("K2Z");
  click("CmdStart");
  EXPECT_EQ(messages.questions, QStringList{"K2Z is not one of your 14 known locations. "
                                            "Convert the 3 selected files to K2Z anyway?"});
  EXPECT_TRUE(out.entries().isEmpty());  // Cancel: nothing written
  messages.questions.clear();
  code->setText("K22");
  click("CmdStart");
  EXPECT_TRUE(messages.questions.isEmpty());
  EXPECT_EQ(out.entries(), (QStringList{"DF1.K22", "DF2.K22", "DF3.K22"}));
}

TEST_F(MainWindow, closingDuringRunFinishesFilesInHandThenCloses) {
  manyFiles();
  pick("CmdBestand", in.path());
  pick("CmdBestand1", out.path());
  get<QLineEdit>("txtExtension")->setText("L2");
  click("CmdSelect");
  QSignalSpy ended(&w, &FrmRekoda::runEnded);
  QTest::mouseClick(get<QAbstractButton>("CmdStart"), Qt::LeftButton);
  EXPECT_TRUE(w.isRunning());
  w.close();
  EXPECT_TRUE(w.isVisible());  // until the files in hand are done
  ASSERT_TRUE(ended.wait(60000));
  QApplication::processEvents();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(messages.texts(), QStringList{});
  const int ok = okPrefix();
  EXPECT_LT(ok, 2000);
  EXPECT_EQ(out.entries().size(), ok);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Destroyed during a run, the window stops it after the files in hand and
// waits for its thread: the process goes on, and every file written is whole.
TEST_F(MainWindow, destroyedDuringARunStopsItAndWaitsForIt) {
  manyFiles(3000);
  auto *doomed = new FrmRekoda;
  QString pick = in.path();
  doomed->setFolderPicker([&](QWidget *, const QString &) { return pick; });
  doomed->findChild<QAbstractButton *>("CmdBestand")->click();
  pick = out.path();
  doomed->findChild<QAbstractButton *>("CmdBestand1")->click();
  doomed->findChild<QLineEdit *>("txtExtension")->setText("L2");
  doomed->findChild<QAbstractButton *>("CmdSelect")->click();
  doomed->findChild<QAbstractButton *>("CmdStart")->click();
  ASSERT_TRUE(doomed->isRunning());
  delete doomed;
  QApplication::processEvents();
  const QStringList written = out.entries();
  EXPECT_LT(written.size(), 3000);
  for (const QString &name : written)
    ASSERT_EQ(readBytes(out.file(name)), "\"L2\",\"MINI\",\"LOGGER\"\r\n\"1\",\"2\"\r\n") << name.toStdString();
}

TEST_F(MainWindow, closeButtonEndsTheWindow) {
  click("CmdClose");
  EXPECT_FALSE(w.isVisible());
}

TEST_F(MainWindow, growsWithTheWindowAndPreviewsEveryNewName) {
  const QSize listBefore = list()->size();
  w.resize(w.width() + 300, w.height() + 200);
  QApplication::processEvents();
  EXPECT_EQ(list()->width(), listBefore.width() + 300);
  // Nearly all of it: the note may wrap into fewer lines when wider.
  EXPECT_GE(list()->height(), listBefore.height() + 150);
  EXPECT_EQ(list()->header()->sectionViewportPosition(3) + list()->header()->sectionSize(3),
            list()->viewport()->width());  // the last column fills the list

  in.write("DF1.L01", kDF);
  in.write("DF2.A.B", kDF);
  in.write("DF3", kDF);
  out.write("DF1.L07", "earlier output\r\n");
  pick("CmdBestand", in.path());
  pick("CmdBestand1", out.path());
  auto *code = get<QLineEdit>("txtExtension");
  const auto exists = [this](int row) {
    return list()->model()->index(row, 2).data(Qt::UserRole + 1).toBool();
  };
  QTest::keyClicks(code, "l07");
  EXPECT_EQ(column(2), (QStringList{"DF1.L07", "DF2.L07", ""}));
  // The destination is listed on a thread of its own.
  EXPECT_TRUE(QTest::qWaitFor([&] { return exists(0); }, 10000));
  EXPECT_FALSE(exists(1));
  // The warning sign is a picture: a screen reader hears the words.
  EXPECT_EQ(list()->model()->index(0, 2).data(Qt::AccessibleDescriptionRole).toString(), "will be replaced");
  EXPECT_EQ(list()->model()->index(1, 2).data(Qt::AccessibleDescriptionRole).toString(), "");
  code->setText("L:7");  // refused at Start, so no preview
  EXPECT_EQ(column(2), (QStringList{"", "", ""}));
  EXPECT_EQ(code->accessibleDescription(), "':' cannot be part of a file name");
  EXPECT_TRUE(readBytes(out.file("DF1.L07")) == "earlier output\r\n");
}

TEST_F(MainWindow, keyboardPressesButtonsAndStopsARun) {
  manyFiles();
  pick("CmdBestand", in.path());
  pick("CmdBestand1", out.path());
  get<QLineEdit>("txtExtension")->setText("L2");
  auto *selectAll = get<QPushButton>("CmdSelect");
  selectAll->setFocus();
  QTest::keyClick(selectAll, Qt::Key_Return);
  EXPECT_EQ(list()->selectionModel()->selectedRows().size(), 2000);
  // The letters of the folder captions open their pickers.
  QStringList asked;
  w.setFolderPicker([&](QWidget *, const QString &start) {
    asked << start;
    return start;
  });
  for (const Qt::Key letter : {Qt::Key_U, Qt::Key_I}) {
    QTest::keyClick(&w, letter, Qt::AltModifier);
    QTest::qWait(300);  // a mnemonic presses its button as a click would, animated
  }
  EXPECT_EQ(asked, (QStringList{in.path(), out.path()}));

  // Escape during the run: the files in hand finish, later rows stay blank,
  // Start is back.
  auto *start = get<QPushButton>("CmdStart");
  start->setFocus();
  QSignalSpy ended(&w, &FrmRekoda::runEnded);
  QTest::keyClick(start, Qt::Key_Enter);
  EXPECT_TRUE(get<QPushButton>("CmdStop")->isVisible() && !start->isVisible());
  QTest::keyClick(&w, Qt::Key_Escape);
  ASSERT_TRUE(ended.wait(60000));
  const int ok = okPrefix();
  EXPECT_LT(ok, 2000);
  EXPECT_EQ(out.entries().size(), ok);
  EXPECT_TRUE(start->isVisible() && start->isEnabled());
  EXPECT_FALSE(get<QPushButton>("CmdStop")->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), list());
  EXPECT_TRUE(messages.messages().empty());
}

// Someone typing the next code during a run keeps the focus and the box
// where they are when the run ends: the status line and Undo keep their
// places from the start.
TEST_F(MainWindow, theCodeBoxKeepsItsPlaceAndTheFocusThroughARun) {
  manyFiles();
  pick("CmdBestand", in.path());
  pick("CmdBestand1", out.path());
  auto *code = get<QLineEdit>("txtExtension");
  code->setText("L2");
  get<QPushButton>("CmdSelect")->click();
  const auto place = [&] { return code->mapTo(&w, QPoint(0, 0)); };
  const QPoint before = place();
  QSignalSpy ended(&w, &FrmRekoda::runEnded);
  QTest::mouseClick(get<QPushButton>("CmdStart"), Qt::LeftButton);
  ASSERT_TRUE(w.isRunning());
  EXPECT_EQ(place(), before);
  QTest::mouseClick(code, Qt::LeftButton);
  code->clear();
  QTest::keyClicks(code, "T5K");
  ASSERT_TRUE(ended.wait(60000));
  EXPECT_FALSE(get<QLabel>("lblStatus")->text().isEmpty());
  EXPECT_EQ(place(), before);
  EXPECT_EQ(QApplication::focusWidget(), code);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q);
  EXPECT_EQ(code->text(), "T5Kq");
  // An invalid code's hint under the box moves nothing either.
  code->setText("A:B");
  EXPECT_FALSE(get<QLabel>("lblCodeHint")->text().isEmpty());
  EXPECT_EQ(place(), before);
}

// A desktop whose xdg-open finds nothing to open folders with: said, not
// passed over in silence.
TEST_F(MainWindow, anOpenerThatFailsIsSaid) {
#ifdef _WIN32
  GTEST_SKIP() << "ShellExecute answers at once on Windows";
#else
  TempFolder bin;
  const QString opener = bin.write("xdg-open", "#!/bin/sh\necho 'xdg-open: no method available for opening' >&2\nexit 3\n");
  ASSERT_TRUE(QFile::setPermissions(opener, QFile::ReadOwner | QFile::ExeOwner));
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", bin.path().toLocal8Bit() + ":" + path);
  pick("CmdBestand1", out.path());
  click("CmdOpenDest");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.texts().isEmpty(); }, 10000));  // answered as an event
  ASSERT_EQ(messages.texts().size(), 1);
  EXPECT_EQ(messages.texts()[0], "No program on this desktop opens folders; the destination folder is " + out.path());
  qputenv("PATH", path);
#endif
}

// Save report… opens at once beside a destination of thousands of files
// (the file dialog waits behind Browse…), with the suggested path ready
// for Enter.
TEST_F(MainWindow, saveReportOpensAtOnceWithThePathReady) {
  in.write("DF1.L01", kDF);
  for (int i = 0; i < 5000; ++i)
    out.write(QString("other%1.txt").arg(i), "");
  pick("CmdBestand", in.path());
  pick("CmdBestand1", out.path());
  get<QLineEdit>("txtExtension")->setText("L2");
  get<QPushButton>("CmdSelect")->click();
  click("CmdStart");
  QString shown;
  qint64 openedAfter = -1;
  QElapsedTimer clock;
  QTimer::singleShot(0, [&] {
    openedAfter = clock.elapsed();
    QWidget *box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->objectName(), "ReportBox");  // not a file dialog listing the folder
    auto *path = box->findChild<QLineEdit *>("txtReportPath");
    ASSERT_NE(path, nullptr);
    shown = path->text();
    QTest::keyClick(path, Qt::Key_Return);
  });
  clock.start();
  click("CmdSaveReport");
  EXPECT_LT(openedAfter, 300);
  EXPECT_TRUE(shown.startsWith(QDir::toNativeSeparators(out.path())) && shown.endsWith(".csv")) << shown.toStdString();
  EXPECT_TRUE(readBytes(shown).contains("DF1.L01,DF1.L2,OK")) << readBytes(shown).left(400).constData();
}

// A folder too long for its box shows its end with an ellipsis in front,
// and the whole path as the tooltip; one that fits shows neither.
TEST_F(MainWindow, aLongFolderShowsItsEndWithAnEllipsis) {
  auto *box = get<QLineEdit>("txtDataMap");
  auto *mark = box->findChild<QAction *>("cutMark");
  ASSERT_NE(mark, nullptr);
  const QString deep = in.mkdir(QString(40, 'a')) + "/" + QString(40, 'b') + "/" + QString(40, 'c') + "/logger 7";
  ASSERT_TRUE(QDir().mkpath(deep));
  pick("CmdBestand", deep);
  EXPECT_TRUE(mark->isVisible());
  EXPECT_EQ(box->toolTip(), deep);
  EXPECT_EQ(box->cursorPosition(), deep.size());  // the end: the folder's own name
  pick("CmdBestand", in.path());
  EXPECT_FALSE(mark->isVisible());
  EXPECT_EQ(box->toolTip(), "");
}

TEST_F(MainWindow, folderThatCannotBeListedSaysWhy) {
  pick("CmdBestand", in.file("gone"));
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text,
            QString("The folder %1 cannot be listed: No such file or directory").arg(in.file("gone")));
}

TEST_F(MainWindow, runIntoTheSourceFolderListsTheNewFilesAndKeepsTheResults) {
  in.write("DF1.L01", kDF);
  in.write("DF2.L01", "L01,NOT,ALOGGER\r\n");
  pick("CmdBestand", in.path());
  pick("CmdBestand1", in.path());
  get<QLineEdit>("txtExtension")->setText("L2");
  click("CmdSelect");
  click("CmdStart");
  EXPECT_EQ(column(0), (QStringList{"DF1.L01", "DF1.L2", "DF2.L01"}));
  EXPECT_EQ(column(1), (QStringList{"OK", "", "Faild"}));
  EXPECT_EQ(column(3)[2], "not a DF file (no MINI LOGGER or TREND MONITOR marker)");
  EXPECT_EQ(list()->selectionModel()->selectedRows().size(), 2);
}
