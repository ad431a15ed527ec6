#pragma once

#include "conversion/conversion_view.h"
#include "conversion/report.h"

#include <QWidget>

#include <QElapsedTimer>
#include <QSet>

#include <array>
#include <vector>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QMimeData;
class QRadioButton;
class QSettings;
class QTreeView;

namespace rekoda {

class FileListModel;
class RunWorker;

// The hidden file list: the plain files of Path whose names match Pattern,
// in ascending order of name. The list is renewed when it is next read, so
// that setting both settings lists the folder once.
class FileEnumerator : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  void setPath(const QString &path);
  void setPattern(const QString &pattern);
  // Forgets the folder: nothing is listed.
  void clear();
  const QStringList &list();
  // Why the folder could not be listed; empty when it could.
  const QString &error() const { return error_; }

 private:
  QString path_;
  QString pattern_ = QStringLiteral("MA*.*");
  QStringList list_;
  QString error_;
  bool stale_ = false;
};

// The main window: folders, family, new code, the file list, and Start.
class FrmRekoda : public QWidget, public ConversionView {
  Q_OBJECT

 public:
  // Shows the folder picker for a folder text and returns the new text.
  using FolderPicker = std::function<QString(QWidget *parent, const QString &start)>;

  // settings: where the window remembers folders, family, code, size and
  // columns between sessions; none remembers nothing.
  explicit FrmRekoda(QWidget *parent = nullptr, QSettings *settings = nullptr);
  ~FrmRekoda() override;

  void setFolderPicker(FolderPicker picker) { folderPicker_ = std::move(picker); }
  // Asks where to save the report, starting from a suggested path; empty
  // when the user cancels.
  void setReportPicker(FolderPicker picker) { reportPicker_ = std::move(picker); }
  bool isRunning() const { return running_; }

 signals:
  // A run has ended and its results and message are shown.
  void runEnded();

 public:

  // ConversionView
  QString sourceFolder() const override;
  void setSourceFolder(const QString &folder) override;
  QString destinationFolder() const override;
  void setDestinationFolder(const QString &folder) override;
  QString newCode() const override;
  bool isDFFamily() const override;
  qsizetype rowCount() const override;
  bool isRowSelected(qsizetype row) const override;
  QString rowText(qsizetype row) const override;
  void clearRowResult(qsizetype row) override;
  void setFileResult(const QString &file, const QString &result, const QString &reason,
                     const QString &written) override;
  void showFileHandled(const QString &file) override;
  void showFileInProgress(const QString &file) override;
  void setProgressMinimum(qint64 value) override;
  void setProgressMaximum(qint64 value) override;
  void setProgressValue(qint64 value) override;
  void setProgressVisible(bool visible) override;
  void setControlEnabled(RunControl control, bool enabled) override;
  void setBusyPointer(bool busy) override;
  void processPendingEvents() override;
  bool stopRequested() const override { return stopRequested_; }

 protected:
  void closeEvent(QCloseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
  void changeEvent(QEvent *event) override;

 private:
  void buildControls();
  // The described colours in a light palette, readable ones in a dark one.
  void applyColours();
  void requestStop();
  void refreshPreview();
  void refreshDestinationNames();
  void load();
  void familyChosen();
  void sourceFolderChanged();
  void GetFiles(bool keepResults = false);
  void sortByColumn(int headerIndex);
  void selectAll(bool selected);
  void upperCaseCode();
  void chooseFolder(QLineEdit *box);
  void startClicked();
  void runFinished();
  void countSelected();
  void copySelectedRows();
  void saveReport();
  QList<ReportRow> reportRows(bool selectedOnly) const;
  static QString droppedFolder(const QMimeData *data);
  void restoreSettings();
  void saveSettings();

  QGroupBox *Frame1_;
  QLabel *Label1_, *Label2_, *Label3_, *Label4_;
  QLabel *codeHint_;  // why a code would be refused
  QLabel *lblSelected_;
  QPushButton *CmdSaveReport_, *CmdOpenDest_;
  QLineEdit *txtDataMap_, *txtDataMap1_, *txtExtension_;
  QPushButton *CmdBestand_, *CmdBestand1_;
  QTreeView *LsvDirList_;
  FileListModel *model_;
  QRadioButton *OptDF_, *OptMA_;
  QPushButton *CmdSelect_, *CmdSelectNone_, *CmdStart_, *CmdStop_, *CmdClose_;
  QProgressBar *Pgb1_;
  FileEnumerator *File1_;
  RunWorker *worker_ = nullptr;
  QSettings *settings_;

  std::array<bool, 51> SortedAscending{};  // by header index 1..50
  FolderPicker folderPicker_;
  FolderPicker reportPicker_;
  bool normalising_ = false;
  bool running_ = false;
  bool stopRequested_ = false;
  bool closeRequested_ = false;
  bool applyingColours_ = false;
  QSet<QString> destinationNames_;
  QElapsedTimer scrolled_;
};

}  // namespace rekoda
