#pragma once

#include <QRect>

class QLineEdit;
class QWidget;

namespace rekoda {

// Shared pieces of the two windows.

// Window geometry is given in twips (1/1440 inch): 15 twips a pixel at
// 96 dpi, scaled with the screen's logical DPI.
int TwipsToPixels(const QWidget *w, int twips);
QRect TwipsRect(const QWidget *w, int x, int y, int width, int height);

// A text box the user cannot type into, on the light-yellow face that marks
// a folder shown by the program.
QLineEdit *ReadOnlyBox(QWidget *parent, const char *objectName);

}  // namespace rekoda

class QAbstractButton;

namespace rekoda {

// Enter and Return press the button while it has the focus, as Space does.
void PressOnEnter(QAbstractButton *button);

// A focus mark that every button shows, the small picture buttons too
// (the platform style draws none on them).
inline constexpr char kFocusStyle[] =
    "QPushButton:focus { border: 2px solid rgb(30, 95, 180); border-radius: 3px;"
    " background-color: palette(button); padding: 2px 6px; }";

}  // namespace rekoda
