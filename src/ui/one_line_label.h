#pragma once

#include <QLabel>

namespace rekoda {

// A line of words that the program changes as it goes (the selected count,
// how the last run went, why a code would be refused): it takes the width
// the layout gives it and never asks for more, cut at its end with an
// ellipsis; the whole text is its tooltip and, for a screen reader, its
// accessible description.
class OneLineLabel : public QLabel {
  Q_OBJECT

 public:
  OneLineLabel(QWidget *parent, const char *objectName);

  // Sets the text, the tooltip and the description together.
  void say(const QString &text);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent *event) override;
};

}  // namespace rekoda
