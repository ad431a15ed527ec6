#include "ui/file_list_model.h"

#include "conversion/conversion_job.h"
#include "formats/buffer_file.h"
#include "platform/file_name.h"

#include <QApplication>
#include <QBrush>
#include <QStyle>
#include <QColor>

#include <algorithm>

namespace rekoda {

int FileListModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString FileListModel::newNameOf(const Row &row) const {
  return codeValid_ ? OutputFileName(row.name, code_).value_or(QString()) : QString();
}

QString FileListModel::newName(int row) const { return newNameOf(rows_.at(static_cast<size_t>(row))); }

bool FileListModel::newNameExists(int row) const {
  const Row &r = rows_.at(static_cast<size_t>(row));
  const QString n = newNameOf(r);
  // The file the last run wrote for this row is its own, not an earlier one.
  return !n.isEmpty() && n != r.written && destinationNames_.contains(n);
}

QVariant FileListModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid())
    return {};
  const Row &row = rows_.at(static_cast<size_t>(index.row()));
  const int column = index.column();
  if (role == Qt::DisplayRole) {
    switch (column) {
      case NameColumn: return row.display;
      case ResultColumn: return row.result;
      case ReasonColumn: return row.reason;
      case NewNameColumn: {
        return DisplayFileName(newName(index.row()));
      }
    }
  }
  if (role == Qt::ToolTipRole) {
    if (column == ResultColumn || column == ReasonColumn)
      return row.reason.isEmpty() ? QVariant() : QVariant(row.reason);
    if (column == NewNameColumn && !codeProblem_.isEmpty())
      return codeProblem_;
    if (column == NewNameColumn && newNameExists(index.row()))
      return QStringLiteral("A file of this name is in the destination folder and will be replaced "
                            "(an earlier output; never another original of the source folder).");
    if (column == NameColumn)
      return row.display;
  }
  if (column == NewNameColumn && newNameExists(index.row())) {
    if (role == Qt::ForegroundRole)
      return QBrush(QColor(176, 96, 0));
    if (role == Qt::DecorationRole)
      return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    if (role == ExistsRole)
      return true;
  }
  return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return {};
  switch (section) {
    case NameColumn: return QStringLiteral("Filename");
    case ResultColumn: return QStringLiteral("Result");
    case NewNameColumn: return QStringLiteral("New name");
    case ReasonColumn: return QStringLiteral("Reason");
  }
  return {};
}

void FileListModel::reindex() {
  rowOf_.clear();
  indexed_ = false;
}

int FileListModel::rowOf(const QString &name) const {
  if (!indexed_) {
    rowOf_.reserve(static_cast<qsizetype>(rows_.size()));
    for (size_t r = 0; r < rows_.size(); ++r)
      rowOf_.insert(rows_[r].name, static_cast<int>(r));
    indexed_ = true;
  }
  return rowOf_.value(name, -1);
}

void FileListModel::setNames(const QStringList &names, bool keepResults) {
  beginResetModel();
  std::vector<Row> before;
  QHash<QString, int> oldRowOf;
  if (keepResults) {
    rowOf(QString());  // the old rows' index, before they move
    oldRowOf.swap(rowOf_);
    before.swap(rows_);
  }
  rows_.clear();
  rows_.reserve(static_cast<size_t>(names.size()));
  for (const QString &n : names) {
    const int old = keepResults ? oldRowOf.value(n, -1) : -1;
    if (old >= 0)
      rows_.push_back(std::move(before[static_cast<size_t>(old)]));
    else
      rows_.push_back({n, DisplayFileName(n), QString(), QString(), QString()});
  }
  if (sorted_)
    sortInPlace();
  reindex();
  endResetModel();
}

void FileListModel::setResult(int row, const QString &result, const QString &reason, const QString &written) {
  auto &r = rows_.at(static_cast<size_t>(row));
  if (r.result == result && r.reason == reason && r.written == written)
    return;
  r.result = result;
  r.reason = reason;
  r.written = written;
  emit dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::DisplayRole, Qt::ToolTipRole});
}

void FileListModel::setPreview(const QString &code, const QSet<QString> &destinationNames) {
  code_ = AsciiUpper(code);
  const auto problem = code_.trimmed().isEmpty() ? std::nullopt : NewCodeProblem(code_);
  codeProblem_ = problem.value_or(QString());
  codeValid_ = !code_.trimmed().isEmpty() && !problem;
  destinationNames_ = destinationNames;
  if (!rows_.empty())
    emit dataChanged(index(0, NewNameColumn), index(rowCount() - 1, NewNameColumn));
}

QString FileListModel::sortText(const Row &row, int column) const {
  switch (column) {
    case ResultColumn: return row.result;
    case ReasonColumn: return row.reason;
    case NewNameColumn: return newNameOf(row);
    default: return row.display;
  }
}

void FileListModel::sortInPlace() {
  const int column = sortColumn_;
  const bool ascending = sortOrder_ == Qt::AscendingOrder;
  std::stable_sort(rows_.begin(), rows_.end(), [this, column, ascending](const Row &a, const Row &b) {
    const QString x = sortText(a, column);
    const QString y = sortText(b, column);
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
  reindex();

  if (!before.isEmpty()) {
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
      after << index(rowOf(names[static_cast<size_t>(i)]), before[i].column());
    changePersistentIndexList(before, after);
  }
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace rekoda
