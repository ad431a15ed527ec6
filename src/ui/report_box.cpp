#include "ui/report_box.h"

#include "platform/message.h"
#include "ui/controls.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace rekoda {

QString AskReportPath(QWidget *owner, const QString &suggested) {
  QDialog box(owner);
  box.setObjectName("ReportBox");
  box.setWindowTitle(QCoreApplication::translate("ReportBox", "Save report"));
  auto *label = new QLabel(QCoreApplication::translate("ReportBox", "Save the report &as:"), &box);
  auto *path = new QLineEdit(suggested, &box);
  path->setObjectName("txtReportPath");
  path->setAccessibleName(QCoreApplication::translate("ReportBox", "Report file"));
  path->setMinimumWidth(path->fontMetrics().averageCharWidth() * 60);
  label->setBuddy(path);
  // The name is what one changes, the folder what one keeps.
  const qsizetype name = QDir::fromNativeSeparators(suggested).lastIndexOf(u'/') + 1;
  path->setSelection(int(name), int(suggested.size() - name));
  auto *browse = new QPushButton(QCoreApplication::translate("ReportBox", "&Browse…"), &box);
  browse->setObjectName("CmdBrowseReport");
  browse->setAutoDefault(false);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, &box);
  auto *grid = new QGridLayout(&box);
  grid->addWidget(label, 0, 0, 1, 2);
  grid->addWidget(path, 1, 0);
  grid->addWidget(browse, 1, 1);
  grid->addWidget(buttons, 2, 0, 1, 2);
  QObject::connect(browse, &QPushButton::clicked, &box, [&] {
    const QString chosen = QFileDialog::getSaveFileName(&box, QCoreApplication::translate("ReportBox", "Save report"), path->text(),
                                                        QCoreApplication::translate("ReportBox", "CSV files (*.csv);;All files (*)"));
    if (!chosen.isEmpty()) {
      path->setText(QDir::toNativeSeparators(chosen));
      box.accept();  // the file dialog asked about replacing already
    }
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &box, [&] {
    const QString chosen = path->text().trimmed();
    if (chosen.isEmpty())
      return;
    if (QFileInfo(chosen).isFile() &&
        !AskConfirm(QCoreApplication::translate("ReportBox", "%1 already exists. Replace it?").arg(chosen), QCoreApplication::translate("ReportBox", "&Replace")))
      return;
    box.accept();
  });
  path->setFocus();
  return box.exec() == QDialog::Accepted ? path->text().trimmed() : QString();
}

}  // namespace rekoda
