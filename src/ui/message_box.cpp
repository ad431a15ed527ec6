#include "ui/message_box.h"

#include "platform/message.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace rekoda {

namespace {

// Cancel answers Enter and Escape, so that no key pressed in passing acts;
// Qt's own word for it carries no letter for Alt.
void addCancel(QMessageBox &box) {
  QPushButton *cancel = box.addButton(QMessageBox::Cancel);
  //: a question's Cancel button; its letter differs from the other buttons'
  cancel->setText(QCoreApplication::translate("Rekoda", "&Cancel"));
  box.setDefaultButton(cancel);
  box.setEscapeButton(cancel);
}

}  // namespace

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
    addCancel(box);
    box.exec();
    if (box.clickedButton() == replace)
      return ReplaceAnswer::Replace;
    return box.clickedButton() == skip ? ReplaceAnswer::Skip : ReplaceAnswer::Cancel;
  });
  SetConfirmHandler([](const QString &text, const QString &action) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Rekoda"), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton *yes = box.addButton(action, QMessageBox::AcceptRole);
    addCancel(box);
    box.exec();
    return box.clickedButton() == yes;
  });
}

}  // namespace rekoda
