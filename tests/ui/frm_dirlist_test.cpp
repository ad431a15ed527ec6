#include "ui/frm_dirlist.h"

#include "test_support.h"
#include "platform/file_system.h"
#include "ui/dir_tree.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using namespace rekoda;
using namespace rekoda::test;

namespace {

class Picker : public ::testing::Test {
 protected:
  TempFolder dir;
  MessageRecorder messages;
  FrmDirlist dlg;

  void open(const QString &start) {
    dlg.NewPath = start;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  }
  DirTree *tree() { return dlg.findChild<DirTree *>("Dir1"); }
  QLineEdit *shown() { return dlg.findChild<QLineEdit *>("txtPathNu"); }
  QLineEdit *name() { return dlg.findChild<QLineEdit *>("txtPath"); }
  QPushButton *newButton() { return dlg.findChild<QPushButton *>("CmdNieuw"); }
  void select() { QTest::mouseClick(dlg.findChild<QPushButton *>("CmdSluiten"), Qt::LeftButton); }
  void createFolder(const QString &folderName) {
    QTest::mouseClick(newButton(), Qt::LeftButton);
    name()->setText(folderName);
    QTest::mouseClick(newButton(), Qt::LeftButton);
  }
};

QString native(const QString &p) { return QDir::toNativeSeparators(p); }

}  // namespace

TEST_F(Picker, opensTheStartFolderWithItsSubFolders) {
  dir.mkdir("b");
  dir.mkdir("A");
  dir.write("file", "x");
  open(dir.path());
  EXPECT_EQ(dlg.windowTitle(), "Dirlist");
  EXPECT_EQ(shown()->text(), native(dir.path()));
  EXPECT_EQ(tree()->path(), native(dir.path()));
  QTreeWidgetItem *current = tree()->currentItem();
  ASSERT_NE(current, nullptr);
  ASSERT_EQ(current->childCount(), 2);  // folders only
  EXPECT_EQ(current->child(0)->text(0), "A");
  EXPECT_EQ(current->child(1)->text(0), "b");
  EXPECT_EQ(newButton()->text().remove(QChar('&')), "New");
  EXPECT_EQ(dlg.findChild<QPushButton *>("CmdSluiten")->text().remove(QChar('&')), "Select");
  EXPECT_FALSE(name()->isVisible());
}

TEST_F(Picker, emptyStartOpensWorkingFolderAndCloseKeepsEmpty) {
  open(QString());
  EXPECT_EQ(tree()->path(), native(QDir::currentPath()));
  dlg.close();
  EXPECT_EQ(dlg.NewPath, "");
}

TEST_F(Picker, vanishedStartFolderOpensNearestParent) {
  open(dir.file("gone/deeper"));
  EXPECT_EQ(tree()->path(), native(dir.path()));
  EXPECT_EQ(shown()->text(), native(dir.path()));
}

TEST_F(Picker, escapeClosesAndKeepsStartValue) {
  open(dir.path());
  tree()->setPath(dir.mkdir("other"));
  QTest::keyClick(&dlg, Qt::Key_Escape);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.NewPath, dir.path());
}

