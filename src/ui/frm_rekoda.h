#pragma once

#include "ui/window_view.h"

#include <QWidget>

#include <QElapsedTimer>
#include <QMap>
#include <QModelIndexList>
#include <QSet>

#include <array>
#include <functional>

class QBoxLayout;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QMimeData;
class QRadioButton;
class QSettings;
class QStackedLayout;
class QTreeView;

namespace rekoda {

class CodeReader;
class DestinationNames;
class FolderOpener;
class KnownLocations;
class OneLineLabel;
class FileEnumerator;
class FileListModel;
class FileListView;
class RunRecord;
class WindowRun;

// The main window: folders, family, new code, the file list, and Start.
class FrmRekoda : public QWidget {
  Q_OBJECT

 public:
  // Shows the folder picker for a folder text and returns the new text.
  using FolderPicker = std::function<QString(QWidget *parent, const QString &start)>;

  // settings: where the window remembers folders, family, code, size and
  // columns between sessions; none remembers nothing.
  explicit FrmRekoda(QWidget *parent = nullptr, QSettings *settings = nullptr);
  // A run still on stops after the files in hand before the window goes.
  ~FrmRekoda() override;

  // Folders named on the command line: they win over the remembered ones;
  // one that does not exist is said, and the remembered one stays.
  void openFolders(const QString &source, const QString &dest);
  void setFolderPicker(FolderPicker picker) { folderPicker_ = std::move(picker); }
  // Asks where to save the report, starting from a suggested path; empty
  // when the user cancels.
  void setReportPicker(FolderPicker picker) { reportPicker_ = std::move(picker); }
  bool isRunning() const;
  // What the last run did; empty before the first.
  const RunRecord &lastRun() const;

 signals:
  // A run has ended and its results and message are shown.
  void runEnded();

 protected:
  void closeEvent(QCloseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
  void changeEvent(QEvent *event) override;

 private:
  // One builder per area of the window, top to bottom.
  void buildFolderRow(QGridLayout *frame, int row, QLabel *&label, QLineEdit *&box, QPushButton *&button);
  void buildList(QGridLayout *frame);
  QLayout *buildOptions();
  QLayout *buildRecordColumn();
  QLayout *buildButtons();
  void fitButtons();
  void connectControls();
  void connectList();
  void connectRun();
  void setTabChain();
  // The described colours in a light palette, readable ones in a dark one.
  void applyColours();
  void refreshPreview();
  void refreshDestinationNames();
  void load();
  void familyChosen();
  void sourceFolderChanged();
  void GetFiles(bool keepResults = false);
  void upperCaseCode();
  void chooseFolder(QLineEdit *box);
  void openDestination();
  void startClicked();
  void runStarted();
  void runFilesHandled(qsizetype from, qsizetype upTo);
  void runFinished();
  void undoClicked();
  void undoFinished(const QString &message, bool undidRecord);
  // Undo shows while there is a run to undo.
  void refreshUndo();
  void countSelected();
  // The codes of the rows in view are read before the rest.
  void relist(bool keepResults);
  void saveReport();
  void restoreSettings();
  void saveSettings();

  QGroupBox *Frame1_;
  QLabel *Label1_, *Label2_, *Label3_, *Label4_;
  OneLineLabel *codeHint_ = nullptr;  // why a code would be refused
  OneLineLabel *lblSelected_;
  OneLineLabel *lblStatus_ = nullptr;  // how the last run went
  QPushButton *CmdSaveReport_, *CmdOpenDest_, *CmdUndo_, *CmdLocations_;
  QLineEdit *txtDataMap_, *txtDataMap1_, *txtExtension_;
  QPushButton *CmdBestand_, *CmdBestand1_;
  FileListView *LsvDirList_;
  FileListModel *model_;
  CodeReader *codes_;
  DestinationNames *destinationListing_;
  FolderOpener *opener_;
  QRadioButton *OptDF_, *OptMA_;
  QPushButton *CmdSelect_ = nullptr, *CmdSelectNone_ = nullptr, *CmdStart_ = nullptr, *CmdStop_ = nullptr,
              *CmdClose_ = nullptr, *CmdAbout_ = nullptr;
  QStackedLayout *startStop_;
  QProgressBar *Pgb1_;
  FileEnumerator *File1_;
  WindowView view_;  // the window as a run sees it
  WindowRun *run_;
  QSettings *settings_;
  KnownLocations *known_;

  FolderPicker folderPicker_;
  FolderPicker reportPicker_;
  QString pickerPurpose_;  // what the picker is asked for, for a screen reader
  bool closeRequested_ = false;
  bool applyingColours_ = false;
  QSet<QString> destinationNames_;
};

}  // namespace rekoda
