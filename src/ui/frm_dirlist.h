#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QGroupBox;
class QLayout;
class QLineEdit;
class QPushButton;
class QSettings;

namespace rekoda {

class DirTree;

// The modal folder picker. The caller puts the start folder in NewPath,
// shows the dialog, and reads NewPath back: the folder chosen with Select,
// or the start folder unchanged when the dialog was closed otherwise.
class FrmDirlist : public QDialog {
  Q_OBJECT

 public:
  // settings: where the picker keeps the size the user gave it; none
  // keeps nothing.
  explicit FrmDirlist(QWidget *parent = nullptr, QSettings *settings = nullptr);

  QString NewPath;
  bool NewFolderMode = false;

  // The volumes offered as drives: the root and the real mounts.
  static QStringList Drives();

 protected:
  void showEvent(QShowEvent *event) override;
  void done(int result) override;

 private:
  void buildFolderFrame();
  QLayout *buildButtons();
  void connectControls();
  void load();
  void driveChanged();
  void folderChanged();
  void newClicked();
  void CreateFolder();
  void selectClicked();
  bool goToTypedFolder();
  void setDrive(const QString &root);
  void showDriveOfCurrentFolder();
  QString currentDrive() const;

  QLineEdit *txtPathNu_;
  QGroupBox *Frame1_;
  QComboBox *Drive1_;
  DirTree *Dir1_;
  QLineEdit *txtPath_;
  QPushButton *CmdNieuw_;
  QPushButton *CmdSluiten_;
  QSettings *settings_;
  bool loaded_ = false;
};

}  // namespace rekoda
