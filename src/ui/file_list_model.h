#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QString>

#include <vector>

namespace rekoda {

// The rows of the file list: a file name, the result of its conversion with
// its reason, and the name Start would write. Once sorted by a column, rows
// stay in that order, also after a refresh.
class FileListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { NameColumn = 0, ResultColumn = 1, NewNameColumn = 2, ReasonColumn = 3, ColumnCount };
  // True on a new name that is already in the destination folder.
  static constexpr int ExistsRole = Qt::UserRole + 1;

  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Replaces every row. Names are kept as listed (see DecodeFileName) and
  // shown legibly. Results are empty, or with keepResults those of names
  // that were listed before.
  void setNames(const QStringList &names, bool keepResults = false);
  QString name(int row) const { return rows_.at(static_cast<size_t>(row)).name; }
  QString result(int row) const { return rows_.at(static_cast<size_t>(row)).result; }
  // The row that shows a file, or -1.
  int rowOf(const QString &name) const;
  // written: the output the run put in place for the row, if any.
  void setResult(int row, const QString &result, const QString &reason = {}, const QString &written = {});
  // Why the code typed would be refused; empty when it would not.
  const QString &codeProblem() const { return codeProblem_; }

  // The preview: the code as typed and the names already in the destination.
  void setPreview(const QString &code, const QSet<QString> &destinationNames);
  QString newName(int row) const;
  bool newNameExists(int row) const;

  void sortRows(int column, Qt::SortOrder order);
  bool isSorted() const { return sorted_; }

 private:
  struct Row {
    QString name;
    QString display;
    QString result;
    QString reason;
    QString written;
  };
  void sortInPlace();
  void reindex();
  QString sortText(const Row &row, int column) const;
  QString newNameOf(const Row &row) const;

  std::vector<Row> rows_;
  // Built when first asked for: a listing that no run follows needs none.
  mutable QHash<QString, int> rowOf_;
  mutable bool indexed_ = false;
  QString code_;
  bool codeValid_ = false;
  QString codeProblem_;
  QSet<QString> destinationNames_;
  bool sorted_ = false;
  int sortColumn_ = NameColumn;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace rekoda
