#include "ui/dir_tree.h"

#include "platform/file_system.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHeaderView>
#include <QStorageInfo>
#include <QStyle>

namespace rekoda {

namespace {
constexpr int kPathRole = Qt::UserRole;
}

DirTree::DirTree(QWidget *parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  // Hidden, but a screen reader still reads its label: not Qt's "1".
  setHeaderLabel(tr("Folder"));
  setColumnCount(1);
  setRootIsDecorated(false);
  setExpandsOnDoubleClick(false);
  setUniformRowHeights(true);
  setIndentation(12);
  // Sibling folders often differ at the end of a long name.
  setTextElideMode(Qt::ElideMiddle);
  connect(this, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem *item) { setPath(item->data(0, kPathRole).toString()); });
  // A folder's arrow opens it as Enter does; the tree is built anew once
  // the click that expanded the item is over.
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
    if (rebuilding_ || item->childCount() > 0)
      return;
    const QString folder = item->data(0, kPathRole).toString();
    QMetaObject::invokeMethod(this, [this, folder] { setPath(folder); }, Qt::QueuedConnection);
  });
  connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
    if (item && !rebuilding_)
      emit highlightChanged(item->data(0, kPathRole).toString());
  });
}

QString DirTree::highlightedPath() const {
  const QTreeWidgetItem *item = currentItem();
  return item ? item->data(0, kPathRole).toString() : path_;
}

void DirTree::setPath(const QString &folder) {
  const QString open = QDir::toNativeSeparators(NearestExistingFolder(folder));
  const bool changed = open != path_;
  path_ = open;
  rebuild();
  if (changed)
    emit pathChanged(path_);
}

void DirTree::refresh() { rebuild(); }

void DirTree::rebuild() {
  rebuilding_ = true;
  clear();
  const QString current = QDir::fromNativeSeparators(path_);
  const QString root = VolumeRoot(current);

  // The chain from the volume's root down to the current folder.
  QStringList chain;
  for (QString p = current;; p = QFileInfo(p).path()) {
    chain.prepend(p);
    if (QDir(p) == QDir(root) || QFileInfo(p).path() == p)
      break;
  }

  const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  QTreeWidgetItem *parentItem = nullptr;
  for (const QString &p : chain) {
    const QString name = parentItem ? QFileInfo(p).fileName() : QDir::toNativeSeparators(p);
    auto *item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
    item->setText(0, name);
    item->setIcon(0, openIcon);
    item->setData(0, kPathRole, QDir::toNativeSeparators(p));
    item->setToolTip(0, QDir::toNativeSeparators(p));
    item->setExpanded(true);
    parentItem = item;
  }

  const QStringList subs = QDir(current).entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                   QDir::Name | QDir::IgnoreCase);
  for (const QString &sub : subs) {
    auto *item = new QTreeWidgetItem(parentItem);
    item->setText(0, sub);
    item->setIcon(0, closedIcon);
    item->setData(0, kPathRole, QDir::toNativeSeparators(QDir(current).filePath(sub)));
    item->setToolTip(0, item->data(0, kPathRole).toString());
    // An arrow where there is more below: opening it shows its folders.
    // The first entry answers that, not a listing of each.
    if (QDirIterator(QDir(current).filePath(sub), QDir::Dirs | QDir::NoDotAndDotDot).hasNext())
      item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  }
  parentItem->setExpanded(true);
  setCurrentItem(parentItem);
  rebuilding_ = false;
}

}  // namespace rekoda
