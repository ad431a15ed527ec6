#include "ui/frm_rekoda.h"

#include "conversion/run_record.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/message.h"
#include "ui/window_speaker.h"
#include "ui/application.h"
#include "ui/code_reader.h"
#include "ui/controls.h"
#include "ui/file_enumerator.h"
#include "ui/destination_names.h"
#include "ui/file_list_model.h"
#include "ui/file_list_view.h"
#include "ui/folder_drop.h"
#include "ui/folder_opener.h"
#include "ui/known_locations.h"
#include "ui/frm_dirlist.h"
#include "ui/one_line_label.h"
#include "ui/run_report.h"
#include "ui/window_settings.h"
#include "ui/report_box.h"
#include "ui/window_run.h"
#include "ui/window_view.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStackedLayout>
#include <QStyle>


namespace rekoda {

namespace {

QLabel *label(QWidget *parent, const char *name, const QString &text) {
  auto *l = new QLabel(text, parent);
  l->setObjectName(name);
  return l;
}

}  // namespace

FrmRekoda::FrmRekoda(QWidget *parent, QSettings *settings) : QWidget(parent), settings_(settings) {
  setObjectName("FrmRekoda");
  //: window title; Omberlin is a name and stays
  setWindowTitle(tr("Change Extension       Omberlin"));
  setWindowIcon(ApplicationIcon());
  reportPicker_ = AskReportPath;
  folderPicker_ = [this](QWidget *owner, const QString &start) {
    FrmDirlist picker(owner, settings_);
    picker.setAccessibleDescription(pickerPurpose_);
    picker.NewPath = start;
    picker.exec();
    return picker.NewPath;
  };
  // In the desktop's palette as the window starts (a style sheet set again
  // later would undo the folder boxes' faces).
  setStyleSheet(FocusStyle(palette()));
  run_ = new WindowRun(view_, this);
  known_ = new KnownLocations(settings_, this);
  File1_ = new FileEnumerator(this);
  File1_->setObjectName("File1");
  destinationListing_ = new DestinationNames(this);
  opener_ = new FolderOpener(this);

  Frame1_ = new QGroupBox(this);
  Frame1_->setObjectName("Frame1");
  auto *frame = new QGridLayout(Frame1_);
  buildFolderRow(frame, 0, Label1_, txtDataMap_, CmdBestand_);
  buildFolderRow(frame, 1, Label2_, txtDataMap1_, CmdBestand1_);
  buildList(frame);
  frame->addLayout(buildOptions(), 4, 0, 1, 4);
  known_->attach(txtExtension_, model_, run_);
  auto *window = new QVBoxLayout(this);
  window->addWidget(Frame1_, 1);
  window->addLayout(buildButtons());
  view_.setControls({this, txtDataMap_, txtDataMap1_, txtExtension_, OptDF_, OptMA_, LsvDirList_, Pgb1_, CmdStart_,
                     CmdStop_, CmdClose_, CmdBestand_, CmdBestand1_, startStop_});
  connectControls();
  setTabChain();
  applyColours();
  // The described size at the default font; larger fonts and scale factors
  // make the layout's own minimum larger, and it wins.
  const QSize described(TwipsToPixels(this, 9000), TwipsToPixels(this, 6360));
  const double larger = std::max(1.0, fontMetrics().lineSpacing() / 17.0);
  resize((described * larger).expandedTo(minimumSizeHint()));
  load();
}

FrmRekoda::~FrmRekoda() {
  // While the window is still whole: the run stops, its thread is waited for.
  delete run_;
}

bool FrmRekoda::isRunning() const { return run_->isRunning(); }
const RunRecord &FrmRekoda::lastRun() const { return run_->record(); }

// The source or the destination row: caption, folder box, picker button.
// The caption's letter opens the picker, as a click on the button does.
void FrmRekoda::buildFolderRow(QGridLayout *frame, int row, QLabel *&l, QLineEdit *&box, QPushButton *&b) {
  const bool source = row == 0;
  l = label(Frame1_, source ? "Label1" : "Label2", source ? tr("Select so&urce path:") : tr("Select dest&ination path:"));
  box = ReadOnlyBox(Frame1_, source ? "txtDataMap" : "txtDataMap1");
  box->setAccessibleName(source ? tr("Source folder") : tr("Destination folder"));
  // A folder dropped on a path box sets it; a dropped file sets its folder.
  box->setAcceptDrops(true);
  box->installEventFilter(this);
  b = NamedButton(Frame1_, source ? "CmdBestand" : "CmdBestand1", QString());
  b->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  b->setIconSize(QSize(16, 16));
  b->setToolTip(source ? tr("Choose source folder") : tr("Choose destination folder"));
  b->setAccessibleName(b->toolTip());
  l->setBuddy(b);
  frame->addWidget(l, row, 0);
  frame->addWidget(box, row, 1, 1, 2);
  frame->addWidget(b, row, 3);
}

void FrmRekoda::buildList(QGridLayout *frame) {
  LsvDirList_ = new FileListView(Frame1_);
  model_ = LsvDirList_->fileModel();
  codes_ = LsvDirList_->codes();
  frame->addWidget(LsvDirList_, 2, 0, 1, 4);
  frame->setRowStretch(2, 1);
  frame->setColumnStretch(2, 1);
  // How the last run went, in words that a screen reader reads too. Like
  // the code's hint, it keeps its line when empty: nothing moves under the
  // hands of someone typing the next code.
  lblStatus_ = new OneLineLabel(Frame1_, "lblStatus");
  frame->addWidget(lblStatus_, 3, 0, 1, 4);
}

// The options at the left; the code, its hint and the note in the middle;
// the record of the work at the right.
QLayout *FrmRekoda::buildOptions() {
  OptDF_ = new QRadioButton(tr("&DF files"), Frame1_);
  OptDF_->setObjectName("OptDF");
  OptMA_ = new QRadioButton(tr("&MA files"), Frame1_);
  OptMA_->setObjectName("OptMA");
  auto *family = new QVBoxLayout;
  family->addWidget(OptDF_);
  family->addWidget(OptMA_);
  family->addStretch();

  Label3_ = label(Frame1_, "Label3", tr("New e&xtension/locationcode:"));
  txtExtension_ = new QLineEdit(Frame1_);
  txtExtension_->setObjectName("txtExtension");
  txtExtension_->setAccessibleName(tr("New extension/location code"));
  txtExtension_->setMinimumWidth(TwipsToPixels(this, 1455));
  txtExtension_->installEventFilter(this);
  Label3_->setBuddy(txtExtension_);
  codeHint_ = new OneLineLabel(Frame1_, "lblCodeHint");
  Label4_ = label(Frame1_, "Label4", tr("Note!!    Before click start, select the rows on the list above!"));
  Label4_->setWordWrap(true);
  auto *code = new QGridLayout;
  code->addWidget(Label3_, 0, 0);
  code->addWidget(txtExtension_, 0, 1);
  code->addWidget(CmdLocations_ = known_->makeButton(Frame1_), 0, 2, Qt::AlignLeft);
  code->setColumnStretch(2, 1);
  code->addWidget(codeHint_, 1, 0, 1, 3);
  code->addWidget(Label4_, 2, 0, 1, 3);

  QLayout *record = buildRecordColumn();
  auto *options = new QHBoxLayout;
  options->addLayout(family);
  options->addSpacing(TwipsToPixels(this, 180));
  options->addLayout(code, 1);
  options->addLayout(record);
  return options;
}

// Beside the options: the selected count and what can be done with the
// last run.
QLayout *FrmRekoda::buildRecordColumn() {
  lblSelected_ = new OneLineLabel(Frame1_, "lblSelected");
  lblSelected_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  CmdSaveReport_ = NamedButton(Frame1_, "CmdSaveReport", tr("Save re&port…"));
  CmdSaveReport_->setToolTip(tr("Save what the last run did as a CSV file for a spreadsheet"));
  CmdSaveReport_->setEnabled(false);  // until there is a run to report
  CmdOpenDest_ = NamedButton(Frame1_, "CmdOpenDest", tr("&Open destination folder"));
  CmdOpenDest_->setToolTip(tr("Show the destination folder in the desktop's file manager"));
  CmdOpenDest_->setEnabled(false);
  CmdUndo_ = NamedButton(Frame1_, "CmdUndo", tr("Undo &last run"));
  CmdUndo_->setToolTip(tr("Remove what the last run wrote and bring back what it replaced (Ctrl+Z)"));
  CmdUndo_->setEnabled(false);  // its place kept until there is a run to undo
  auto *record = new QVBoxLayout;
  record->addWidget(lblSelected_);
  record->addWidget(CmdSaveReport_);
  record->addWidget(CmdOpenDest_);
  record->addWidget(CmdUndo_);
  record->addStretch();
  return record;
}

// Along the bottom: the selection buttons, the progress, Start (or Stop),
// Close and About.
QLayout *FrmRekoda::buildButtons() {
  CmdSelect_ = NamedButton(this, "CmdSelect", tr("Select &all"));
  CmdSelect_->setToolTip(tr("Select every file of the list (Ctrl+A in the list)"));
  CmdSelectNone_ = NamedButton(this, "CmdSelectNone", tr("Select &None"));
  CmdSelectNone_->setToolTip(tr("Select no file"));
  Pgb1_ = new QProgressBar(this);
  Pgb1_->setObjectName("Pgb1");
  Pgb1_->setAccessibleName(tr("Progress"));
  Pgb1_->setRange(0, 100);
  Pgb1_->setTextVisible(false);
  // Hidden, it keeps its place: the buttons do not jump when a run starts.
  QSizePolicy keep = Pgb1_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  Pgb1_->setSizePolicy(keep);
  Pgb1_->hide();
  //: button: begins the conversion
  CmdStart_ = NamedButton(this, "CmdStart", tr("&Start"));
  QFont bold = CmdStart_->font();
  bold.setBold(true);
  CmdStart_->setFont(bold);
  CmdStart_->setToolTip(tr("Convert the selected files with the new code into the destination folder"));
  // Takes Start's place while a run is on.
  //: button: ends a run after the files in hand
  CmdStop_ = NamedButton(this, "CmdStop", tr("S&top"));
  CmdStop_->setToolTip(tr("Stop after the files in hand (Esc)"));
  //: button: closes the window
  CmdClose_ = NamedButton(this, "CmdClose", tr("&Close"));
  CmdClose_->setToolTip(tr("Close Rekoda; a run stops after the files in hand first"));
  CmdAbout_ = NamedButton(this, "CmdAbout", QStringLiteral("?"));
  CmdAbout_->setToolTip(tr("About Rekoda (F1)"));
  CmdAbout_->setAccessibleName(tr("About Rekoda"));
  // One place for the two: the row never holds both, so the window keeps
  // its width when one takes the other's place.
  startStop_ = new QStackedLayout;
  startStop_->addWidget(CmdStart_);
  startStop_->addWidget(CmdStop_);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(CmdSelect_);
  buttons->addWidget(CmdSelectNone_);
  buttons->addWidget(Pgb1_, 1);
  buttons->addLayout(startStop_);
  buttons->addWidget(CmdClose_);
  buttons->addWidget(CmdAbout_);
  fitButtons();
  return buttons;
}

// The row's buttons are as wide as the old window's, or as their words
// need in this language, style and font: the row's free space never takes
// letters from them.
void FrmRekoda::fitButtons() {
  for (QPushButton *b : {CmdSelect_, CmdSelectNone_, CmdStart_, CmdStop_, CmdClose_})
    b->setMinimumWidth(std::max(TwipsToPixels(this, 1155), b->sizeHint().width()));
  CmdAbout_->setMaximumWidth(CmdAbout_->sizeHint().width());
}

// The list: sorting by header or key, the codes read beside it, the
// visible rows first.
void FrmRekoda::connectList() {
  for (int column = 0; column < FileListModel::ColumnCount; ++column) {
    auto *sort = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + column)), this);
    connect(sort, &QShortcut::activated, this, [this, column] { LsvDirList_->sortByHeader(column + 1); });
  }
  connect(LsvDirList_, &FileListView::codesChanged, this, &FrmRekoda::countSelected);
  connect(destinationListing_, &DestinationNames::listed, this, [this](const QString &folder, const QSet<QString> &names) {
    if (folder != txtDataMap1_->text())
      return;  // chosen anew since: its own listing follows
    destinationNames_ = names;
    refreshPreview();
  });
}

