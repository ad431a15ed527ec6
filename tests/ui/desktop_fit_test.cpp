// Both windows on other desktops: a large font, a dark palette, a screen
// reader, the keyboard.

#include "ui/controls.h"
#include "ui/frm_dirlist.h"
#include "ui/frm_rekoda.h"

#include "test_support.h"
#include "ui/dir_tree.h"
#include "ui/file_list_model.h"
#include "ui/translations.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <map>
#include <optional>

using namespace rekoda;
using namespace rekoda::test;

namespace {

// The application font for the lifetime of the object.
class AppFont {
 public:
  explicit AppFont(int points) : old_(QApplication::font()) {
    QFont f = old_;
    f.setPointSize(points);
    QApplication::setFont(f);
  }
  ~AppFont() { QApplication::setFont(old_); }

 private:
  QFont old_;
};

std::vector<QWidget *> shownWindows(FrmRekoda &main, FrmDirlist &picker) {
  main.show();
  picker.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&main));
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&picker));
  return {&main, &picker};
}

}  // namespace

// In every language, at the desktop's font and at 15 pt, in this system's
// style (the Windows style under wine): no button or fixed text is cut.
TEST(DesktopFit, inEveryLanguageAndAtFifteenPointsNoTextIsCutOff) {
  const QStringList folders = {QCoreApplication::applicationDirPath() + "/../src/translations"};
  for (const char *locale : {"en_US", "nl_NL", "de_DE"}) {
    const Translations language(QLocale(QString::fromLatin1(locale)), folders);
    for (const int points : {0, 15}) {
      SCOPED_TRACE(std::string(locale) + " at " + std::to_string(points));
      std::optional<AppFont> font;
      if (points > 0)
        font.emplace(points);
      FrmRekoda main;
      FrmDirlist picker;
      for (QWidget *window : shownWindows(main, picker)) {
        QApplication::processEvents();
        for (QWidget *w : window->findChildren<QWidget *>()) {
          const bool text = qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w);
          if (!text || !w->isVisible())
            continue;
          const auto *label = qobject_cast<QLabel *>(w);
          // A wrapping label may trade width for lines; its height must hold them.
          if (label && label->wordWrap())
            EXPECT_GE(w->height(), label->heightForWidth(w->width())) << w->objectName().toStdString();
          else
            EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
          EXPECT_GE(w->height(), w->minimumSizeHint().height()) << w->objectName().toStdString();
        }
      }
    }
  }
}

// What the window says as it goes never widens it: sixty loggers' codes in
// the selected count are cut at the window's edge, whole in the tooltip.
TEST(DesktopFit, sixtyCodesSelectedWidenNothing) {
  TempFolder in;
  for (int i = 1; i <= 60; ++i)
    in.write(QString("DF%1.L01").arg(i, 3, 10, QChar('0')),
             QString("LOGGER%1,MINI,LOGGER\r\n1,2\r\n").arg(i, 3, 10, QChar('0')).toUtf8());
  FrmRekoda main;
  main.setFolderPicker([&](QWidget *, const QString &) { return in.path(); });
  main.findChild<QAbstractButton *>("CmdBestand")->click();
  main.resize(std::max(600, main.minimumSizeHint().width()), main.height());
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  const int width = main.width(), smallest = main.minimumSizeHint().width();
  main.findChild<QAbstractButton *>("CmdSelect")->click();
  auto *count = main.findChild<QLabel *>("lblSelected");
  ASSERT_TRUE(QTest::qWaitFor([&] { return count->text().contains("LOGGER060"); }, 10000));
  QApplication::processEvents();
  EXPECT_EQ(main.width(), width);
  EXPECT_EQ(main.minimumSizeHint().width(), smallest);
  EXPECT_LE(count->geometry().right(), main.findChild<QWidget *>("Frame1")->contentsRect().right());
  EXPECT_TRUE(count->toolTip().startsWith("60 of 60 selected (codes LOGGER001, LOGGER002,"));
  EXPECT_EQ(count->accessibleDescription(), count->toolTip());
}