TEST_F(Picker, selectReturnsTheHighlightedFolder) {
  dir.mkdir("child");
  open(dir.path());
  QTreeWidgetItem *child = tree()->currentItem()->child(0);
  tree()->setCurrentItem(child);  // highlighted with one click, not opened
  EXPECT_EQ(shown()->text(), native(dir.file("child")));
  select();
  EXPECT_EQ(dlg.NewPath, native(dir.file("child")));
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(Picker, enterOpensHighlightedFolder) {
  dir.mkdir("child");
  dir.mkdir("child/inner");
  dir.mkdir("child/inner/deepest");
  dir.mkdir("child/leaf");
  open(dir.path());
  // A folder that holds folders shows an arrow, after Enter too.
  const auto arrow = [](const QTreeWidgetItem *item) {
    return item->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
  };
  EXPECT_TRUE(arrow(tree()->currentItem()->child(0)));
  tree()->setFocus();
  tree()->setCurrentItem(tree()->currentItem()->child(0));
  QTest::keyClick(tree(), Qt::Key_Return);
  EXPECT_EQ(tree()->path(), native(dir.file("child")));
  EXPECT_EQ(shown()->text(), native(dir.file("child")));
  EXPECT_TRUE(dlg.isVisible());
  ASSERT_EQ(tree()->currentItem()->childCount(), 2);
  EXPECT_TRUE(arrow(tree()->currentItem()->child(0)));   // inner
  EXPECT_FALSE(arrow(tree()->currentItem()->child(1)));  // leaf
  // Its arrow opens it, as Enter does.
  tree()->expandItem(tree()->currentItem()->child(0));
  QTest::qWait(0);
  QCoreApplication::processEvents();
  EXPECT_EQ(tree()->path(), native(dir.file("child/inner")));
  tree()->setCurrentItem(tree()->currentItem()->parent());
  // Up the chain again by opening the parent.
  tree()->setCurrentItem(tree()->currentItem()->parent());
  QTest::keyClick(tree(), Qt::Key_Return);
  EXPECT_EQ(tree()->path(), native(dir.path()));
}

TEST_F(Picker, newFolderIsCreatedEnteredAndReturned) {
  open(dir.path());
  QTest::mouseClick(newButton(), Qt::LeftButton);
  EXPECT_TRUE(name()->isVisible());
  EXPECT_EQ(newButton()->text().remove(QChar('&')), "OK");
  EXPECT_TRUE(dlg.NewFolderMode);
  QTest::keyClicks(name(), "Day 12");
  QTest::keyClick(name(), Qt::Key_Return);  // Enter acts as OK
  EXPECT_TRUE(QFileInfo(dir.file("Day 12")).isDir());
  EXPECT_EQ(shown()->text(), native(dir.file("Day 12")));
  EXPECT_FALSE(name()->isVisible());
  EXPECT_EQ(newButton()->text().remove(QChar('&')), "New");
  select();
  EXPECT_EQ(dlg.NewPath, native(dir.file("Day 12")));
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(Picker, emptyNameCreatesNothingAndSaysNothing) {
  open(dir.path());
  createFolder("");
  EXPECT_TRUE(dir.entries().isEmpty());
  EXPECT_TRUE(messages.messages().empty());
  EXPECT_FALSE(dlg.NewFolderMode);
  EXPECT_EQ(newButton()->text().remove(QChar('&')), "New");
}

TEST_F(Picker, nameTypedThenSelectCreatesNothing) {
  open(dir.path());
  QTest::mouseClick(newButton(), Qt::LeftButton);
  name()->setText("never");
  select();
  EXPECT_TRUE(dir.entries().isEmpty());
  EXPECT_EQ(dlg.NewPath, native(dir.path()));
}

TEST_F(Picker, existingNameIsReportedAndFolderStays) {
  dir.mkdir("there");
  open(dir.path());
  createFolder("there");
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "Folder already exists");
  EXPECT_EQ(messages.messages()[0].style, 0);
  EXPECT_EQ(tree()->path(), native(dir.path()));
  EXPECT_FALSE(dlg.NewFolderMode);
}

TEST_F(Picker, nestedNameCreatesNoMissingParents) {
  open(dir.path());
  createFolder("a/b");
  EXPECT_EQ(messages.messages().size(), 1u);
  EXPECT_TRUE(dir.entries().isEmpty());
}

TEST_F(Picker, folderAtRootGetsNoDoubledSeparator) {
  const QString root = QDir::rootPath();
  if (!QFileInfo(root).isWritable())
    GTEST_SKIP() << "the root folder is not writable here";
  const QString folderName = QStringLiteral("rekoda-test-%1").arg(QCoreApplication::applicationPid());
  open(root);
  createFolder(folderName);
  const QString made = native(root + folderName);
  EXPECT_EQ(tree()->path(), made);
  EXPECT_TRUE(QDir().rmdir(root + folderName));
}

TEST_F(Picker, anotherVolumeShowsItsDriveAndFolder) {
  const QString tempDrive = native(VolumeRoot(dir.path()));
  QString other;
  for (const QString &d : FrmDirlist::Drives())
    if (d != tempDrive && QFileInfo(d).isDir() && QFileInfo(d).isReadable())
      other = d;
  if (other.isEmpty())
    GTEST_SKIP() << "only one volume on this machine";
  open(other);
  EXPECT_EQ(dlg.findChild<QComboBox *>("Drive1")->currentData().toString(), other);
  EXPECT_EQ(tree()->path(), other);
}

TEST_F(Picker, driveThatIsNotReadyLeavesTheCurrentFolder) {
  open(dir.path());
  auto *drives = dlg.findChild<QComboBox *>("Drive1");
  const QString before = drives->currentData().toString();
  const QString gone = native(dir.file("unplugged"));
  drives->addItem(gone, gone);
  drives->setCurrentIndex(drives->count() - 1);
  EXPECT_EQ(tree()->path(), native(dir.path()));
  EXPECT_EQ(drives->currentData().toString(), before);
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(Picker, tabOrder) {
  open(dir.path());
  QStringList order;
  const QStringList named = {"Drive1", "Dir1", "CmdSluiten", "CmdNieuw", "txtPath", "txtPathNu"};
  QWidget *w = dlg.findChild<QWidget *>("Drive1");
  for (int i = 0; i < 40 && order.size() < named.size(); ++i, w = w->nextInFocusChain())
    if (named.contains(w->objectName()) && !order.contains(w->objectName()))
      order << w->objectName();
  EXPECT_EQ(order, named);
}

// A folder typed or pasted into the path box is gone to with Enter (a share
// with no drive letter, a path copied from a file manager); an unknown one
// says so. The picker opens at the size it was last given.
TEST_F(Picker, typedFolderIsGoneToAndTheSizeIsKept) {
  TempFolder config;
  QSettings settings(config.file("rekoda.ini"), QSettings::IniFormat);
  dir.mkdir("typed");
  {
    FrmDirlist first(nullptr, &settings);
    first.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
    auto *path = first.findChild<QLineEdit *>("txtPathNu");
    path->setText(dir.file("nowhere"));
    QTest::keyClick(path, Qt::Key_Return);
    EXPECT_EQ(messages.texts(), QStringList{QString("The folder %1 does not exist.").arg(native(dir.file("nowhere")))});
    path->selectAll();
    QTest::keyClicks(path, dir.file("typed"));
    QTest::keyClick(path, Qt::Key_Return);
    EXPECT_EQ(first.findChild<DirTree *>("Dir1")->path(), native(dir.file("typed")));
    first.resize(first.width() + 123, first.height() + 45);
    QTest::mouseClick(first.findChild<QPushButton *>("CmdSluiten"), Qt::LeftButton);
    EXPECT_EQ(first.NewPath, native(dir.file("typed")));
    EXPECT_EQ(messages.messages().size(), 1u);
  }
  const QSize kept = settings.value("picker/size").toSize();
  FrmDirlist second(nullptr, &settings);
  second.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
  EXPECT_EQ(second.size(), kept);
  EXPECT_GT(kept.width(), FrmDirlist().sizeHint().width());
}

// Select returns what the path box shows, or refuses and keeps the choice
// as it was; a file manager's URL and a quoted path with a line end name
// their folder.
TEST_F(Picker, selectReturnsWhatTheBoxShowsOrRefuses) {
  dir.mkdir("dest kb");
  dir.mkdir("quoted");
  open(dir.path());
  shown()->setText(dir.file("does not exist/x"));
  select();
  EXPECT_EQ(messages.texts(), QStringList{"The folder " + native(dir.file("does not exist/x")) + " does not exist."});
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(dlg.NewPath, dir.path());
  shown()->setText(QUrl::fromLocalFile(dir.file("dest kb")).toString(QUrl::FullyEncoded));
  EXPECT_TRUE(shown()->text().contains("%20"));
  select();
  EXPECT_EQ(dlg.NewPath, native(dir.file("dest kb")));
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  FrmDirlist again;
  again.show();
  auto *box = again.findChild<QLineEdit *>("txtPathNu");
  box->setText("\"" + native(dir.file("quoted")) + "\"\n");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(again.findChild<DirTree *>("Dir1")->path(), native(dir.file("quoted")));
  QTest::mouseClick(again.findChild<QPushButton *>("CmdSluiten"), Qt::LeftButton);
  EXPECT_EQ(again.NewPath, native(dir.file("quoted")));
}
