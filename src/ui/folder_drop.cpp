#include "ui/folder_drop.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>

namespace rekoda {

QString FolderOf(const QString &path) {
  const QFileInfo named(path);
  if (named.isDir())
    return QDir::toNativeSeparators(named.absoluteFilePath());
  return named.exists() ? QDir::toNativeSeparators(named.absolutePath()) : QString();
}

namespace {

QString droppedFolder(const QMimeData *data) {
  if (!data || !data->hasUrls() || data->urls().isEmpty() || !data->urls().first().isLocalFile())
    return {};
  return FolderOf(data->urls().first().toLocalFile());
}

}  // namespace

bool TakeDroppedFolder(QLineEdit *box, QEvent *event) {
  if (event->type() != QEvent::DragEnter && event->type() != QEvent::DragMove && event->type() != QEvent::Drop)
    return false;
  auto *drop = static_cast<QDropEvent *>(event);
  const QString folder = droppedFolder(drop->mimeData());
  if (folder.isEmpty())
    return false;
  drop->acceptProposedAction();
  if (event->type() == QEvent::Drop)
    box->setText(folder);
  return true;
}

}  // namespace rekoda