// Column widths remembered at one font come back at another in
// characters, not pixels: at a larger font the names are not cut for a
// Reason column that keeps its old pixels.
TEST(DesktopFit, rememberedColumnWidthsFollowTheFontAndFitTheWindow) {
  TempFolder home;
  QSettings settings(home.file("rekoda.ini"), QSettings::IniFormat);
  const int reason = FileListModel::ReasonColumn;
  double chars = 0;
  {
    FrmRekoda main(nullptr, &settings);
    main.resize(main.width() + 400, main.height());  // room for it at 15 pt too
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QHeaderView *header = main.findChild<QTreeView *>("LsvDirList")->header();
    header->resizeSection(reason, header->sectionSize(reason) + 60);  // the user drags it wider
    chars = header->sectionSize(reason) / double(main.fontMetrics().averageCharWidth());
    main.close();
  }
  AppFont font(15);
  FrmRekoda main(nullptr, &settings);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  QHeaderView *header = main.findChild<QTreeView *>("LsvDirList")->header();
  EXPECT_NEAR(header->sectionSize(reason) / double(main.fontMetrics().averageCharWidth()), chars, 0.5);
  // Widths taken from a window thousands of pixels wide: the names get a
  // usual export name's width back, an empty Reason gives way first.
  for (const int c : {int(FileListModel::CodeColumn), int(FileListModel::ResultColumn), reason})
    header->resizeSection(c, 2513);
  main.close();
  FrmRekoda again(nullptr, &settings);
  again.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
  QApplication::processEvents();
  header = again.findChild<QTreeView *>("LsvDirList")->header();
  const int name = again.fontMetrics().horizontalAdvance("DF000000.L01");
  EXPECT_GE(header->sectionSize(FileListModel::NameColumn), name);
  EXPECT_GE(header->sectionSize(FileListModel::NewNameColumn), name);
  EXPECT_LE(header->length(), again.findChild<QTreeView *>("LsvDirList")->viewport()->width());
  EXPECT_LT(header->sectionSize(reason), header->sectionSize(FileListModel::ResultColumn));
}

TEST(DesktopFit, everyControlIsNamedForScreenReaders) {
  FrmRekoda main;
  FrmDirlist picker;
  for (QWidget *window : shownWindows(main, picker)) {
    for (QWidget *w : window->findChildren<QWidget *>()) {
      // Scroll bars and viewports speak for the view they belong to.
      if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(window) ||
          w->parentWidget()->inherits("QAbstractScrollArea"))
        continue;
      QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
      ASSERT_NE(a, nullptr);
      EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty()) << w->objectName().toStdString();
    }
  }
  EXPECT_EQ(main.findChild<QWidget *>("CmdBestand")->accessibleName(), "Choose source folder");
  EXPECT_EQ(main.findChild<QWidget *>("CmdBestand1")->accessibleName(), "Choose destination folder");
  EXPECT_EQ(main.findChild<QWidget *>("LsvDirList")->accessibleName(), "Files");
  EXPECT_EQ(main.findChild<QLabel *>("Label1")->buddy(), main.findChild<QWidget *>("CmdBestand"));
  EXPECT_EQ(main.findChild<QLabel *>("Label3")->buddy(), main.findChild<QWidget *>("txtExtension"));
  // A combo box is named by its label on Linux, else by its current text.
  QAccessibleInterface *drive = QAccessible::queryAccessibleInterface(picker.findChild<QWidget *>("Drive1"));
  const auto labels = drive->relations(QAccessible::Label);
  ASSERT_EQ(labels.size(), 1);
  EXPECT_EQ(labels[0].first->text(QAccessible::Name), "Drive:");
}

