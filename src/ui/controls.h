#pragma once

#include <QString>

class QColor;
class QIcon;
class QPalette;
class QLineEdit;
class QWidget;

namespace rekoda {

// Shared pieces of the two windows.

// Window geometry is given in twips (1/1440 inch): 15 twips a pixel at
// 96 dpi, scaled with the screen's logical DPI.
int TwipsToPixels(const QWidget *w, int twips);

// What both windows say of a folder named to them that does not exist.
QString FolderMissingText(const QString &folder);

// Rekoda's picture, for its windows and the desktop's task switcher.
QIcon ApplicationIcon();

// A text box the user cannot type into, on the light-yellow face that marks
// a folder shown by the program.
QLineEdit *ReadOnlyBox(QWidget *parent, const char *objectName);

// Whether a palette is a dark one, told by the lightness of its window.
bool IsDarkPalette(const QPalette &palette);

// Gives a folder box the face that marks a folder shown by the program:
// the light yellow in a light palette, a dark yellow-tinted one in a dark
// palette; and a text colour that reads on it, the palette's own where that
// is clear enough (4.5:1), else black or white.
void SetFolderBoxColours(QLineEdit *box, const QPalette &palette);

// The red of the window's warnings (the note under the code, the code's
// hint): red in a light palette, a light red in a dark one.
QColor WarningColour(const QPalette &palette);

// The orange of a new name that will replace a file, at 4.5:1 or better on
// the palette's base where one of its shades is.
QColor ReplacedColour(const QPalette &palette);

// Start's green face, with a caption that stays readable on it, in a light
// and in a dark palette.
QString StartButtonStyle(const QPalette &palette);

// The contrast of two colours as the web's accessibility rules measure it:
// 1 (none) to 21 (black on white).
double ContrastRatio(const QColor &a, const QColor &b);

}  // namespace rekoda

class QAbstractButton;
class QPushButton;
class QWidget;

namespace rekoda {

// Enter and Return press the button while it has the focus, as Space does.
void PressOnEnter(QAbstractButton *button);
// A push button found by its object name, which Enter presses too.
QPushButton *NamedButton(QWidget *parent, const char *name, const QString &text);

// The colour of the focus mark: a blue that stands at 3:1 or better on the
// palette's window, as marks that are not text should (a darker one in a
// light palette, a lighter one in a dark palette).
QColor FocusColour(const QPalette &palette);

// A focus mark that every button shows, the small picture buttons too
// (the platform style draws none on them), in FocusColour.
QString FocusStyle(const QPalette &palette);

}  // namespace rekoda
