#include "platform/file_system.h"
#include "ui/frm_rekoda.h"
#include "ui/message_box.h"

#include <QApplication>

int main(int argc, char *argv[]) {
  rekoda::KeepRunningPastFileSizeLimit();
  QApplication app(argc, argv);
  QApplication::setApplicationName("Rekoda");
  rekoda::InstallMessageBoxes();
  rekoda::FrmRekoda window;
  window.show();
  return app.exec();
}
