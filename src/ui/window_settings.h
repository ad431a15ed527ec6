#pragma once

#include <QString>
#include <Qt>

#include <optional>
#include <utility>

class QHeaderView;
class QSettings;
class QWidget;

namespace rekoda {

// What the window remembers between sessions, in the platform's own place
// (QSettings: ~/.config/Rekoda/Rekoda.conf, the registry on Windows): the
// folders, the family, the code, its size and place, the column widths (in
// characters, so that they follow the font) and the sort. Without a
// QSettings nothing is remembered.
class WindowSettings {
 public:
  explicit WindowSettings(QSettings *settings) : settings_(settings) {}

  struct Values {
    QString source, dest, code;
    bool ma = false;
  };
  Values values() const;
  // Size, place and columns put back; the column the rows were sorted by,
  // and its order, when they were.
  std::optional<std::pair<int, Qt::SortOrder>> restoreLayout(QWidget *window, QHeaderView *header) const;
  void save(const Values &values, const QWidget *window, const QHeaderView *header) const;

 private:
  QSettings *settings_;
};

}  // namespace rekoda
