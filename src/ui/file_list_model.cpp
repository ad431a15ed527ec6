#include "ui/file_list_model.h"

#include <algorithm>

namespace rekoda {

int FileListModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : 2; }

QVariant FileListModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
    return {};
  const Row &row = rows_.at(static_cast<size_t>(index.row()));
  return index.column() == NameColumn ? row.name : row.result;
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return {};
  return section == NameColumn ? QStringLiteral("Filename") : QStringLiteral("Result");
}

void FileListModel::setNames(const QStringList &names) {
  beginResetModel();
  rows_.clear();
  rows_.reserve(static_cast<size_t>(names.size()));
  for (const QString &n : names)
    rows_.push_back({n, QString()});
  if (sorted_)
    sortInPlace();
  endResetModel();
}

void FileListModel::setResult(int row, const QString &result) {
  auto &r = rows_.at(static_cast<size_t>(row));
  if (r.result == result)
    return;
  r.result = result;
  const QModelIndex cell = index(row, ResultColumn);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void FileListModel::sortInPlace() {
  const int column = sortColumn_;
  const bool ascending = sortOrder_ == Qt::AscendingOrder;
  std::stable_sort(rows_.begin(), rows_.end(), [column, ascending](const Row &a, const Row &b) {
    const QString &x = column == NameColumn ? a.name : a.result;
    const QString &y = column == NameColumn ? b.name : b.result;
    int c = x.compare(y, Qt::CaseInsensitive);
    if (c == 0)
      c = x.compare(y, Qt::CaseSensitive);
    return ascending ? c < 0 : c > 0;
  });
}

void FileListModel::sortRows(int column, Qt::SortOrder order) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  // Keep the selection and the current row with their files.
  const QModelIndexList before = persistentIndexList();
  std::vector<QString> names;
  names.reserve(static_cast<size_t>(before.size()));
  for (const QModelIndex &i : before)
    names.push_back(rows_.at(static_cast<size_t>(i.row())).name);

  sorted_ = true;
  sortColumn_ = column;
  sortOrder_ = order;
  sortInPlace();

  if (!before.isEmpty()) {
    QHash<QString, int> rowOf;
    rowOf.reserve(static_cast<qsizetype>(rows_.size()));
    for (size_t r = 0; r < rows_.size(); ++r)
      rowOf.insert(rows_[r].name, static_cast<int>(r));
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
      after << index(rowOf.value(names[static_cast<size_t>(i)]), before[i].column());
    changePersistentIndexList(before, after);
  }
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace rekoda
