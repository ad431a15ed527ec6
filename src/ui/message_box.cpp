#include "ui/message_box.h"

#include "platform/message.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace rekoda {

void InstallMessageBoxes() {
  SetMessageHandler([](const QString &text, int style) {
    QMessageBox box(style == MsgCritical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QStringLiteral("Rekoda"), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
  });
  SetQuestionHandler([](const QString &text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Rekoda"), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton *replace = box.addButton(QCoreApplication::translate("Rekoda", "&Replace"), QMessageBox::AcceptRole);
    QPushButton *skip = box.addButton(QCoreApplication::translate("Rekoda", "S&kip these"), QMessageBox::NoRole);
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == replace)
      return ReplaceAnswer::Replace;
    return box.clickedButton() == skip ? ReplaceAnswer::Skip : ReplaceAnswer::Cancel;
  });
  SetConfirmHandler([](const QString &text, const QString &action) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Rekoda"), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton *yes = box.addButton(action, QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == yes;
  });
}

}  // namespace rekoda
