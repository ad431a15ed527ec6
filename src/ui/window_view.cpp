#include "ui/window_view.h"

#include "ui/file_list_model.h"
#include "ui/file_list_view.h"
#include "ui/window_speaker.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedLayout>

#include <algorithm>
#include <limits>

namespace rekoda {

namespace {

int clampToInt(qint64 v) { return static_cast<int>(std::clamp<qint64>(v, 0, std::numeric_limits<int>::max())); }

}  // namespace

QString WindowView::sourceFolder() const { return c_.source->text(); }

void WindowView::setSourceFolder(const QString &folder) {
  normalising_ = true;
  c_.source->setText(folder);
  normalising_ = false;
}

QString WindowView::destinationFolder() const { return c_.dest->text(); }
void WindowView::setDestinationFolder(const QString &folder) { c_.dest->setText(folder); }
QString WindowView::newCode() const { return c_.code->text(); }
bool WindowView::isDFFamily() const { return c_.df->isChecked(); }
qsizetype WindowView::rowCount() const { return c_.list->fileModel()->rowCount(); }

bool WindowView::isRowSelected(qsizetype row) const {
  return c_.list->selectionModel()->isRowSelected(static_cast<int>(row - 1), QModelIndex());
}

QString WindowView::rowText(qsizetype row) const { return c_.list->fileModel()->name(static_cast<int>(row - 1)); }
void WindowView::clearRowResult(qsizetype row) { c_.list->fileModel()->clearResult(static_cast<int>(row - 1)); }
void WindowView::setProgressMinimum(qint64 value) { c_.progress->setMinimum(clampToInt(value)); }
void WindowView::setProgressMaximum(qint64 value) { c_.progress->setMaximum(clampToInt(value)); }
void WindowView::setProgressValue(qint64 value) { c_.progress->setValue(clampToInt(value)); }
void WindowView::setProgressVisible(bool visible) { c_.progress->setVisible(visible); }

void WindowView::showStart(bool enabled) {
  // The focus goes where the work goes on: Stop during the run, the list of
  // results after it, never a read-only box; but where the user put it
  // during the run (typing the next code), it stays. It moves before the
  // button it leaves hides, so that it passes through nothing else.
  if (enabled) {
    const QWidget *focus = QApplication::focusWidget();
    if (!focus || focus == c_.stop || !c_.window->isAncestorOf(focus) || !focus->isEnabled())
      c_.list->setFocus();
  }
  c_.startStop->setCurrentWidget(enabled ? c_.start : c_.stop);
  if (!enabled)
    c_.stop->setFocus();
}

void WindowView::setControlEnabled(RunControl control, bool enabled) {
  QWidget *w = nullptr;
  switch (control) {
    case RunControl::DFFamily: w = c_.df; break;
    case RunControl::MAFamily: w = c_.ma; break;
    case RunControl::Start:
      showStart(enabled);
      w = c_.start;
      break;
    case RunControl::Close: w = c_.close; break;
    case RunControl::ChooseSource: w = c_.chooseSource; break;
    case RunControl::ChooseDestination: w = c_.chooseDest; break;
  }
  w->setEnabled(enabled);
}

void WindowView::setBusyPointer(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::BusyCursor);  // the window answers during a run
  else
    QApplication::restoreOverrideCursor();
}

void WindowView::showProblem(const Reason &problem, MessageStyle style) { ShowMessage(Words().words(problem), style); }

QList<QPair<QString, qsizetype>> WindowView::selectedCodeCounts() const {
  const QMap<QString, qsizetype> counts = c_.list->selectedCodeCounts();
  QList<QPair<QString, qsizetype>> out;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    out << qMakePair(it.key(), it.value());
  return out;
}

}  // namespace rekoda
