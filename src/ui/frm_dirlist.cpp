#include "ui/frm_dirlist.h"

#include "ui/window_speaker.h"

#include "platform/file_system.h"
#include "platform/message.h"
#include "ui/dir_tree.h"
#include "ui/controls.h"
#include "ui/folder_drop.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QSettings>
#include <QDir>
#include <QBoxLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <QTimer>

namespace rekoda {

QStringList FrmDirlist::Drives() {
  QStringList roots;
  for (const QString &d : rekoda::Drives())
    roots << QDir::toNativeSeparators(d);
  return roots;
}

FrmDirlist::FrmDirlist(QWidget *parent, QSettings *settings) : QDialog(parent), settings_(settings) {
  setObjectName("FrmDirlist");
  //: the folder picker's title
  setWindowTitle(tr("Dirlist"));
  setWindowIcon(ApplicationIcon());
  setStyleSheet(FocusStyle(palette()));
  setSizeGripEnabled(true);

  // Shows the chosen folder, and takes one typed or pasted (a network
  // share, a path copied from a file manager): Enter goes there.
  txtPathNu_ = ReadOnlyBox(this, "txtPathNu");
  txtPathNu_->setReadOnly(false);
  txtPathNu_->setAccessibleName(tr("Chosen folder"));
  connect(txtPathNu_, &QLineEdit::textChanged, txtPathNu_, &QLineEdit::setToolTip);

  buildFolderFrame();
  QLayout *buttons = buildButtons();

  auto *window = new QVBoxLayout(this);
  window->addWidget(txtPathNu_);
  window->addWidget(Frame1_, 1);
  window->addLayout(buttons);
  // The described size at the default font; it grows with the font, and
  // the user may make it larger for deep folders.
  resize(QSize(TwipsToPixels(this, 6480), TwipsToPixels(this, 3690)).expandedTo(minimumSizeHint()));

  // Enter belongs to the focused control (the tree opens a folder, the name
  // box acts as OK), never to a default button.
  for (QPushButton *b : {CmdNieuw_, CmdSluiten_}) {
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setMinimumWidth(TwipsToPixels(this, 1005));
    PressOnEnter(b);
  }

  connectControls();
}

// The drive list and the folder tree, in their frame.
void FrmDirlist::buildFolderFrame() {
  Frame1_ = new QGroupBox(this);
  Frame1_->setObjectName("Frame1");
  Drive1_ = new QComboBox(Frame1_);
  Drive1_->setObjectName("Drive1");
  Drive1_->setAccessibleName(tr("Drive"));
  for (const QString &d : Drives())
    Drive1_->addItem(d, d);
  // Its buddy label names the list for a screen reader, which otherwise
  // hears the current drive ("/") as its name.
  auto *driveLabel = new QLabel(tr("&Drive:"), Frame1_);
  driveLabel->setObjectName("lblDrive");
  driveLabel->setBuddy(Drive1_);
  Dir1_ = new DirTree(Frame1_);
  Dir1_->setObjectName("Dir1");
  Dir1_->setAccessibleName(tr("Folders"));
  auto *drive = new QHBoxLayout;
  drive->addWidget(driveLabel);
  drive->addWidget(Drive1_, 1);
  auto *frame = new QVBoxLayout(Frame1_);
  frame->addLayout(drive);
  frame->addWidget(Dir1_, 1);
}

// The new folder's name box and the two buttons, in a row.
QLayout *FrmDirlist::buildButtons() {
  txtPath_ = new QLineEdit(this);
  txtPath_->setObjectName("txtPath");
  txtPath_->setAccessibleName(tr("New folder name"));
  QSizePolicy keep = txtPath_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  txtPath_->setSizePolicy(keep);
  txtPath_->hide();
  CmdNieuw_ = new QPushButton(this);
  CmdNieuw_->setObjectName("CmdNieuw");
  CmdSluiten_ = new QPushButton(this);
  CmdSluiten_->setObjectName("CmdSluiten");
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(txtPath_, 1);
  buttons->addWidget(CmdNieuw_);
  buttons->addWidget(CmdSluiten_);
  return buttons;
}

void FrmDirlist::connectControls() {
  setTabOrder(Drive1_, Dir1_);
  setTabOrder(Dir1_, CmdSluiten_);
  setTabOrder(CmdSluiten_, CmdNieuw_);
  setTabOrder(CmdNieuw_, txtPath_);
  setTabOrder(txtPath_, txtPathNu_);

  connect(Drive1_, &QComboBox::currentIndexChanged, this, &FrmDirlist::driveChanged);
  connect(Dir1_, &DirTree::pathChanged, this, &FrmDirlist::folderChanged);
  // The highlighted folder is the one chosen: what the user sees is what
  // Select returns.
  connect(Dir1_, &DirTree::highlightChanged, this, [this] { txtPathNu_->setText(Dir1_->highlightedPath()); });
  connect(CmdNieuw_, &QPushButton::clicked, this, &FrmDirlist::newClicked);
  connect(CmdSluiten_, &QPushButton::clicked, this, &FrmDirlist::selectClicked);
  connect(txtPath_, &QLineEdit::returnPressed, this, &FrmDirlist::newClicked);
  connect(txtPathNu_, &QLineEdit::returnPressed, this, [this] {
    if (goToTypedFolder())
      Dir1_->setFocus();
  });
}

void FrmDirlist::done(int result) {
  if (settings_)
    settings_->setValue("picker/size", size());
  QDialog::done(result);
}

// The folder the path box names is gone to; one that does not exist is
// said, and the choice stays as it was.
bool FrmDirlist::goToTypedFolder() {
  const QString typed = PathFromText(txtPathNu_->text());
  if (typed.isEmpty()) {
    txtPathNu_->setText(Dir1_->highlightedPath());
    return true;
  }
  const QFileInfo folder(QDir::fromNativeSeparators(typed));
  if (!folder.isDir()) {
    ShowMessage(FolderMissingText(QDir::toNativeSeparators(typed)), MsgPlain);
    return false;
  }
  if (const QString path = QDir::toNativeSeparators(folder.absoluteFilePath()); path != Dir1_->highlightedPath()) {
    setDrive(QDir::toNativeSeparators(VolumeRoot(path)));
    Dir1_->setPath(path);
  }
  txtPathNu_->setText(Dir1_->highlightedPath());
  return true;
}

void FrmDirlist::showEvent(QShowEvent *event) {
  if (!loaded_) {
    loaded_ = true;
    load();
  }
  QDialog::showEvent(event);
}

void FrmDirlist::load() {
  if (settings_ && settings_->contains("picker/size"))
    resize(settings_->value("picker/size").toSize().expandedTo(minimumSizeHint()));
  if (const QScreen *s = screen()) {
    const QRect area = s->geometry();
    move(area.x() + area.width() / 2 - width() / 2,
         area.y() + area.height() / 2 - height() / 2 - TwipsToPixels(this, 500));
  }
  NewFolderMode = false;
  const QString start = NewPath.isEmpty() ? QDir::currentPath() : NewPath;
  // A start folder that has gone opens its nearest existing parent.
  const QString folder = NearestExistingFolder(start);
  setDrive(QDir::toNativeSeparators(VolumeRoot(folder)));
  Dir1_->setPath(folder);
  txtPathNu_->setText(Dir1_->path());
  //: button: returns the highlighted folder
  CmdSluiten_->setText(tr("&Select"));
  //: button: makes a new folder
  CmdNieuw_->setText(tr("&New"));
  // The first control in tab order, not the read-only path box.
  Drive1_->setFocus();
}

QString FrmDirlist::currentDrive() const { return Drive1_->currentData().toString(); }

void FrmDirlist::setDrive(const QString &root) {
  int index = Drive1_->findData(root);
  if (index < 0) {
    Drive1_->addItem(root, root);
    index = Drive1_->count() - 1;
  }
  Drive1_->setCurrentIndex(index);
}

void FrmDirlist::driveChanged() {
  const QString root = currentDrive();
  const QStorageInfo volume(root);
  if (!volume.isValid() || !volume.isReady() || !QDir(root).isReadable()) {
    // A drive whose medium is not ready: stay where we are.
    showDriveOfCurrentFolder();
    return;
  }
  Dir1_->setPath(root);
}

void FrmDirlist::folderChanged() {
  txtPathNu_->setText(Dir1_->path());
  showDriveOfCurrentFolder();
}

void FrmDirlist::showDriveOfCurrentFolder() {
  // Only shows the volume: no drive change is raised.
  const QSignalBlocker block(Drive1_);
  const int index = Drive1_->findData(QDir::toNativeSeparators(VolumeRoot(Dir1_->path())));
  if (index >= 0)
    Drive1_->setCurrentIndex(index);
}

void FrmDirlist::newClicked() {
  if (!NewFolderMode) {
    txtPath_->clear();
    txtPath_->show();
    txtPath_->setFocus();
    //: button: makes the folder whose name was typed
    CmdNieuw_->setText(tr("&OK"));
    NewFolderMode = true;
  } else {
    CreateFolder();
  }
}

void FrmDirlist::CreateFolder() {
  const QString name = txtPath_->text();
  if (!name.isEmpty()) {
    const QString target = JoinPath(Dir1_->highlightedPath(), name);
    if (Status made = rekoda::CreateFolder(target); made.ok())
      Dir1_->setPath(target);  // reads the tree afresh
    else
      ShowMessage(Words().words(made), MsgPlain);
  }
  NewFolderMode = false;
  txtPath_->hide();
  CmdNieuw_->setText(tr("&New"));
  // The new folder is highlighted in the tree; the focus goes with it.
  Dir1_->setFocus();
}

// What the path box shows is what Select returns.
void FrmDirlist::selectClicked() {
  if (!goToTypedFolder())
    return;
  NewPath = Dir1_->highlightedPath();
  Dir1_->refresh();
  accept();
}

}  // namespace rekoda