TEST(DesktopFit, tabFollowsTheWorkAndAfterARunTheFocusIsOnTheList) {
  MessageRecorder messages;
  FrmRekoda main;
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  QStringList order;
  const QStringList expected = {"CmdBestand", "txtDataMap", "CmdBestand1", "txtDataMap1", "OptDF",
                                "txtExtension", "LsvDirList", "CmdSelect", "CmdSelectNone", "CmdStart",
                                "CmdClose"};
  QWidget *w = main.findChild<QWidget *>("CmdBestand");
  for (int i = 0; i < 60 && order.size() < expected.size(); ++i, w = w->nextInFocusChain())
    if (expected.contains(w->objectName()) && !order.contains(w->objectName()))
      order << w->objectName();
  EXPECT_EQ(order, expected);

  TempFolder in, out;
  in.write("DF1.L01", "L01,MINI,LOGGER\r\n");
  main.setFolderPicker([&](QWidget *, const QString &start) { return start.isEmpty() ? in.path() : start; });
  main.findChild<QAbstractButton *>("CmdBestand")->click();
  main.setFolderPicker([&](QWidget *, const QString &) { return out.path(); });
  main.findChild<QAbstractButton *>("CmdBestand1")->click();
  main.findChild<QLineEdit *>("txtExtension")->setText("L02");
  main.findChild<QAbstractButton *>("CmdSelect")->click();
  QSignalSpy ended(&main, &FrmRekoda::runEnded);
  QStringList focus;  // the controls the focus went to, from Start on
  QObject::connect(qApp, &QApplication::focusChanged, &main, [&](QWidget *, QWidget *now) {
    if (now)
      focus << now->objectName();
  });
  main.findChild<QAbstractButton *>("CmdStart")->setFocus();
  focus.clear();
  main.findChild<QAbstractButton *>("CmdStart")->click();
  ASSERT_TRUE(ended.wait(60000));
  EXPECT_EQ(readBytes(out.file("DF1.L02")).left(5), "\"L02\"");
  EXPECT_EQ(focus, (QStringList{"CmdStop", "LsvDirList"}));
  // A run in which every file converts says so in words, without a box.
  EXPECT_EQ(main.findChild<QLabel *>("lblStatus")->text(), "1 of 1 converted");
  EXPECT_TRUE(messages.messages().empty());
}

// The folder boxes read at 4.5:1 or better, measured on the rendered box.
TEST(DesktopFit, folderBoxesReadInADarkPalette) {
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(40, 40, 40));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  dark.setColor(QPalette::Base, QColor(25, 25, 25));
  dark.setColor(QPalette::Text, QColor(240, 240, 240));
  FrmRekoda main;
  main.setPalette(dark);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  auto *box = main.findChild<QLineEdit *>("txtDataMap");
  box->setText(QString(3, QChar(0x2588)));  // full blocks: text pixels for sure
  const QImage image = box->grab().toImage();
  // The face is the most common colour; the text the one farthest from it.
  std::map<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      ++counts[image.pixel(x, y)];
  const QColor face = std::max_element(counts.begin(), counts.end(), [](auto &a, auto &b) { return a.second < b.second; })->first;
  double best = 1;
  for (const auto &[rgb, n] : counts)
    best = std::max(best, ContrastRatio(face, QColor(rgb)));
  EXPECT_LT(face.lightness(), 128);  // a dark face, not the light yellow
  EXPECT_GE(best, 4.5);
  // The focus mark stands at 3:1 on the window in a desktop's light and
  // dark palettes, in the main window and in the picker.
  QPalette breeze = dark;
  breeze.setColor(QPalette::Window, QColor(49, 54, 59));
  const QPalette before = QApplication::palette();
  for (const QPalette &p : {before, dark, breeze}) {
    QApplication::setPalette(p);
    FrmRekoda window;
    FrmDirlist picker;
    for (const QWidget *w : {static_cast<QWidget *>(&window), static_cast<QWidget *>(&picker)}) {
      const QColor focus = FocusColour(w->palette());
      EXPECT_GE(ContrastRatio(focus, w->palette().color(QPalette::Window)), 3.0) << focus.name().toStdString();
      EXPECT_TRUE(w->styleSheet().contains(focus.name())) << w->styleSheet().toStdString();
    }
  }
  QApplication::setPalette(before);
}

TEST(DesktopFit, pickerGrowsWithItsWindow) {
  FrmDirlist picker;
  picker.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
  auto *tree = picker.findChild<DirTree *>("Dir1");
  const QSize before = tree->size();
  picker.resize(picker.width() + 400, picker.height() + 200);
  QApplication::processEvents();
  EXPECT_EQ(tree->width(), before.width() + 400);
  EXPECT_EQ(tree->height(), before.height() + 200);
  EXPECT_EQ(tree->textElideMode(), Qt::ElideMiddle);
}
