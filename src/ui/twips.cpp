#include "ui/twips.h"

#include <QWidget>

#include <cmath>

namespace rekoda {

int TwipsToPixels(const QWidget *w, int twips) {
  const double dpi = w ? w->logicalDpiX() : 96.0;
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

QRect TwipsRect(const QWidget *w, int x, int y, int width, int height) {
  return {TwipsToPixels(w, x), TwipsToPixels(w, y), TwipsToPixels(w, width), TwipsToPixels(w, height)};
}

}  // namespace rekoda
