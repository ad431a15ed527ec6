#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

namespace rekoda {

// The rows of the file list: a file name and the result of its conversion.
// Once sorted by a column, rows stay in that order, also after a refresh.
class FileListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { NameColumn = 0, ResultColumn = 1 };

  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Replaces every row; results are empty.
  void setNames(const QStringList &names);
  QString name(int row) const { return rows_.at(static_cast<size_t>(row)).name; }
  QString result(int row) const { return rows_.at(static_cast<size_t>(row)).result; }
  void setResult(int row, const QString &result);

  void sortRows(int column, Qt::SortOrder order);
  bool isSorted() const { return sorted_; }

 private:
  struct Row {
    QString name;
    QString result;
  };
  void sortInPlace();

  std::vector<Row> rows_;
  bool sorted_ = false;
  int sortColumn_ = NameColumn;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace rekoda
