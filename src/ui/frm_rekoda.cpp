#include "ui/frm_rekoda.h"

#include "conversion/conversion_run.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/message.h"
#include "ui/file_list_model.h"
#include "ui/frm_dirlist.h"
#include "ui/controls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTreeView>

#include <limits>

namespace rekoda {

void FileEnumerator::setPath(const QString &path) {
  path_ = path;
  stale_ = true;
}

void FileEnumerator::setPattern(const QString &pattern) {
  pattern_ = pattern;
  stale_ = true;
}

void FileEnumerator::clear() {
  path_.clear();
  list_.clear();
  error_.clear();
  stale_ = false;
}

const QStringList &FileEnumerator::list() {
  if (stale_) {
    error_.clear();
    list_ = path_.isEmpty() ? QStringList() : ListMatchingFiles(path_, pattern_, &error_).value_or(QStringList());
    stale_ = false;
  }
  return list_;
}

namespace {

QLabel *label(QWidget *parent, const char *name, const QString &text) {
  auto *l = new QLabel(text, parent);
  l->setObjectName(name);
  return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text) {
  auto *b = new QPushButton(text, parent);
  b->setObjectName(name);
  PressOnEnter(b);
  return b;
}

}  // namespace

FrmRekoda::FrmRekoda(QWidget *parent) : QWidget(parent) {
  setObjectName("FrmRekoda");
  setWindowTitle("Change Extension       Omberlin");
  // Opens at the described size; grows for a folder of thousands of files.
  baseSize_ = QSize(TwipsToPixels(this, 9000), TwipsToPixels(this, 6360));
  setMinimumSize(baseSize_);
  resize(baseSize_);
  folderPicker_ = [](QWidget *owner, const QString &start) {
    FrmDirlist picker(owner);
    picker.NewPath = start;
    picker.exec();
    return picker.NewPath;
  };
  setStyleSheet(kFocusStyle);
  buildControls();
  load();
}

FrmRekoda::~FrmRekoda() = default;

void FrmRekoda::buildControls() {
  Frame1_ = new QGroupBox(this);
  Frame1_->setObjectName("Frame1");
  place(Frame1_, 120, 60, 8775, 5820, true, true);

  // The source and the destination row: caption, folder box, picker button.
  const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  auto folderRow = [&](int y, const char *labelName, const char *caption, const char *boxName,
                       const char *buttonName, QLabel *&l, QLineEdit *&box, QPushButton *&b) {
    l = label(Frame1_, labelName, caption);
    place(l, 120, y + 15, 2160, 315);
    box = ReadOnlyBox(Frame1_, boxName);
    place(box, 2310, y, 5955, 330, true);
    b = button(Frame1_, buttonName, QString());
    place(b, 8310, y - 15, 360, 360, false, false, true);
    b->setIcon(folderIcon);
    b->setIconSize(QSize(16, 16));
  };
  folderRow(210, "Label1", "Select source path:", "txtDataMap", "CmdBestand", Label1_, txtDataMap_, CmdBestand_);
  folderRow(585, "Label2", "Select destination path:", "txtDataMap1", "CmdBestand1", Label2_, txtDataMap1_,
            CmdBestand1_);
  CmdBestand_->setToolTip("Choose the source folder");
  CmdBestand1_->setToolTip("Choose the destination folder");

  model_ = new FileListModel(this);
  LsvDirList_ = new QTreeView(Frame1_);
  LsvDirList_->setObjectName("LsvDirList");
  LsvDirList_->setModel(model_);
  LsvDirList_->setRootIsDecorated(false);
  LsvDirList_->setItemsExpandable(false);
  LsvDirList_->setUniformRowHeights(true);
  LsvDirList_->setAllColumnsShowFocus(true);
  LsvDirList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  LsvDirList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  LsvDirList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  LsvDirList_->header()->setSectionsClickable(true);
  LsvDirList_->header()->setSectionsMovable(false);
  LsvDirList_->header()->setStretchLastSection(true);
  // The end of a name is its extension: cut long names in the middle.
  LsvDirList_->setTextElideMode(Qt::ElideMiddle);
  LsvDirList_->setColumnWidth(FileListModel::NameColumn, TwipsToPixels(this, 3000));
  LsvDirList_->setColumnWidth(FileListModel::ResultColumn, TwipsToPixels(this, 900));
  LsvDirList_->setColumnWidth(FileListModel::NewNameColumn, TwipsToPixels(this, 3000));
  LsvDirList_->header()->setToolTip("Click a column, or press Ctrl+1 to Ctrl+4, to sort by it");
  place(LsvDirList_, 45, 990, 8685, 4155, true, true);
  connect(LsvDirList_->header(), &QHeaderView::sectionClicked, this,
          [this](int section) { sortByColumn(section + 1); });
  for (int column = 0; column < FileListModel::ColumnCount; ++column) {
    auto *sort = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + column)), this);
    connect(sort, &QShortcut::activated, this, [this, column] { sortByColumn(column + 1); });
  }

  OptDF_ = new QRadioButton("DF files", Frame1_);
  OptDF_->setObjectName("OptDF");
  place(OptDF_, 120, 5205, 1500, 285, false, false, false, true);
  OptMA_ = new QRadioButton("MA files", Frame1_);
  OptMA_->setObjectName("OptMA");
  place(OptMA_, 120, 5490, 1500, 285, false, false, false, true);
  connect(OptDF_, &QRadioButton::clicked, this, &FrmRekoda::familyChosen);
  connect(OptMA_, &QRadioButton::clicked, this, &FrmRekoda::familyChosen);

  Label3_ = label(Frame1_, "Label3", "New extension/locationcode:");
  place(Label3_, 1800, 5205, 2600, 315, false, false, false, true);
  txtExtension_ = new QLineEdit(Frame1_);
  txtExtension_->setObjectName("txtExtension");
  place(txtExtension_, 4440, 5190, 1455, 330, false, false, false, true);
  txtExtension_->installEventFilter(this);
  connect(txtExtension_, &QLineEdit::textChanged, this, &FrmRekoda::refreshPreview);
  Label4_ = label(Frame1_, "Label4", "Note!!    Before click start, select the rows on the list above!");
  place(Label4_, 1800, 5505, 6800, 285, false, false, false, true);
  QPalette red = Label4_->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  Label4_->setPalette(red);

  CmdSelect_ = button(this, "CmdSelect", "Select all");
  place(CmdSelect_, 120, 5940, 1275, 375, false, false, false, true);
  CmdSelectNone_ = button(this, "CmdSelectNone", "Select None");
  place(CmdSelectNone_, 1470, 5940, 1275, 375, false, false, false, true);
  Pgb1_ = new QProgressBar(this);
  Pgb1_->setObjectName("Pgb1");
  Pgb1_->setRange(0, 100);
  Pgb1_->setTextVisible(false);
  place(Pgb1_, 2880, 6000, 3480, 255, true, false, false, true);
  Pgb1_->hide();
  CmdStart_ = button(this, "CmdStart", "Start");
  place(CmdStart_, 6480, 5940, 1155, 375, false, false, true, true);
  QFont bold = CmdStart_->font();
  bold.setBold(true);
  CmdStart_->setFont(bold);
  CmdStart_->setStyleSheet("QPushButton { background-color: rgb(0, 192, 0); font-weight: bold;"
                           " border: 1px solid rgb(0, 96, 0); border-radius: 3px; }"
                           "QPushButton:focus { border: 2px dashed black; }"
                           "QPushButton:disabled { background-color: rgb(160, 200, 160); }");
  // Takes Start's place while a run is on.
  CmdStop_ = button(this, "CmdStop", "Stop");
  place(CmdStop_, 6480, 5940, 1155, 375, false, false, true, true);
  CmdStop_->setToolTip("Stop after the file in hand (Esc)");
  CmdStop_->hide();
  CmdClose_ = button(this, "CmdClose", "Close");
  place(CmdClose_, 7740, 5940, 1155, 375, false, false, true, true);
  auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &FrmRekoda::requestStop);
  connect(CmdStop_, &QPushButton::clicked, this, &FrmRekoda::requestStop);

  connect(CmdSelect_, &QPushButton::clicked, this, [this] { selectAll(true); });
  connect(CmdSelectNone_, &QPushButton::clicked, this, [this] { selectAll(false); });
  connect(CmdStart_, &QPushButton::clicked, this, &FrmRekoda::startClicked);
  connect(CmdClose_, &QPushButton::clicked, this, &QWidget::close);
  connect(CmdBestand_, &QPushButton::clicked, this, [this] { chooseFolder(txtDataMap_); });
  connect(CmdBestand1_, &QPushButton::clicked, this, [this] { chooseFolder(txtDataMap1_); });
  connect(txtDataMap_, &QLineEdit::textChanged, this, [this] {
    if (!normalising_)
      sourceFolderChanged();
  });

  File1_ = new FileEnumerator(this);
  File1_->setObjectName("File1");

  setTabOrder(CmdBestand_, txtDataMap_);
  setTabOrder(txtDataMap_, CmdClose_);
  setTabOrder(CmdClose_, OptDF_);
  setTabOrder(OptDF_, OptMA_);
  setTabOrder(OptMA_, CmdStart_);
  setTabOrder(CmdStart_, LsvDirList_);
  setTabOrder(LsvDirList_, CmdSelect_);
  setTabOrder(CmdSelect_, CmdSelectNone_);
  setTabOrder(CmdSelectNone_, txtDataMap1_);
  setTabOrder(txtDataMap1_, CmdBestand1_);
  setTabOrder(CmdBestand1_, txtExtension_);
}

