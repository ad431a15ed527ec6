#include "ui/file_list_model.h"

#include "conversion/checks.h"
#include "conversion/conversion_job.h"
#include "conversion/run_record.h"
#include "formats/buffer_file.h"
#include "platform/file_name.h"
#include "ui/window_speaker.h"
#include "ui/controls.h"

#include <QApplication>
#include <QBrush>
#include <QStyle>
#include <QColor>
#include <QFont>

#include <algorithm>

namespace rekoda {

int FileListModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString FileListModel::newNameOf(const Row &row) const {
  if (row.run >= 0)
    return record_->writtenName(row.run);
  return codeValid_ ? OutputFileName(row.name, code_).value_or(QString()) : QString();
}

QString FileListModel::newName(int row) const { return newNameOf(rows_.at(static_cast<size_t>(row))); }

QString FileListModel::result(int row) const {
  const Row &r = rows_.at(static_cast<size_t>(row));
  if (r.run < 0)
    return {};
  const RunRecord::File &f = record_->file(r.run);
  if (!f.settled)
    return r.handled ? QStringLiteral("\u2026") : QString();
  return Words().result(f.outcome.ok);
}

QString FileListModel::reason(int row) const {
  const Row &r = rows_.at(static_cast<size_t>(row));
  return r.run >= 0 && record_->file(r.run).settled ? Words().words(record_->file(r.run).outcome.reason) : QString();
}

bool FileListModel::newNameExists(int row) const {
  const Row &r = rows_.at(static_cast<size_t>(row));
  // A row of the last run shows what that run did, not what Start would do.
  if (r.run >= 0)
    return false;
  const QString n = newNameOf(r);
  return !n.isEmpty() && destinationNames_.contains(n);
}

QVariant FileListModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid())
    return {};
  const Row &row = rows_.at(static_cast<size_t>(index.row()));
  const int column = index.column();
  const bool exists = column == NewNameColumn && newNameExists(index.row());
  if (role == Qt::DisplayRole) {
    switch (column) {
      case NameColumn: return row.display;
      case ResultColumn: return result(index.row());
      case ReasonColumn: return reason(index.row());
      case NewNameColumn: return VisibleFileName(newNameOf(row));
      case CodeColumn: return row.codeRead ? CodeWords(row.code) : QString();
    }
  }
  if (column == CodeColumn)
    return codeData(row, role);
  if (role == Qt::ToolTipRole) {
    const QString why = reason(index.row());
    if (column == ResultColumn || column == ReasonColumn)
      return why.isEmpty() ? QVariant() : QVariant(why);
    if (column == NewNameColumn && row.run < 0 && !codeProblem_.isEmpty())
      return codeProblem_;
    if (exists)
      return tr("A file of this name is in the destination folder and will be replaced "
                "(an earlier output; never another original of the source folder).");
    if (column == NameColumn)
      return row.display;
  }
  if (!exists)
    return {};
  switch (role) {
    // The warning sign is a picture: a screen reader hears the words.
    case Qt::AccessibleDescriptionRole: return tr("will be replaced");
    case Qt::AccessibleTextRole: return tr("%1, will be replaced").arg(VisibleFileName(newNameOf(row)));
    case Qt::ForegroundRole: return QBrush(ReplacedColour(QApplication::palette()));
    case Qt::DecorationRole: return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    case ExistsRole: return true;
  }
  return {};
}