// The selection's count and the run's progress and end.
void FrmRekoda::connectRun() {
  connect(LsvDirList_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &FrmRekoda::countSelected);
  connect(model_, &QAbstractItemModel::modelReset, this, &FrmRekoda::countSelected);
  connect(run_, &WindowRun::started, this, &FrmRekoda::runStarted);
  connect(run_, &WindowRun::filesHandled, this, &FrmRekoda::runFilesHandled);
  connect(run_, &WindowRun::fileSettled, model_, &FileListModel::runFileSettled);
  connect(run_, &WindowRun::ended, this, &FrmRekoda::runFinished);
}

void FrmRekoda::connectControls() {
  connectList();
  connect(OptDF_, &QRadioButton::clicked, this, &FrmRekoda::familyChosen);
  connect(OptMA_, &QRadioButton::clicked, this, &FrmRekoda::familyChosen);
  connect(txtExtension_, &QLineEdit::textChanged, this, &FrmRekoda::refreshPreview);
  connect(known_, &KnownLocations::changed, this, &FrmRekoda::refreshPreview);
  connect(CmdAbout_, &QPushButton::clicked, this, [this] { ShowAbout(this); });
  connect(new QShortcut(QKeySequence::Refresh, this), &QShortcut::activated, this, [this] {
    if (!run_->isRunning() && !txtDataMap_->text().isEmpty())
      relist(false);
  });
  connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, [this] { ShowAbout(this); });
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, run_, &WindowRun::requestStop);
  connect(CmdStop_, &QPushButton::clicked, run_, &WindowRun::requestStop);
  connect(CmdSelect_, &QPushButton::clicked, this, [this] { LsvDirList_->selectAllRows(true); });
  connect(CmdSelectNone_, &QPushButton::clicked, this, [this] { LsvDirList_->selectAllRows(false); });
  connect(CmdStart_, &QPushButton::clicked, this, &FrmRekoda::startClicked);
  connect(CmdClose_, &QPushButton::clicked, this, &QWidget::close);
  connect(CmdBestand_, &QPushButton::clicked, this, [this] { chooseFolder(txtDataMap_); });
  connect(CmdBestand1_, &QPushButton::clicked, this, [this] { chooseFolder(txtDataMap1_); });
  connect(txtDataMap_, &QLineEdit::textChanged, this, [this] {
    if (!view_.normalising())
      sourceFolderChanged();
  });
  connect(CmdSaveReport_, &QPushButton::clicked, this, &FrmRekoda::saveReport);
  connect(CmdUndo_, &QPushButton::clicked, this, &FrmRekoda::undoClicked);
  // Ctrl+Z in the code box undoes typing there; anywhere else, the run.
  connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this, &FrmRekoda::undoClicked);
  connect(run_, &WindowRun::undoEnded, this, &FrmRekoda::undoFinished);
  connect(CmdOpenDest_, &QPushButton::clicked, this, &FrmRekoda::openDestination);
  connect(txtDataMap1_, &QLineEdit::textChanged, this,
          [this] { CmdOpenDest_->setEnabled(!txtDataMap1_->text().isEmpty()); });
  connectRun();
  countSelected();
}

