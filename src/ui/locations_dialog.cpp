#include "ui/locations_dialog.h"

#include "platform/durable_file.h"
#include "platform/message.h"
#include "ui/controls.h"
#include "ui/window_speaker.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace rekoda {

namespace {

QString csvFilter() { return LocationsDialog::tr("CSV files (*.csv);;All files (*)"); }

}  // namespace

LocationsDialog::LocationsDialog(const LocationRegister &known, const QString &problems, QWidget *parent)
    : QDialog(parent), table_(new QTableWidget(0, 2, this)), problems_(new QLabel(problems, this)) {
  setObjectName("LocationsDialog");
  setWindowTitle(tr("Known locations"));
  problems_->setObjectName("lblLocationProblems");
  problems_->setWordWrap(true);
  problems_->setVisible(!problems.isEmpty());
  problems_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  table_->setObjectName("tblLocations");
  table_->setAccessibleName(tr("Known locations"));
  table_->setHorizontalHeaderLabels({tr("Code"), tr("Location")});
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->setVisible(false);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  fill(known.rows);

  auto *add = NamedButton(this, "CmdAddLocation", tr("&Add"));
  auto *remove = NamedButton(this, "CmdRemoveLocation", tr("&Remove"));
  auto *import = NamedButton(this, "CmdImportLocations", tr("&Import…"));
  import->setToolTip(tr("Take the locations of a CSV file (code, location a row) in place of these"));
  auto *exportButton = NamedButton(this, "CmdExportLocations", tr("&Export…"));
  exportButton->setToolTip(tr("Save these locations as a CSV file to share"));
  auto *side = new QVBoxLayout;
  for (QPushButton *b : {add, remove, import, exportButton})
    side->addWidget(b);
  side->addStretch();
  auto *middle = new QHBoxLayout;
  middle->addWidget(table_, 1);
  middle->addLayout(side);

  auto *box = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
  // Letters of their own beside the others', which Qt's words lack.
  box->button(QDialogButtonBox::Save)->setText(tr("&Save"));
  box->button(QDialogButtonBox::Cancel)->setText(QCoreApplication::translate("Rekoda", "&Cancel"));
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(problems_);
  layout->addLayout(middle, 1);
  layout->addWidget(box);

  connect(add, &QPushButton::clicked, this, &LocationsDialog::addRow);
  connect(remove, &QPushButton::clicked, this, &LocationsDialog::removeRows);
  connect(import, &QPushButton::clicked, this, &LocationsDialog::import);
  connect(exportButton, &QPushButton::clicked, this, &LocationsDialog::exportTo);
  connect(box, &QDialogButtonBox::accepted, this, &LocationsDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &LocationsDialog::reject);
  resize(fontMetrics().averageCharWidth() * 60, fontMetrics().height() * 24);
}

void LocationsDialog::fill(const std::vector<Location> &rows) {
  table_->setRowCount(0);
  for (const Location &l : rows) {
    const int row = table_->rowCount();
    table_->insertRow(row);
    table_->setItem(row, 0, new QTableWidgetItem(l.code));
    table_->setItem(row, 1, new QTableWidgetItem(l.name));
  }
  table_->resizeColumnToContents(0);
}

void LocationsDialog::addRow() {
  const int row = table_->rowCount();
  table_->insertRow(row);
  table_->setItem(row, 0, new QTableWidgetItem);
  table_->setItem(row, 1, new QTableWidgetItem);
  table_->setCurrentCell(row, 0);
  table_->editItem(table_->item(row, 0));
}

void LocationsDialog::removeRows() {
  QList<int> rows;
  for (const QModelIndex &index : table_->selectionModel()->selectedRows())
    rows << index.row();
  std::sort(rows.begin(), rows.end(), std::greater<>());
  for (int row : rows)
    table_->removeRow(row);
}

std::optional<std::vector<Location>> LocationsDialog::rows() {
  LocationRegister reg;
  QStringList bad;
  for (int row = 0; row < table_->rowCount(); ++row) {
    const auto text = [&](int column) {
      const QTableWidgetItem *item = table_->item(row, column);
      return item ? item->text().trimmed() : QString();
    };
    if (text(0).isEmpty() && text(1).isEmpty())
      continue;
    if (const auto why = AddLocation(reg, text(0), text(1)))
      bad << tr("Row %1: %2").arg(Words().number(row + 1), Words().words(*why));
  }
  if (!bad.isEmpty()) {
    ShowMessage(tr("These rows cannot be saved:\n%1").arg(bad.join(u'\n')), MsgCritical);
    return std::nullopt;
  }
  return reg.rows;
}

void LocationsDialog::accept() {
  const auto rows = this->rows();
  if (!rows)
    return;
  if (const Status saved = SaveLocations(LocationsFile(), *rows); !saved.ok()) {
    ShowMessage(tr("The locations cannot be saved in %1: %2").arg(LocationsFile(), Words().words(saved)), MsgCritical);
    return;
  }
  QDialog::accept();
}

void LocationsDialog::import() {
  const QString path = QFileDialog::getOpenFileName(this, tr("Import locations"), QDir::homePath(), csvFilter());
  if (path.isEmpty())
    return;
  Status error;
  const auto read = ReadLocations(path, &error);
  if (!read) {
    ShowMessage(tr("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), Words().words(error)), MsgCritical);
    return;
  }
  fill(read->rows);
  QStringList bad;
  for (const LocationProblem &p : read->problems)
    bad << Words().words(p);
  problems_->setText(bad.join(u'\n'));
  problems_->setVisible(!bad.isEmpty());
  if (!bad.isEmpty())
    ShowMessage(tr("%1: these rows were not taken:\n%2").arg(QDir::toNativeSeparators(path), bad.join(u'\n')), MsgPlain);
}

void LocationsDialog::exportTo() {
  const auto rows = this->rows();
  if (!rows)
    return;
  const QString path = QFileDialog::getSaveFileName(this, tr("Export locations"),
                                                    QDir::home().filePath(QStringLiteral("locations.csv")), csvFilter());
  if (path.isEmpty())
    return;
  if (const Status saved = ReplaceFileDurably(QDir::toNativeSeparators(path), LocationsCsv(*rows)); !saved.ok())
    ShowMessage(tr("The locations cannot be saved in %1: %2").arg(QDir::toNativeSeparators(path), Words().words(saved)),
                MsgCritical);
}

}  // namespace rekoda
