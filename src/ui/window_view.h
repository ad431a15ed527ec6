#pragma once

#include "conversion/conversion_view.h"

class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedLayout;
class QWidget;

namespace rekoda {

class FileListView;

// The main window as a run sees it (ConversionView): its folder boxes, the
// family, the code, the list's rows and selection, the progress bar, and
// the controls a run locks, by their roles. The window fills in its
// controls once they are built.
class WindowView : public ConversionView {
 public:
  struct Controls {
    QWidget *window = nullptr;
    QLineEdit *source = nullptr, *dest = nullptr, *code = nullptr;
    QRadioButton *df = nullptr, *ma = nullptr;
    FileListView *list = nullptr;
    QProgressBar *progress = nullptr;
    QPushButton *start = nullptr, *stop = nullptr, *close = nullptr, *chooseSource = nullptr, *chooseDest = nullptr;
    QStackedLayout *startStop = nullptr;  // Stop stands in Start's place during a run
  };
  void setControls(const Controls &controls) { c_ = controls; }
  // While the run writes the folder text back, its own tidying: no change
  // of folder for the window to list.
  bool normalising() const { return normalising_; }

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
  void setProgressMinimum(qint64 value) override;
  void setProgressMaximum(qint64 value) override;
  void setProgressValue(qint64 value) override;
  void setProgressVisible(bool visible) override;
  void setControlEnabled(RunControl control, bool enabled) override;
  void setBusyPointer(bool busy) override;
  void showProblem(const Reason &problem, MessageStyle style) override;
  QList<QPair<QString, qsizetype>> selectedCodeCounts() const override;

 private:
  // Start's place: Stop during a run, and where the focus goes after it.
  void showStart(bool enabled);
  Controls c_;
  bool normalising_ = false;
};

}  // namespace rekoda