// The order of the work: where from, where to, which files, which code,
// which rows, then Start.
void FrmRekoda::setTabChain() {
  QWidget *chain[] = {CmdBestand_,   txtDataMap_, CmdBestand1_, txtDataMap1_,   OptDF_,
                      OptMA_,        txtExtension_, CmdLocations_, LsvDirList_, CmdSelect_,     CmdSelectNone_,
                      CmdStart_,     CmdStop_,    CmdClose_,    CmdAbout_,      CmdSaveReport_,
                      CmdOpenDest_,  CmdUndo_};
  for (size_t i = 0; i + 1 < std::size(chain); ++i)
    setTabOrder(chain[i], chain[i + 1]);
}

void FrmRekoda::applyColours() {
  for (QLineEdit *box : {txtDataMap_, txtDataMap1_})
    SetFolderBoxColours(box, palette());
  QPalette note = Label4_->palette();
  note.setColor(QPalette::WindowText, WarningColour(palette()));
  Label4_->setPalette(note);
  codeHint_->setPalette(note);
  CmdStart_->setStyleSheet(StartButtonStyle(palette()));
}

void FrmRekoda::changeEvent(QEvent *event) {
  if ((event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) && CmdAbout_)
    fitButtons();
  if (event->type() == QEvent::PaletteChange && !applyingColours_) {
    applyingColours_ = true;
    applyColours();
    applyingColours_ = false;
  }
  QWidget::changeEvent(event);
}

