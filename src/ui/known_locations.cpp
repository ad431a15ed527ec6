#include "ui/known_locations.h"

#include "conversion/speaker.h"
#include "ui/controls.h"
#include "ui/file_list_model.h"
#include "ui/locations_dialog.h"
#include "ui/window_run.h"
#include "ui/window_speaker.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>

#include <algorithm>
#include <QSettings>
#include <QStandardItemModel>

namespace rekoda {

namespace {

constexpr int kCodeRole = Qt::UserRole;
constexpr qsizetype kRecentCodes = 10;
const QString kRecentKey = QStringLiteral("codes/recent");

QString fileStamp() {
  const QFileInfo file(LocationsFile());
  return file.exists() ? file.lastModified().toString(Qt::ISODateWithMs) + u' ' + QString::number(file.size()) : QString();
}

}  // namespace

KnownLocations::KnownLocations(QSettings *settings, QObject *parent)
    : QObject(parent), settings_(settings), offered_(new QStandardItemModel(this)), completer_(new QCompleter(this)) {
  if (settings_)
    recent_ = settings_->value(kRecentKey).toStringList().mid(0, kRecentCodes);
  // Matched and put into the box by the code alone; shown with its place.
  completer_->setModel(offered_);
  completer_->setCompletionRole(kCodeRole);
  completer_->setCaseSensitivity(Qt::CaseInsensitive);
  completer_->setModelSorting(QCompleter::UnsortedModel);
  read();
}

void KnownLocations::attach(QLineEdit *codeBox, FileListModel *list, WindowRun *run) {
  codeBox->setCompleter(completer_);
  codeBox->installEventFilter(this);
  list->setKnownLocations(&register_);
  run->setKnownLocations([this]() -> const LocationRegister & {
    refresh();
    return register_;
  });
  connect(this, &KnownLocations::changed, list, [this, list] { list->setKnownLocations(&register_); });
}

QPushButton *KnownLocations::makeButton(QWidget *parent) {
  button_ = NamedButton(parent, "CmdLocations", tr("Locations…"));
  const auto said = [this] {
    const QString problems = this->problems();
    button_->setIcon(problems.isEmpty() ? QIcon() : button_->style()->standardIcon(QStyle::SP_MessageBoxWarning));
    button_->setToolTip(problems.isEmpty() ? tr("The codes your team works with and the places they name (Ctrl+L)")
                                           : problems);
    button_->setAccessibleDescription(problems);
  };
  said();
  connect(this, &KnownLocations::changed, button_, said);
  connect(button_, &QPushButton::clicked, this, [this, parent] { edit(parent->window()); });
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), parent->window()), &QShortcut::activated, button_,
          &QPushButton::click);
  return button_;
}

QString KnownLocations::hint(const QString &code, const QString &problem) const {
  if (!problem.isEmpty())
    return problem;
  const Location *known = find(code);
  //: the code box's hint: the place the typed code names
  return known ? tr("Location: %1").arg(known->name.isEmpty() ? code : known->name) : QString();
}

void KnownLocations::refresh() {
  if (fileStamp() != stamp_)
    read();
}

bool KnownLocations::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::FocusIn)
    refresh();
  return QObject::eventFilter(watched, event);
}

void KnownLocations::read() {
  stamp_ = fileStamp();
  Status error;
  const auto read = ReadLocations(LocationsFile(), &error);
  register_ = read.value_or(LocationRegister{});
  readError_ = read ? QString() : Words().words(error);
  offer();
  emit changed();
}

QString KnownLocations::problems() const {
  QStringList lines;
  if (!readError_.isEmpty())
    lines << tr("%1 cannot be read: %2").arg(LocationsFile(), readError_);
  for (const LocationProblem &p : register_.problems)
    lines << Words().words(p);
  return lines.join(u'\n');
}

void KnownLocations::offer() {
  offered_->clear();
  QStringList codes = recent_;
  int widest = 0;
  for (const Location &l : register_.rows)
    if (!codes.contains(l.code))
      codes << l.code;
  for (const QString &code : codes) {
    const Location *known = find(code);
    //: a code offered in the code box, with the place it names
    auto *item = new QStandardItem(known && !known->name.isEmpty() ? tr("%1 — %2").arg(code, known->name) : code);
    item->setData(code, kCodeRole);
    offered_->appendRow(item);
    widest = std::max(widest, completer_->popup()->fontMetrics().horizontalAdvance(item->text()));
  }
  // The places whole, not cut at the code box's width.
  completer_->popup()->setMinimumWidth(widest + completer_->popup()->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                       4 * completer_->popup()->frameWidth());
}

void KnownLocations::remember(const QString &code) {
  recent_.removeAll(code);
  recent_.prepend(code);
  recent_ = recent_.mid(0, kRecentCodes);
  if (settings_)
    settings_->setValue(kRecentKey, recent_);
  offer();
}

void KnownLocations::edit(QWidget *parent) {
  LocationsDialog dialog(register_, problems(), parent);
  if (dialog.exec() == QDialog::Accepted)
    read();
}

}  // namespace rekoda
