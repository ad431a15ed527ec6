#include "ui/controls.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QAction>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QWidget>
#include <QApplication>

#include <algorithm>
#include <QIcon>

#include <cmath>

namespace rekoda {

int TwipsToPixels(const QWidget *w, int twips) {
  const double dpi = w ? w->logicalDpiX() : 96.0;
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

// Made afresh for each window: a QIcon kept past the application would be
// torn down after it, which hangs a process's end on Windows.
QString FolderMissingText(const QString &folder) {
  return QCoreApplication::translate("Rekoda", "The folder %1 does not exist.").arg(folder);
}

QIcon ApplicationIcon() { return QIcon(QStringLiteral(":/rekoda/rekoda.ico")); }

namespace {

// A folder too long for its box shows its end, the folder's own name, with
// an ellipsis in front that says the start is cut, and the whole path as
// the tooltip.
class CutMark : public QObject {
 public:
  explicit CutMark(QLineEdit *box) : QObject(box), box_(box) {
    mark_ = box->addAction(ellipsis(), QLineEdit::LeadingPosition);
    mark_->setObjectName("cutMark");
    connect(box, &QLineEdit::textChanged, this, &CutMark::update);
    box->installEventFilter(this);
    update();
  }

 protected:
  bool eventFilter(QObject *, QEvent *event) override {
    if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange ||
        event->type() == QEvent::ReadOnlyChange)
      update();
    return false;
  }

 private:
  QIcon ellipsis() const {
    const QFontMetrics metrics = box_->fontMetrics();
    QPixmap picture(metrics.horizontalAdvance(QStringLiteral("\u2026")) + 2, metrics.height());
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setFont(box_->font());
    painter.setPen(box_->palette().color(QPalette::Text));
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("\u2026"));
    return QIcon(picture);
  }

  void update() {
    const int room = box_->contentsRect().width() - 2 * box_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) - 4;
    const bool cut = box_->isReadOnly() && box_->fontMetrics().horizontalAdvance(box_->text()) > room;
    mark_->setVisible(cut);
    box_->setToolTip(cut ? box_->text() : QString());
    if (cut)
      box_->setCursorPosition(int(box_->text().size()));
  }

  QLineEdit *box_;
  QAction *mark_;
};

}  // namespace

QLineEdit *ReadOnlyBox(QWidget *parent, const char *objectName) {
  auto *box = new QLineEdit(parent);
  box->setObjectName(objectName);
  box->setReadOnly(true);
  SetFolderBoxColours(box, parent ? parent->palette() : box->palette());
  new CutMark(box);
  return box;
}

double ContrastRatio(const QColor &a, const QColor &b) {
  auto luminance = [](const QColor &c) {
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double x = luminance(a), y = luminance(b);
  return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

bool IsDarkPalette(const QPalette &palette) { return palette.color(QPalette::Window).lightness() < 128; }

QColor WarningColour(const QPalette &palette) {
  return IsDarkPalette(palette) ? QColor(255, 120, 120) : QColor(Qt::red);
}

QColor ReplacedColour(const QPalette &palette) {
  const QColor base = palette.color(QPalette::Base);
  for (const QColor &orange : {QColor(176, 96, 0), QColor(255, 170, 70)})
    if (ContrastRatio(orange, base) >= 4.5)
      return orange;
  return QColor(176, 96, 0);
}

QString StartButtonStyle(const QPalette &palette) {
  return IsDarkPalette(palette)
             ? QStringLiteral("QPushButton { background-color: rgb(0, 110, 0); color: white; font-weight: bold;"
                              " border: 1px solid rgb(0, 60, 0); border-radius: 3px; padding: 2px 8px; }"
                              "QPushButton:focus { border: 2px dashed white; }"
                              "QPushButton:disabled { background-color: rgb(40, 70, 40); color: rgb(160, 160, 160); }")
             : QStringLiteral("QPushButton { background-color: rgb(0, 192, 0); color: black; font-weight: bold;"
                              " border: 1px solid rgb(0, 96, 0); border-radius: 3px; padding: 2px 8px; }"
                              "QPushButton:focus { border: 2px dashed black; }"
                              "QPushButton:disabled { background-color: rgb(160, 200, 160); }");
}

void SetFolderBoxColours(QLineEdit *box, const QPalette &palette) {
  const QColor base = IsDarkPalette(palette) ? QColor(70, 64, 24) : QColor(255, 255, 192);
  const QColor text = palette.color(QPalette::Text);
  QColor readable = text;
  if (ContrastRatio(base, text) < 4.5)
    readable = ContrastRatio(base, Qt::black) >= ContrastRatio(base, Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
  QPalette p = box->palette();
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::Text, readable);
  box->setPalette(p);
}

namespace {

class EnterPresses : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent *>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        auto *b = static_cast<QAbstractButton *>(watched);
        if (b->isEnabled())
          b->click();
        return true;
      }
    }
    return false;
  }
};

}  // namespace

void PressOnEnter(QAbstractButton *button) {
  static auto *filter = new EnterPresses(qApp);
  button->installEventFilter(filter);
}

QPushButton *NamedButton(QWidget *parent, const char *name, const QString &text) {
  auto *b = new QPushButton(text, parent);
  b->setObjectName(name);
  PressOnEnter(b);
  return b;
}

}  // namespace rekoda

namespace rekoda {

QColor FocusColour(const QPalette &palette) {
  const QColor window = palette.color(QPalette::Window);
  for (const QColor &blue : {QColor(30, 95, 180), QColor(110, 170, 255), QColor(20, 60, 120)})
    if (ContrastRatio(blue, window) >= 3.0)
      return blue;
  return palette.color(QPalette::WindowText);
}

QString FocusStyle(const QPalette &palette) {
  const QString colour = FocusColour(palette).name();
  return QStringLiteral("QPushButton:focus { border: 2px solid %1; border-radius: 3px;"
                        " background-color: palette(button); padding: 2px 6px; }"
                        "QComboBox:focus { border: 2px solid %1; border-radius: 3px; padding: 1px 4px; }")
      .arg(colour);
}

}  // namespace rekoda