QVariant FileListModel::codeData(const Row &row, int role) const {
  if (!row.codeRead)
    return {};
  switch (role) {
    // Every code of a file whose records carry several; why, when long.
    // A known code names its place.
    case Qt::ToolTipRole: {
      if (!row.code.ok())
        return Words().words(row.code.problem);
      QStringList codes;
      for (const QString &code : row.code.codes) {
        const Location *known = known_ ? known_->find(code) : nullptr;
        codes << (known ? tr("%1: %2").arg(code, known->name) : code);
      }
      return codes.join(known_ && !known_->isEmpty() ? QStringLiteral("\n") : QStringLiteral(", "));
    }
    // Words, not a code: set apart as the placeholder of a box is.
    case Qt::FontRole:
      if (!row.code.ok() || row.code.codes.size() > 1) {
        QFont font;
        font.setItalic(true);
        return font;
      }
      break;
  }
  return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return {};
  switch (section) {
    //: column header: the file's name as it is now
    case NameColumn: return tr("Filename");
    //: column header: OK or Faild after a run
    case ResultColumn: return tr("Result");
    //: column header: the name the file gets
    case NewNameColumn: return tr("New name");
    //: column header: why a file failed
    case ReasonColumn: return tr("Reason");
    //: column header: the location code the file carries now
    case CodeColumn: return tr("Code");
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
      rows_.push_back({n, VisibleFileName(n), -1, false, false, {}});
  }
  if (sorted_)
    sortInPlace();
  reindex();
  endResetModel();
}

void FileListModel::rowChanged(int row) {
  emit dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::DisplayRole, Qt::ToolTipRole});
}

void FileListModel::showRun(const RunRecord *record) {
  record_ = record;
  for (Row &r : rows_) {
    r.run = record ? record->indexOf(r.name) : -1;
    r.handled = false;
  }
  if (!rows_.empty())
    emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int FileListModel::rowOfRunFile(qsizetype index) const {
  const int row = rowOf(record_->file(index).name);
  return row >= 0 && rows_[size_t(row)].run == index ? row : -1;
}

void FileListModel::runFileHandled(qsizetype index) {
  if (const int row = rowOfRunFile(index); row >= 0) {
    rows_[size_t(row)].handled = true;
    rowChanged(row);
  }
}

void FileListModel::runFileSettled(qsizetype index) {
  if (const int row = rowOfRunFile(index); row >= 0)
    rowChanged(row);
}

void FileListModel::clearResult(int row) {
  Row &r = rows_.at(static_cast<size_t>(row));
  if (r.run < 0 && !r.handled)
    return;
  r.run = -1;
  r.handled = false;
  rowChanged(row);
}

void FileListModel::setKnownLocations(const LocationRegister *known) {
  known_ = known;
  if (!rows_.empty())
    emit dataChanged(index(0, CodeColumn), index(rowCount() - 1, CodeColumn), {Qt::ToolTipRole});
}

void FileListModel::setPreview(const QString &code, const QSet<QString> &destinationNames) {
  code_ = AsciiUpper(code);
  const auto problem = code_.trimmed().isEmpty() ? std::nullopt : NewCodeProblem(code_);
  codeProblem_ = problem ? Words().words(*problem) : QString();
  codeValid_ = !code_.trimmed().isEmpty() && !problem;
  destinationNames_ = destinationNames;
  if (!rows_.empty())
    emit dataChanged(index(0, NewNameColumn), index(rowCount() - 1, NewNameColumn));
}

QString FileListModel::sortText(const Row &row, int column) const {
  const auto settled = [this, &row]() -> const RunRecord::File * {
    return row.run >= 0 && record_->file(row.run).settled ? &record_->file(row.run) : nullptr;
  };
  switch (column) {
    case ResultColumn: return settled() ? Words().result(settled()->outcome.ok) : QString();
    case ReasonColumn: return settled() ? Words().words(settled()->outcome.reason) : QString();
    case NewNameColumn: return newNameOf(row);
    case CodeColumn: return row.codeRead ? CodeWords(row.code) : QString();
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

void FileListModel::setCodes(const std::vector<std::pair<QString, FileCode>> &codes) {
  int first = rowCount(), last = -1;
  for (const auto &[name, code] : codes) {
    const int row = rowOf(name);
    if (row < 0)
      continue;
    rows_[size_t(row)].code = code;
    rows_[size_t(row)].codeRead = true;
    first = std::min(first, row);
    last = std::max(last, row);
  }
  if (last >= 0)
    emit dataChanged(index(first, CodeColumn), index(last, CodeColumn));
}

QStringList FileListModel::codes(int row) const {
  const Row &r = rows_.at(static_cast<size_t>(row));
  return r.codeRead ? r.code.codes : QStringList();
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
