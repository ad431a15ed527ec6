#include "ui/file_list_view.h"

#include "conversion/report.h"
#include "conversion/run_record.h"
#include "ui/code_reader.h"
#include "ui/controls.h"
#include "ui/file_list_model.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <functional>

namespace rekoda {

namespace {

// Cuts a cell's text at its end, whatever the view's own mode.
class ElideRightDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->textElideMode = Qt::ElideRight;
  }
};

}  // namespace

FileListView::FileListView(QWidget *parent)
    : QTreeView(parent), model_(new FileListModel(this)), codes_(new CodeReader(this)) {
  setObjectName("LsvDirList");
  setAccessibleName(tr("Files"));
  setModel(model_);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setMinimumHeight(TwipsToPixels(this, 1500));
  // The end of a name is its extension: cut long names in the middle. Words
  // (a reason, why a file has no code) read from their start.
  setTextElideMode(Qt::ElideMiddle);
  for (const int words : {FileListModel::CodeColumn, FileListModel::ReasonColumn})
    setItemDelegateForColumn(words, new ElideRightDelegate(this));
  buildColumns();
  connect(header(), &QHeaderView::sectionClicked, this, [this](int section) { sortByHeader(section + 1); });
  connect(codes_, &CodeReader::codesRead, this, [this](const CodeReader::Batch &batch) {
    model_->setCodes(batch);
    emit codesChanged();
  });
  // Rows sorted by code come together once every code is known.
  connect(codes_, &CodeReader::allRead, this, [this] {
    if (model_->sortedBy(FileListModel::CodeColumn))
      model_->sortRows(FileListModel::CodeColumn, model_->sortOrder());
  });
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &FileListView::readVisibleCodesFirst);
  auto *copy = new QShortcut(QKeySequence::Copy, this, nullptr, nullptr, Qt::WidgetShortcut);
  connect(copy, &QShortcut::activated, this, &FileListView::copySelectedRows);
}

void FileListView::buildColumns() {
  QHeaderView *h = header();
  h->setSectionsClickable(true);
  h->setSectionsMovable(false);
  // The two names share the spare width; Result fits its word, Reason keeps
  // about thirty characters and shows the rest as a tooltip.
  h->setStretchLastSection(false);
  h->setSectionResizeMode(FileListModel::NameColumn, QHeaderView::Stretch);
  h->setSectionResizeMode(FileListModel::NewNameColumn, QHeaderView::Stretch);
  nameWidth_ = sectionFor(QStringLiteral("DF000000.L01"));
  const QString result = model_->headerData(FileListModel::ResultColumn, Qt::Horizontal, Qt::DisplayRole).toString();
  const int resultWidth = fontMetrics().horizontalAdvance(result) * 2;
  const int reasonWidth = fontMetrics().averageCharWidth() * 32;
  const int codeWidth = fontMetrics().averageCharWidth() * 10;
  h->setMinimumSectionSize(nameWidth_ / 2);
  setColumnWidth(FileListModel::ResultColumn, resultWidth);
  setColumnWidth(FileListModel::ReasonColumn, reasonWidth);
  setColumnWidth(FileListModel::CodeColumn, codeWidth);
  h->moveSection(h->visualIndex(FileListModel::CodeColumn), 1);
  // Wide enough for a usual export name twice, a result and a reason, at
  // whatever font the desktop has.
  setMinimumWidth(2 * nameWidth_ + resultWidth + reasonWidth + codeWidth +
                  style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * frameWidth());
  h->setToolTip(tr("Click a column, or press Ctrl+1 to Ctrl+5, to sort by it"));
}

int FileListView::sectionFor(const QString &text) const {
  return fontMetrics().horizontalAdvance(text) + 4 * style()->pixelMetric(QStyle::PM_HeaderMargin);
}

void FileListView::resizeEvent(QResizeEvent *event) {
  QTreeView::resizeEvent(event);
  if (fitPending_ && isVisible()) {
    fitPending_ = false;
    fitColumns();
  }
}

