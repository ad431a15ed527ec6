#pragma once

class QWidget;

namespace rekoda {

// The window program: its own arguments (--version prints and exits before
// any window), the message boxes, the main window.
int RunApplication(int argc, char *argv[]);

// Name, version, licence, the Qt in use and where the README is.
void ShowAbout(QWidget *parent);

}  // namespace rekoda
