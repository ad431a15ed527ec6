#include "ui/window_settings.h"

#include "ui/file_list_model.h"

#include <QHeaderView>
#include <QSettings>
#include <QStringList>
#include <QWidget>

namespace rekoda {

WindowSettings::Values WindowSettings::values() const {
  if (!settings_)
    return {};
  const QSettings &s = *settings_;
  return {s.value("source").toString(), s.value("destination").toString(), s.value("code").toString(),
          s.value("family").toString() == "MA"};
}

std::optional<std::pair<int, Qt::SortOrder>> WindowSettings::restoreLayout(QWidget *window, QHeaderView *header) const {
  if (!settings_)
    return std::nullopt;
  const QSettings &s = *settings_;
  if (s.contains("window/geometry"))
    window->restoreGeometry(s.value("window/geometry").toByteArray());
  if (!s.contains("window/columns"))
    return std::nullopt;
  const int result = header->sectionSize(FileListModel::ResultColumn);
  const int reason = header->sectionSize(FileListModel::ReasonColumn);
  header->restoreState(s.value("window/columns").toByteArray());
  // Widths in characters, so that they follow the font: pixels taken at
  // another size would cut the names. Without them, the font's defaults.
  const QStringList chars = s.value("window/columnChars").toString().split(u',');
  const double character = window->fontMetrics().averageCharWidth();
  const auto width = [&](qsizetype i, int fallback) {
    bool ok = false;
    const double n = chars.value(i).toDouble(&ok);
    return ok && n > 0 ? qRound(n * character) : fallback;
  };
  header->resizeSection(FileListModel::ResultColumn, width(0, result));
  header->resizeSection(FileListModel::ReasonColumn, width(1, reason));
  const int column = header->sortIndicatorSection();
  if (!header->isSortIndicatorShown() || column < 0 || column >= FileListModel::ColumnCount)
    return std::nullopt;
  return std::pair{column, header->sortIndicatorOrder()};
}

void WindowSettings::save(const Values &values, const QWidget *window, const QHeaderView *header) const {
  if (!settings_)
    return;
  QSettings &s = *settings_;
  s.setValue("source", values.source);
  s.setValue("destination", values.dest);
  s.setValue("family", values.ma ? "MA" : "DF");
  s.setValue("code", values.code);
  s.setValue("window/geometry", window->saveGeometry());
  s.setValue("window/columns", header->saveState());
  const double character = window->fontMetrics().averageCharWidth();
  s.setValue("window/columnChars", QStringLiteral("%1,%2")
                                       .arg(header->sectionSize(FileListModel::ResultColumn) / character, 0, 'f', 1)
                                       .arg(header->sectionSize(FileListModel::ReasonColumn) / character, 0, 'f', 1));
  s.sync();
}

}  // namespace rekoda