// The names keep a usual export name's width each: an empty Reason gives
// up its width first (down to its title's), then the three give up, in
// proportion, what they have beyond their titles.
void FileListView::fitColumns() {
  QHeaderView *h = header();
  const int room = viewport()->width() - 2 * nameWidth_;
  const int fixed[] = {FileListModel::CodeColumn, FileListModel::ResultColumn, FileListModel::ReasonColumn};
  const auto total = [&] { return h->sectionSize(fixed[0]) + h->sectionSize(fixed[1]) + h->sectionSize(fixed[2]); };
  if (room <= 0 || total() <= room)
    return;
  const auto title = [&](int c) {
    return sectionFor(model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
  };
  const int reason = FileListModel::ReasonColumn;
  bool reasons = false;
  for (int row = 0; row < model_->rowCount() && !reasons; ++row)
    reasons = !model_->reason(row).isEmpty();
  if (!reasons)
    h->resizeSection(reason, std::max(title(reason), h->sectionSize(reason) - (total() - room)));
  int above = 0;  // what the three have beyond their titles
  for (const int c : fixed)
    above += std::max(0, h->sectionSize(c) - title(c));
  if (total() <= room || above <= 0)
    return;
  const double kept = std::max(0.0, 1.0 - double(total() - room) / above);
  for (const int c : fixed)
    h->resizeSection(c, title(c) + int(std::max(0, h->sectionSize(c) - title(c)) * kept));
}

void FileListView::sortByHeader(int headerIndex) {
  if (headerIndex < 1 || headerIndex >= static_cast<int>(sortedAscending_.size()))
    return;
  bool &ascending = sortedAscending_[static_cast<size_t>(headerIndex)];
  ascending = !ascending;
  restoreSort(headerIndex - 1, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void FileListView::restoreSort(int column, Qt::SortOrder order) {
  // The next click on that column turns both the rows and the arrow.
  sortedAscending_[static_cast<size_t>(column) + 1] = order == Qt::AscendingOrder;
  model_->sortRows(column, order);
  header()->setSortIndicatorShown(true);
  header()->setSortIndicator(column, order);
}

void FileListView::selectAllRows(bool selected) {
  if (selected && model_->rowCount() > 0) {
    selectionModel()->select(QItemSelection(model_->index(0, 0), model_->index(model_->rowCount() - 1, 0)),
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  } else {
    selectionModel()->clearSelection();
  }
  setFocus();
}

QMap<QString, qsizetype> FileListView::codeCounts(const QModelIndexList &rows) const {
  QMap<QString, qsizetype> counts;
  for (const QModelIndex &i : rows)
    for (const QString &code : model_->codes(i.row()))
      ++counts[code];
  return counts;
}

void FileListView::readVisibleCodesFirst() {
  if (!codes_->busy())
    return;
  // From the scroll bar, not the view's own geometry: asking that would lay
  // out every row of a fresh listing at once.
  const int lineHeight = std::max(1, fontMetrics().height());
  const int value = verticalScrollBar()->value();
  const int top = verticalScrollMode() == QAbstractItemView::ScrollPerItem ? value : value / lineHeight;
  const int perPage = viewport()->height() / lineHeight + 1;
  QStringList names;
  for (int row = std::max(0, top); row < std::min(model_->rowCount(), top + perPage); ++row)
    names << model_->name(row);
  codes_->prefer(names);
}

void FileListView::copySelectedRows() const {
  // The visible columns in their order on screen, under their titles, so
  // that a spreadsheet's paste has them; a field never breaks its line.
  QList<int> columns;
  for (int visual = 0; visual < header()->count(); ++visual)
    if (const int c = header()->logicalIndex(visual); !header()->isSectionHidden(c))
      columns << c;
  const auto line = [&columns](const std::function<QString(int)> &field) {
    QStringList fields;
    for (const int c : columns)
      fields << field(c).replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
    return fields.join(u'\t') + u'\n';
  };
  QString text = line([this](int c) { return model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(); });
  QModelIndexList rows = selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
  for (const QModelIndex &row : rows)
    text += line([&](int c) { return model_->index(row.row(), c).data().toString(); });
  QGuiApplication::clipboard()->setText(text);
}

void FileListView::scrollToFile(const QString &file) {
  if (const int row = model_->rowOf(file); row >= 0)
    scrollTo(model_->index(row, 0), QAbstractItemView::PositionAtCenter);
}

void FileListView::showFirstResult(const RunRecord &record) {
  QString file = record.isEmpty() ? QString() : record.file(0).name;
  for (qsizetype i = 0; i < record.size(); ++i) {
    if (record.file(i).settled && !record.file(i).outcome.ok) {
      file = record.file(i).name;
      break;
    }
  }
  if (const int row = model_->rowOf(file); row >= 0) {
    selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::NoUpdate);
    scrollTo(model_->index(row, 0));
  }
}

}  // namespace rekoda
