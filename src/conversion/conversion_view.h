#pragma once

#include "conversion/reason.h"
#include "platform/message.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QtGlobal>

namespace rekoda {

// What a run locks, by its role in the window, in the order it locks and
// unlocks them: the two families, Start, Close and the two folder choices.
enum class RunControl { DFFamily, MAFamily, Start, Close, ChooseSource, ChooseDestination };

// What Start needs of the main window. The inputs are read once, at Start,
// into the job; results go to the run's record, which the window shows.
// Rows count from 1.
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

  virtual void setProgressMinimum(qint64 value) = 0;
  virtual void setProgressMaximum(qint64 value) = 0;
  virtual void setProgressValue(qint64 value) = 0;
  virtual void setProgressVisible(bool visible) = 0;

  virtual void setControlEnabled(RunControl control, bool enabled) = 0;
  virtual void setBusyPointer(bool busy) = 0;

  // What stopped Start (a check that failed, an error), worded by the view
  // and shown in a message of that style.
  virtual void showProblem(const Reason &problem, MessageStyle style) = 0;

  // The codes the selected rows' files carry now, so far as read: each code
  // with its number of files, in order of code.
  virtual QList<QPair<QString, qsizetype>> selectedCodeCounts() const { return {}; }
};

}  // namespace rekoda
