#include "ui/folder_drop.h"

#include "platform/file_name.h"
#include "platform/message.h"
#include "ui/controls.h"

#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include <utility>

namespace rekoda {

QString FolderOf(const QString &path) {
  const QFileInfo named(path);
  if (named.isDir())
    return QDir::toNativeSeparators(named.absoluteFilePath());
  return named.exists() ? QDir::toNativeSeparators(named.absolutePath()) : QString();
}

QString PathFromText(const QString &text) {
  QString path = text.trimmed();
  if (path.size() >= 2 && (path.front() == u'"' || path.front() == u'\'') && path.back() == path.front())
    path = path.mid(1, path.size() - 2);
  if (!path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
    return path;
  const QUrl url(path);
  if (!url.isLocalFile())
    return path;
#ifdef Q_OS_WIN
  return QDir::toNativeSeparators(url.toLocalFile());
#else
  // Escaped bytes that are no UTF-8 are a name's own (Latin-1 on an old stick).
  if (url.host().isEmpty() || url.host() == QLatin1String("localhost"))
    return DecodeFileName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
  return url.toLocalFile();
#endif
}

namespace {

// The folder given, or the text given where it names none.
std::pair<QString, QString> givenFolder(const QMimeData *data) {
  if (!data)
    return {};
  if (data->hasUrls() && !data->urls().isEmpty() && data->urls().first().isLocalFile())
    return {FolderOf(data->urls().first().toLocalFile()), data->urls().first().toLocalFile()};
  if (!data->hasText())
    return {};
  const QString path = PathFromText(data->text());
  return {path.isEmpty() ? QString() : FolderOf(path), path};
}

}  // namespace

bool TakeGivenFolder(QLineEdit *box, QEvent *event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste)) {
    const auto [folder, given] = givenFolder(QGuiApplication::clipboard()->mimeData());
    if (!folder.isEmpty())
      box->setText(folder);
    else if (!given.isEmpty())
      ShowMessage(FolderMissingText(QDir::toNativeSeparators(given)), MsgPlain);
    return true;
  }
  if (event->type() != QEvent::DragEnter && event->type() != QEvent::DragMove && event->type() != QEvent::Drop)
    return false;
  auto *drop = static_cast<QDropEvent *>(event);
  const QString folder = givenFolder(drop->mimeData()).first;
  if (folder.isEmpty())
    return false;
  drop->acceptProposedAction();
  if (event->type() == QEvent::Drop)
    box->setText(folder);
  return true;
}

}  // namespace rekoda
