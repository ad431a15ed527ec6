#pragma once

#include <QString>
#include <QtGlobal>

namespace rekoda {

// The controls a run locks, in the order it locks and unlocks them.
enum class RunControl { OptDF, OptMA, CmdStart, CmdClose, CmdBestand, CmdBestand1 };

// What a conversion run needs of the main window. The run reads the inputs
// once, at Start; after that it only reports, by file name, so that sorting
// or selecting rows during the run cannot confuse it. Rows count from 1.
class ConversionView {
 public:
  virtual ~ConversionView() = default;

  virtual QString sourceFolder() const = 0;
  // Writes the folder text back without listing the folder again.
  virtual void setSourceFolder(const QString &folder) = 0;
  virtual QString destinationFolder() const = 0;
  virtual void setDestinationFolder(const QString &folder) = 0;
  virtual QString newCode() const = 0;
  virtual bool isDFFamily() const = 0;

  virtual qsizetype rowCount() const = 0;
  virtual bool isRowSelected(qsizetype row) const = 0;
  virtual QString rowText(qsizetype row) const = 0;
  // Empties the result and reason of a row.
  virtual void clearRowResult(qsizetype row) = 0;
  // The result of a file, on the row that shows it wherever that row is now;
  // written is the output put in place for it, if any.
  virtual void setFileResult(const QString &file, const QString &result, const QString &reason,
                             const QString &written = {}) = 0;
  // The file has been read and written out, and waits for its group to be
  // put in place.
  virtual void showFileHandled(const QString &file) { (void)file; }
  // The file being converted: the list keeps it in view.
  virtual void showFileInProgress(const QString &file) { (void)file; }

  virtual void setProgressMinimum(qint64 value) = 0;
  virtual void setProgressMaximum(qint64 value) = 0;
  virtual void setProgressValue(qint64 value) = 0;
  virtual void setProgressVisible(bool visible) = 0;

  virtual void setControlEnabled(RunControl control, bool enabled) = 0;
  virtual void setBusyPointer(bool busy) = 0;
  virtual void processPendingEvents() = 0;

  // True once the user has asked to stop or to close the window: the run
  // finishes the file in hand and stops.
  virtual bool stopRequested() const { return false; }
};

}  // namespace rekoda
