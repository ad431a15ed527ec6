#pragma once

#include "conversion/file_code.h"
#include "conversion/locations.h"
#include "conversion/report.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QString>

#include <vector>

namespace rekoda {

class RunRecord;

// The rows of the file list: a file name, the code it carries now (or why a
// run would fail on it) once read, and either what the last run did
// with it (its new name, result and reason, from the run's record) or, for a
// row outside that run, the name Start would write now. Once sorted by a
// column, rows stay in that order, also after a refresh.
class FileListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The Code column came last and is shown after Filename: Ctrl+1 to Ctrl+4
  // keep sorting by the columns they always did.
  enum Column { NameColumn = 0, ResultColumn = 1, NewNameColumn = 2, ReasonColumn = 3, CodeColumn = 4, ColumnCount };
  // True on a new name that is already in the destination folder.
  static constexpr int ExistsRole = Qt::UserRole + 1;

  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Replaces every row. Names are kept as listed (see DecodeFileName) and
  // shown legibly. Rows are outside any run, or with keepResults keep what
  // they showed when the name was listed before.
  void setNames(const QStringList &names, bool keepResults = false);
  QString name(int row) const { return rows_.at(static_cast<size_t>(row)).name; }
  QString result(int row) const;
  QString reason(int row) const;
  // The row that shows a file, or -1.
  int rowOf(const QString &name) const;

  // The rows of the record's files show that run from now on; the record
  // outlives the rows' use of it.
  void showRun(const RunRecord *record);
  // A file of the run has been read and written out, or settled.
  void runFileHandled(qsizetype index);
  void runFileSettled(qsizetype index);
  // The row leaves the run it showed: empty result, the preview again.
  void clearResult(int row);

  // Why the code typed would be refused; empty when it would not.
  const QString &codeProblem() const { return codeProblem_; }
  // The preview: the code as typed and the names already in the destination.
  void setPreview(const QString &code, const QSet<QString> &destinationNames);
  // Where the Code column's tooltip finds the place a code names.
  void setKnownLocations(const LocationRegister *known);
  QString newName(int row) const;
  bool newNameExists(int row) const;

  void sortRows(int column, Qt::SortOrder order);
  bool sortedBy(int column) const { return sorted_ && sortColumn_ == column; }
  Qt::SortOrder sortOrder() const { return sortOrder_; }

  // Codes read since the last call, by name; a name no row shows is passed over.
  void setCodes(const std::vector<std::pair<QString, FileCode>> &codes);
  // The codes a row's file carries now: none while unread or unreadable.
  QStringList codes(int row) const;

 private:
  struct Row {
    QString name;
    QString display;
    qsizetype run = -1;  // its index in the record, or -1
    bool handled = false;
    bool codeRead = false;
    FileCode code;
  };
  void sortInPlace();
  void reindex();
  void rowChanged(int row);
  // The row that shows the file at this index of the record while it is
  // still that run's row, or -1.
  int rowOfRunFile(qsizetype index) const;
  QString sortText(const Row &row, int column) const;
  QVariant codeData(const Row &row, int role) const;
  QString newNameOf(const Row &row) const;

  std::vector<Row> rows_;
  // Built when first asked for: a listing that no run follows needs none.
  mutable QHash<QString, int> rowOf_;
  mutable bool indexed_ = false;
  const RunRecord *record_ = nullptr;
  QString code_;
  bool codeValid_ = false;
  QString codeProblem_;
  const LocationRegister *known_ = nullptr;
  QSet<QString> destinationNames_;
  bool sorted_ = false;
  int sortColumn_ = NameColumn;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace rekoda
