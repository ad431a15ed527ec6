#include "ui/application.h"

#include "platform/console.h"
#include "platform/file_system.h"
#include "ui/controls.h"
#include "ui/frm_rekoda.h"
#include "ui/message_box.h"
#include "ui/translations.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStyle>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <optional>

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
  return QCoreApplication::translate("Rekoda", "README.md in Rekoda's source");
}

constexpr char kUsage[] =
    "Usage: rekoda [SOURCE_FOLDER [DEST_FOLDER]]\n"
    "Opens the Rekoda window, which gives the DF or MA files of a source folder a new\n"
    "location code and writes them into a destination folder. Folders named here are\n"
    "shown instead of the remembered ones.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n"
    "Qt's own options (-style, -platform, ...) are taken as well.\n"
    "rekoda-cli does the same conversion from a terminal or a script.\n";

// What is printed before any window; the exit status, or none to go on.
std::optional<int> printedAndDone(const WindowArguments &args) {
  if (!args.help && !args.version && args.problem.isEmpty())
    return std::nullopt;
  AttachToParentConsole();
  if (!args.problem.isEmpty()) {
    WriteText(stderr, "rekoda: " + args.problem.toUtf8() + "\nTry 'rekoda --help' for more information.\n");
    return 2;
  }
  if (WriteText(stdout, args.help ? QByteArray(kUsage) : QByteArray("rekoda " REKODA_VERSION "\n")))
    return 0;
  WriteText(stderr, "rekoda: write error: " + ErrorText(errno ? errno : EIO).toUtf8() + '\n');
  return 1;
}

}  // namespace

namespace {

// Qt's own options (QGuiApplication's, QApplication's, the xcb plugin's),
// which QApplication takes out later: known before any display is opened,
// so that a usage error needs none. Those of the second list take a value.
const QStringList kQtFlags = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability", "cmap"};
const QStringList kQtValued = {"platform", "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
                               "qwindowtitle", "qwindowicon", "session", "style", "stylesheet", "display", "geometry",
                               "title", "name", "dialogs", "visual", "ncols", "qmljsdebugger", "fontengine"};

}  // namespace

WindowArguments ParseWindowArguments(const QStringList &arguments) {
  WindowArguments out;
  QStringList folders;
  bool optionsEnded = false;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString &arg = arguments[i];
    // Qt takes -opt and --opt alike, and -opt=value for some.
    const QString qt = arg.mid(arg.startsWith(QStringLiteral("--")) ? 2 : 1).section(u'=', 0, 0);
    if (!optionsEnded && arg == "--")
      optionsEnded = true;
    else if (!optionsEnded && (arg == "-h" || arg == "--help"))
      out.help = true;
    else if (!optionsEnded && (arg == "-V" || arg == "--version"))
      out.version = true;
    else if (!optionsEnded && arg.startsWith(u'-') && kQtFlags.contains(qt))
      continue;
    else if (!optionsEnded && arg.startsWith(u'-') && kQtValued.contains(qt))
      i += arg.contains(u'=') ? 0 : 1;
    else if (!optionsEnded && arg.size() > 1 && arg.startsWith(u'-') && out.problem.isEmpty())
      out.problem = QStringLiteral("unknown option %1").arg(arg);
    else
      folders << arg;
  }
  if (folders.size() > 2 && out.problem.isEmpty())
    out.problem = QStringLiteral("more than two folders: %1").arg(folders.mid(2).join(u' '));
  out.source = folders.value(0);
  out.dest = folders.value(1);
  return out;
}

void ShowAbout(QWidget *parent) {
  QMessageBox::about(parent, QCoreApplication::translate("Rekoda", "About Rekoda"),
                     QCoreApplication::translate("Rekoda", "<p><b>Rekoda %1</b></p>"
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
  PrepareStandardStreams();
  // Read before any display is opened: --help, --version and a usage error
  // need none.
  const WindowArguments args = ParseWindowArguments(CommandLineArguments(argc, argv));
  if (const auto status = printedAndDone(args))
    return *status;
  MarkProgramRunning();
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
  const Translations language;
  InstallMessageBoxes();
  // The platform's own place: ~/.config/Rekoda/Rekoda.conf, or the registry.
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Rekoda", "Rekoda");
  FrmRekoda window(nullptr, &settings);
  window.show();
  if (!args.source.isEmpty() || !args.dest.isEmpty())
    QTimer::singleShot(0, &window, [&] { window.openFolders(args.source, args.dest); });
  return app.exec();
}

}  // namespace rekoda
