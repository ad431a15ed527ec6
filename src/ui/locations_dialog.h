#pragma once

#include "conversion/locations.h"

#include <QDialog>

class QLabel;
class QTableWidget;

namespace rekoda {

// Locations…: the register as a table to add to, edit and take rows from,
// and to import from and export to a CSV file that a team shares. Save
// writes it to the register's file; Cancel leaves that as it was.
class LocationsDialog : public QDialog {
  Q_OBJECT

 public:
  // problems: what reading the register found wrong, shown above the table.
  LocationsDialog(const LocationRegister &known, const QString &problems, QWidget *parent = nullptr);

  void accept() override;

 private:
  void fill(const std::vector<Location> &rows);
  void addRow();
  void removeRows();
  void import();
  void exportTo();
  // The table as a register; none, with every bad row said, when one is.
  std::optional<std::vector<Location>> rows();

  QTableWidget *table_;
  QLabel *problems_;
};

}  // namespace rekoda