void FrmRekoda::load() {
  if (const QScreen *s = screen()) {
    const QRect area = s->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
  OptDF_->setChecked(true);
  familyChosen();
  restoreSettings();
  refreshUndo();
}

void FrmRekoda::openFolders(const QString &source, const QString &dest) {
  QStringList missing;
  // The destination first: listing the source reads its names.
  for (const auto &[path, box] : {std::pair{dest, txtDataMap1_}, std::pair{source, txtDataMap_}}) {
    if (path.isEmpty())
      continue;
    const QString folder = FolderOf(path);
    if (folder.isEmpty())
      missing << path;
    else
      box->setText(folder);
  }
  if (!dest.isEmpty())
    refreshDestinationNames();
  for (const QString &path : missing)
    ShowMessage(FolderMissingText(QDir::toNativeSeparators(path)), MsgPlain);
}

void FrmRekoda::countSelected() {
  const QModelIndexList selected = LsvDirList_->selectionModel()->selectedRows();
  QString text = tr("%1 of %n selected", nullptr, model_->rowCount()).arg(selected.size());
  // Which loggers the selection holds, when more than one.
  if (const QMap<QString, qsizetype> codes = LsvDirList_->codeCounts(selected); codes.size() > 1)
    text += tr(" (codes %1)").arg(codes.keys().join(QStringLiteral(", ")));
  lblSelected_->say(text);
}


void FrmRekoda::saveReport() {
  // After a restart, the run that Undo would undo, as its journal tells it.
  std::optional<RunRecord> journaled;
  if (run_->record().isEmpty()) {
    const auto run = run_->runToUndo();
    if (!run)
      return;
    Status read;
    journaled = RunRecord::FromJournal(*run, &read);
    if (!journaled) {
      ShowMessage(Words().words(Reason(Reason::Kind::JournalNotRead, read)), MsgPlain);
      return;
    }
  }
  const RunRecord &record = journaled ? *journaled : run_->record();
  const QString path = reportPicker_(this, SuggestedReportPath(record));
  if (path.isEmpty())
    return;
  if (const auto why = SaveRunReport(record, path))
    ShowMessage(tr("The report cannot be saved as %1: %2").arg(path, *why), MsgPlain);
}

void FrmRekoda::openDestination() {
  const QString folder = txtDataMap1_->text();
  opener_->open(folder, tr("No program on this desktop opens folders; the destination folder is %1").arg(folder));
}

void FrmRekoda::restoreSettings() {
  const WindowSettings remembered(settings_);
  // The rows follow the arrow that comes back.
  if (const auto sorted = remembered.restoreLayout(this, LsvDirList_->header()))
    LsvDirList_->restoreSort(sorted->first, sorted->second);
  LsvDirList_->fitRememberedWidths();
  const WindowSettings::Values v = remembered.values();
  if (v.ma) {
    OptMA_->setChecked(true);
    familyChosen();
  }
  txtExtension_->setText(v.code);
  // A remembered folder that has gone since (a stick not plugged in) is
  // said, and offered in its box's placeholder.
  QStringList gone;
  for (const auto &[path, box] : {std::pair{v.dest, txtDataMap1_}, std::pair{v.source, txtDataMap_}}) {
    if (path.isEmpty())
      continue;
    if (QFileInfo(path).isDir()) {
      box->setText(path);
      continue;
    }
    box->setPlaceholderText(path);
    gone << (box == txtDataMap1_ ? tr("the remembered destination %1 is not there (a stick not plugged in?)")
                                 : tr("the remembered source %1 is not there (a stick not plugged in?)"))
                .arg(path);
  }
  lblStatus_->say(gone.join(QStringLiteral("; ")));
  // Listing the source reads the destination's names too; without a source
  // they are read here, once.
  if (txtDataMap_->text().isEmpty() && !txtDataMap1_->text().isEmpty())
    refreshDestinationNames();
}

void FrmRekoda::saveSettings() {
  WindowSettings(settings_).save({txtDataMap_->text(), txtDataMap1_->text(), txtExtension_->text(), OptMA_->isChecked()},
                                 this, LsvDirList_->header());
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
  codes_->read(txtDataMap_->text(), OptDF_->isChecked() ? Family::DF : Family::MA, File1_->list());
  LsvDirList_->readVisibleCodesFirst();
  if (!File1_->error().ok())
    ShowMessage(tr("The folder %1 cannot be listed: %2").arg(txtDataMap_->text(), Words().words(File1_->error())),
                MsgPlain);
  refreshDestinationNames();
}

// The source folder listed again, the selection kept by name; the codes of
// files whose size or change time moved are read again.
void FrmRekoda::relist(bool keepResults) {
  QStringList selected;
  for (const QModelIndex &i : LsvDirList_->selectionModel()->selectedRows())
    selected << model_->name(i.row());
  File1_->setPath(txtDataMap_->text());
  GetFiles(keepResults);
  for (const QString &name : selected)
    if (const int row = model_->rowOf(name); row >= 0)
      LsvDirList_->selectionModel()->select(model_->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void FrmRekoda::refreshDestinationNames() { destinationListing_->list(txtDataMap1_->text()); }

void FrmRekoda::refreshPreview() {
  model_->setPreview(txtExtension_->text(), destinationNames_);
  const QString hint = known_->hint(txtExtension_->text(), model_->codeProblem());
  codeHint_->say(hint);
  codeHint_->setForegroundRole(model_->codeProblem().isEmpty() ? QPalette::Text : QPalette::WindowText);  // a place is no warning
  txtExtension_->setAccessibleDescription(hint);  // heard with the box, not only seen under it
}

void FrmRekoda::upperCaseCode() {
  const QString upper = AsciiUpper(txtExtension_->text());
  if (upper != txtExtension_->text())
    txtExtension_->setText(upper);
}

bool FrmRekoda::eventFilter(QObject *watched, QEvent *event) {
  if (watched == txtExtension_ && event->type() == QEvent::FocusOut)
    upperCaseCode();
  if ((watched == txtDataMap_ || watched == txtDataMap1_) && !isRunning() &&
      TakeGivenFolder(static_cast<QLineEdit *>(watched), event)) {
    if (watched == txtDataMap1_ && (event->type() == QEvent::Drop || event->type() == QEvent::KeyPress))
      refreshDestinationNames();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void FrmRekoda::chooseFolder(QLineEdit *box) {
  pickerPurpose_ = box == txtDataMap_ ? tr("Choose the source folder") : tr("Choose the destination folder");
  box->setText(folderPicker_(this, box->text()));
  if (box == txtDataMap1_)
    refreshDestinationNames();
}

void FrmRekoda::startClicked() {
  // Start pressed from the keyboard leaves the focus in the code box.
  upperCaseCode();
  if (run_->start())
    saveSettings();
}

void FrmRekoda::runStarted() {
  model_->showRun(&run_->record());
  known_->remember(run_->record().job().code);
  lblStatus_->say({});
  CmdSaveReport_->setEnabled(true);
  if (!run_->record().isEmpty())
    LsvDirList_->scrollToFile(run_->record().file(0).name);
}

void FrmRekoda::runFilesHandled(qsizetype from, qsizetype upTo) {
  for (qsizetype index = from; index <= upTo; ++index)
    model_->runFileHandled(index);
  // The row being converted is kept in view.
  const RunRecord &record = run_->record();
  if (upTo + 1 < record.size())
    LsvDirList_->scrollToFile(record.file(upTo + 1).name);
}

void FrmRekoda::runFinished() {
  const RunRecord &record = run_->record();
  lblStatus_->say(RunStatusLine(record));
  refreshUndo();
  if (const auto message = RunEndMessage(record))
    ShowMessage(*message, MsgPlain);
  emit runEnded();
  if (closeRequested_) {
    close();
    return;
  }
  // Laid out first: a row scrolled to the list's edge before the lines
  // under it settle would end up half hidden.
  layout()->activate();
  LsvDirList_->showFirstResult(record);
  // Converted in place: the new files join the list, the results stay.
  if (SameFolder(record.job().source, record.job().dest)) {
    relist(true);
  } else {
    refreshDestinationNames();
  }
}

void FrmRekoda::undoClicked() {
  if (!run_->startUndo())
    return;
  lblStatus_->say({});
}

void FrmRekoda::undoFinished(const QString &message, bool undidRecord) {
  // The rows of the run undone show what Start would do again.
  if (undidRecord)
    model_->showRun(nullptr);
  lblStatus_->say(message.section(u'\n', 0, 0));
  refreshDestinationNames();
  refreshUndo();
  ShowMessage(message, MsgPlain);
  emit runEnded();
}

// Save report follows Undo after a restart: the report of a run one is
// asked to undo can be saved.
void FrmRekoda::refreshUndo() {
  const bool journaled = run_->runToUndo().has_value();
  CmdUndo_->setEnabled(journaled);
  CmdSaveReport_->setEnabled(journaled || !run_->record().isEmpty());
}

void FrmRekoda::closeEvent(QCloseEvent *event) {
  if (run_->isRunning()) {
    // The files in hand finish; the run closes the window when it stops.
    closeRequested_ = true;
    run_->requestStop();
    event->ignore();
    return;
  }
  saveSettings();
  QWidget::closeEvent(event);
}

}  // namespace rekoda