void FrmRekoda::place(QWidget *w, int x, int y, int width, int height, bool growX, bool growY, bool moveX,
                      bool moveY) {
  placements_.push_back({w, QRect(x, y, width, height), growX, growY, moveX, moveY});
  w->setGeometry(TwipsRect(this, x, y, width, height));
}

void FrmRekoda::layoutControls() {
  const int dx = std::max(0, width() - baseSize_.width());
  const int dy = std::max(0, height() - baseSize_.height());
  for (const Placement &p : placements_) {
    QRect r = TwipsRect(this, p.twips.x(), p.twips.y(), p.twips.width(), p.twips.height());
    r.adjust(p.moveX ? dx : 0, p.moveY ? dy : 0, p.growX || p.moveX ? dx : 0, p.growY || p.moveY ? dy : 0);
    p.widget->setGeometry(r);
  }
}

void FrmRekoda::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  layoutControls();
}

void FrmRekoda::load() {
  if (const QScreen *s = screen()) {
    const QRect area = s->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
  OptDF_->setChecked(true);
  familyChosen();
}

void FrmRekoda::familyChosen() { sourceFolderChanged(); }

void FrmRekoda::sourceFolderChanged() {
  const QString folder = txtDataMap_->text();
  if (folder.isEmpty()) {
    // Nothing chosen yet: list nothing rather than the working directory.
    File1_->clear();
  } else {
    File1_->setPath(folder);
    File1_->setPattern(OptDF_->isChecked() ? "DF*.*" : "MA*.*");
  }
  GetFiles();
}

void FrmRekoda::GetFiles(bool keepResults) {
  model_->setNames(File1_->list(), keepResults);
  if (!File1_->error().isEmpty())
    ShowMessage(QStringLiteral("The folder %1 cannot be listed: %2").arg(txtDataMap_->text(), File1_->error()),
                MsgPlain);
  refreshDestinationNames();
}

void FrmRekoda::refreshDestinationNames() {
  destinationNames_.clear();
  const QString dest = txtDataMap1_->text();
  if (!dest.isEmpty())
    for (const QString &n : ListMatchingFiles(dest, QStringLiteral("*")).value_or(QStringList()))
      destinationNames_.insert(n);
  refreshPreview();
}

void FrmRekoda::refreshPreview() { model_->setPreview(txtExtension_->text(), destinationNames_); }

void FrmRekoda::sortByColumn(int headerIndex) {
  if (headerIndex < 1 || headerIndex >= static_cast<int>(SortedAscending.size()))
    return;
  bool &ascending = SortedAscending[static_cast<size_t>(headerIndex)];
  ascending = !ascending;
  const Qt::SortOrder order = ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
  model_->sortRows(headerIndex - 1, order);
  LsvDirList_->header()->setSortIndicatorShown(true);
  LsvDirList_->header()->setSortIndicator(headerIndex - 1, order);
}

void FrmRekoda::selectAll(bool selected) {
  QItemSelectionModel *sel = LsvDirList_->selectionModel();
  if (selected && model_->rowCount() > 0) {
    sel->select(QItemSelection(model_->index(0, 0), model_->index(model_->rowCount() - 1, 0)),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  } else {
    sel->clearSelection();
  }
  LsvDirList_->setFocus();
}

void FrmRekoda::upperCaseCode() {
  const QString upper = AsciiUpper(txtExtension_->text());
  if (upper != txtExtension_->text())
    txtExtension_->setText(upper);
}

bool FrmRekoda::eventFilter(QObject *watched, QEvent *event) {
  if (watched == txtExtension_ && event->type() == QEvent::FocusOut)
    upperCaseCode();
  return QWidget::eventFilter(watched, event);
}

void FrmRekoda::chooseFolder(QLineEdit *box) {
  box->setText(folderPicker_(this, box->text()));
  if (box == txtDataMap1_)
    refreshDestinationNames();
}

void FrmRekoda::startClicked() {
  // Start pressed from the keyboard leaves the focus in the code box.
  upperCaseCode();
  running_ = true;
  stopRequested_ = false;
  StartClicked(*this);
  running_ = false;
  stopRequested_ = false;
  if (closeRequested_) {
    close();
    return;
  }
  // Converted in place: the new files join the list, the results stay.
  const auto source = FileIdentity(txtDataMap_->text());
  if (source && source == FileIdentity(txtDataMap1_->text())) {
    QStringList selected;
    for (const QModelIndex &i : LsvDirList_->selectionModel()->selectedRows())
      selected << model_->name(i.row());
    File1_->setPath(txtDataMap_->text());
    GetFiles(true);
    for (const QString &name : selected)
      if (const int row = model_->rowOf(name); row >= 0)
        LsvDirList_->selectionModel()->select(model_->index(row, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
  } else {
    refreshDestinationNames();
  }
}

void FrmRekoda::requestStop() {
  if (running_)
    stopRequested_ = true;
}

void FrmRekoda::closeEvent(QCloseEvent *event) {
  if (running_) {
    // Let the file in hand finish; the run closes the window when it stops.
    closeRequested_ = true;
    stopRequested_ = true;
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

QString FrmRekoda::sourceFolder() const { return txtDataMap_->text(); }

void FrmRekoda::setSourceFolder(const QString &folder) {
  // The run's own tidying of the text is no change of folder.
  normalising_ = true;
  txtDataMap_->setText(folder);
  normalising_ = false;
}

QString FrmRekoda::destinationFolder() const { return txtDataMap1_->text(); }
void FrmRekoda::setDestinationFolder(const QString &folder) { txtDataMap1_->setText(folder); }
QString FrmRekoda::newCode() const { return txtExtension_->text(); }
bool FrmRekoda::isDFFamily() const { return OptDF_->isChecked(); }
qsizetype FrmRekoda::rowCount() const { return model_->rowCount(); }

bool FrmRekoda::isRowSelected(qsizetype row) const {
  return LsvDirList_->selectionModel()->isRowSelected(static_cast<int>(row - 1), QModelIndex());
}

QString FrmRekoda::rowText(qsizetype row) const { return model_->name(static_cast<int>(row - 1)); }

void FrmRekoda::clearRowResult(qsizetype row) { model_->setResult(static_cast<int>(row - 1), {}, {}); }

void FrmRekoda::setFileResult(const QString &file, const QString &result, const QString &reason) {
  if (const int row = model_->rowOf(file); row >= 0)
    model_->setResult(row, result, reason);
}

void FrmRekoda::showFileInProgress(const QString &file) {
  // Scrolling costs about a millisecond, more than converting a file: the
  // list follows the run ten times a second, which the eye cannot tell
  // from every file.
  if (scrolled_.isValid() && scrolled_.elapsed() < 100)
    return;
  scrolled_.start();
  if (const int row = model_->rowOf(file); row >= 0)
    LsvDirList_->scrollTo(model_->index(row, 0), QAbstractItemView::PositionAtCenter);
}

static int clampToInt(qint64 v) {
  return static_cast<int>(std::clamp<qint64>(v, 0, std::numeric_limits<int>::max()));
}

void FrmRekoda::setProgressMinimum(qint64 value) { Pgb1_->setMinimum(clampToInt(value)); }
void FrmRekoda::setProgressMaximum(qint64 value) { Pgb1_->setMaximum(clampToInt(value)); }
void FrmRekoda::setProgressValue(qint64 value) { Pgb1_->setValue(clampToInt(value)); }
void FrmRekoda::setProgressVisible(bool visible) { Pgb1_->setVisible(visible); }

void FrmRekoda::setControlEnabled(RunControl control, bool enabled) {
  QWidget *w = nullptr;
  switch (control) {
    case RunControl::OptDF: w = OptDF_; break;
    case RunControl::OptMA: w = OptMA_; break;
    case RunControl::CmdStart:
      // Stop stands in Start's place while the run is on.
      CmdStop_->setVisible(!enabled);
      CmdStart_->setVisible(enabled);
      if (!enabled)
        CmdStop_->setFocus();
      else if (CmdStop_->hasFocus() || !focusWidget())
        CmdStart_->setFocus();
      w = CmdStart_;
      break;
    case RunControl::CmdClose: w = CmdClose_; break;
    case RunControl::CmdBestand: w = CmdBestand_; break;
    case RunControl::CmdBestand1: w = CmdBestand1_; break;
  }
  w->setEnabled(enabled);
}

void FrmRekoda::setBusyPointer(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void FrmRekoda::processPendingEvents() { QCoreApplication::processEvents(); }

}  // namespace rekoda
