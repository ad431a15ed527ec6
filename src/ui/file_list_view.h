#pragma once

#include <QMap>
#include <QModelIndexList>
#include <QTreeView>

#include <array>

namespace rekoda {

class CodeReader;
class FileListModel;
class RunRecord;

// The file list as the window shows it (LsvDirList): its columns, sorting
// by a header with each column's own direction, the codes of its files
// read beside it (the rows in view first), the selection's codes, the
// clipboard, and following a run's rows.
class FileListView : public QTreeView {
  Q_OBJECT

 public:
  explicit FileListView(QWidget *parent);
  FileListModel *fileModel() const { return model_; }
  CodeReader *codes() const { return codes_; }

  // A click on header index (1 for the first column), as the described
  // list has it: ascending first, then each click the other way.
  void sortByHeader(int headerIndex);
  // The sort that a remembered layout brings back.
  void restoreSort(int column, Qt::SortOrder order);
  void selectAllRows(bool selected);
  // Each code the rows' files carry, with its number of files.
  QMap<QString, qsizetype> codeCounts(const QModelIndexList &rows) const;
  QMap<QString, qsizetype> selectedCodeCounts() const { return codeCounts(selectionModel()->selectedRows()); }
  // The codes of the rows in view are read before the rest.
  void readVisibleCodesFirst();
  void copySelectedRows() const;
  // Brings a file's row into view (in the middle, as a run goes), or the
  // first file of the record that failed, else its first, made current.
  void scrollToFile(const QString &file);
  void showFirstResult(const RunRecord &record);
  // Widths remembered from another window size come back: once the list is
  // shown, those that no longer fit beside the names are made to.
  void fitRememberedWidths() { fitPending_ = true; }

 signals:
  // Codes came in: what counts the selection's codes counts again.
  void codesChanged();

 protected:
  void resizeEvent(QResizeEvent *event) override;

 private:
  void buildColumns();
  void fitColumns();
  // A section's width for a text: the text and the header's margins.
  int sectionFor(const QString &text) const;
  FileListModel *model_;
  CodeReader *codes_;
  std::array<bool, 51> sortedAscending_{};  // by header index 1..50
  int nameWidth_ = 0;                       // a usual export name's
  bool fitPending_ = false;
};

}  // namespace rekoda
