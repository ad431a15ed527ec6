#pragma once

#include <QRect>

class QWidget;

namespace rekoda {

// Window geometry is given in twips (1/1440 inch): 15 twips a pixel at
// 96 dpi, scaled with the screen's logical DPI.
int TwipsToPixels(const QWidget *w, int twips);
QRect TwipsRect(const QWidget *w, int x, int y, int width, int height);

}  // namespace rekoda
