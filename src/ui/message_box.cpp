#include "ui/message_box.h"

#include "platform/message.h"

#include <QApplication>
#include <QMessageBox>

namespace rekoda {

void InstallMessageBoxes() {
  SetMessageHandler([](const QString &text, int style) {
    QMessageBox box(style == MsgCritical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QStringLiteral("Rekoda"), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
  });
}

}  // namespace rekoda
