#include "ui/folder_opener.h"

#include "platform/message.h"

#include <QDesktopServices>
#include <QPointer>
#include <QProcess>
#include <QUrl>

namespace rekoda {

void FolderOpener::open(const QString &folder, const QString &noOpener) {
#ifdef Q_OS_WIN
  // ShellExecute's own answer.
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
    ShowMessage(noOpener, MsgPlain);
#else
  // Qt reports success once xdg-open has started; only its exit status says
  // whether anything opened the folder ("no method available": 3). Without
  // a parent it outlives the window, so that closing Rekoda never ends a
  // file manager that xdg-open waits on; a window gone by then says nothing.
  auto *opener = new QProcess;
  QPointer<FolderOpener> asked(this);
  const auto done = [opener, asked, noOpener](bool ok) {
    if (!ok && asked)
      ShowMessage(noOpener, MsgPlain);
    opener->deleteLater();
  };
  connect(opener, &QProcess::finished, opener,
          [done](int code, QProcess::ExitStatus status) { done(status == QProcess::NormalExit && code == 0); });
  connect(opener, &QProcess::errorOccurred, opener, [done](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart)
      done(false);
  });
  opener->start(QStringLiteral("xdg-open"), {folder});
#endif
}

}  // namespace rekoda
