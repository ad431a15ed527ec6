#include "ui/one_line_label.h"

#include <QPainter>
#include <QStyle>

namespace rekoda {

OneLineLabel::OneLineLabel(QWidget *parent, const char *objectName) : QLabel(parent) {
  setObjectName(objectName);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  setTextFormat(Qt::PlainText);
}

void OneLineLabel::say(const QString &text) {
  setText(text);
  setToolTip(text);
  setAccessibleDescription(text);
}

QSize OneLineLabel::sizeHint() const { return {0, minimumSizeHint().height()}; }

QSize OneLineLabel::minimumSizeHint() const {
  const QMargins m = contentsMargins();
  return {0, fontMetrics().height() + m.top() + m.bottom()};
}

void OneLineLabel::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  const QRect room = contentsRect();
  const QString line = QString(text()).replace(u'\n', u' ');
  const QString shown = fontMetrics().elidedText(line, Qt::ElideRight, room.width());
  const int align = static_cast<int>(QStyle::visualAlignment(layoutDirection(), alignment()).toInt());
  style()->drawItemText(&painter, room, align, palette(), isEnabled(),
                        shown, foregroundRole());
}

}  // namespace rekoda
