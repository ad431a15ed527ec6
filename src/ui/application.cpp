#include "ui/application.h"

#include "platform/console.h"
#include "platform/file_system.h"
#include "ui/controls.h"
#include "ui/frm_rekoda.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStyle>

#include <cstdio>
#include <cstring>

namespace rekoda {

namespace {

// Where the README of this installation is: beside the program on Windows,
// in the documentation folder of the prefix elsewhere.
QString readmeLocation() {
  const QDir bin(QCoreApplication::applicationDirPath());
  for (const QString &candidate : {bin.filePath("README.md"), bin.filePath("../share/doc/rekoda/README.md"),
                                   bin.filePath("../share/doc/rekoda/README.md.gz"), bin.filePath("../../README.md")})
    if (QFileInfo::exists(candidate))
      return QDir::toNativeSeparators(QFileInfo(candidate).canonicalFilePath());
  return QStringLiteral("README.md in Rekoda's source");
}

}  // namespace

void ShowAbout(QWidget *parent) {
  QMessageBox::about(parent, QStringLiteral("About Rekoda"),
                     QStringLiteral("<p><b>Rekoda %1</b></p>"
                                    "<p>Gives data-logger export files a new location code.</p>"
                                    "<p>Copyright &copy; 2026 the Rekoda developers.<br>"
                                    "Released under the MIT licence.</p>"
                                    "<p>Built with Qt %2, running on Qt %3 (LGPL-3.0).</p>"
                                    "<p>The README: %4</p>")
                         .arg(QStringLiteral(REKODA_VERSION), QStringLiteral(QT_VERSION_STR),
                              QString::fromLatin1(qVersion()), readmeLocation().toHtmlEscaped()));
}

int RunApplication(int argc, char *argv[]) {
  KeepRunningPastFileSizeLimit();
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      AttachToParentConsole();
      std::fputs("rekoda " REKODA_VERSION "\n", stdout);
      return std::fflush(stdout) == 0 ? 0 : 1;
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Rekoda");
  QApplication::setApplicationVersion(REKODA_VERSION);
  QApplication::setOrganizationName("Rekoda");
  // The desktop entry's name: desktops match the window to its entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("rekoda"));
  QApplication::setWindowIcon(ApplicationIcon());
  // For the installer's smoke test: which style the installed program got.
  if (const QString report = qEnvironmentVariable("REKODA_STYLE_REPORT"); !report.isEmpty()) {
    QFile f(report);
    if (f.open(QIODevice::WriteOnly))
      f.write(QApplication::style()->name().toUtf8() + '\n');
  }
  InstallMessageBoxes();
  // The platform's own place: ~/.config/Rekoda/Rekoda.conf, or the registry.
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Rekoda", "Rekoda");
  FrmRekoda window(nullptr, &settings);
  window.show();
  return app.exec();
}

}  // namespace rekoda
