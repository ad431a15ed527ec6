#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace rekoda {

// rekoda [SOURCE_FOLDER [DEST_FOLDER]], once Qt has taken its own options.
struct WindowArguments {
  bool help = false;
  bool version = false;
  QString problem;  // a usage error, in words for standard error
  QString source, dest;
};
WindowArguments ParseWindowArguments(const QStringList &arguments);

// The window program: its own arguments (--help and --version print and
// exit before any window), the message boxes, the main window.
int RunApplication(int argc, char *argv[]);

// Name, version, licence, the Qt in use and where the README is.
void ShowAbout(QWidget *parent);

}  // namespace rekoda
