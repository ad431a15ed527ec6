#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTranslator>

namespace rekoda {

// The window's language, for as long as this lives: Rekoda's own texts and
// Qt's (the standard buttons) for the first of the locale's languages that
// Rekoda speaks. English, the texts' own language, needs neither, and a
// language Rekoda does not speak leaves the window English, Qt's texts too.
class Translations {
 public:
  explicit Translations(const QLocale &locale = QLocale::system(), const QStringList &folders = Folders());
  ~Translations();
  Translations(const Translations &) = delete;
  Translations &operator=(const Translations &) = delete;

  // The language loaded ("nl", "de"), empty for English.
  QString language() const { return language_; }

  // Where rekoda_*.qm are: "translations" beside the program (Windows, the
  // build tree), else the installation's share/rekoda/translations.
  static QStringList Folders();

 private:
  QTranslator rekoda_, qt_;
  bool qtLoaded_ = false;
  QString language_;
};

}  // namespace rekoda
