#include "ui/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

namespace rekoda {

QStringList Translations::Folders() {
  const QDir bin(QCoreApplication::applicationDirPath());
  return {bin.filePath(QStringLiteral("translations")), bin.filePath(QStringLiteral("../share/rekoda/translations"))};
}

Translations::Translations(const QLocale &locale, const QStringList &folders) {
  // The user's order of languages: English before a translated one keeps
  // the window English.
  QString found;
  for (QString language : locale.uiLanguages()) {
    language = language.replace(u'-', u'_').section(u'_', 0, 0);
    if (language == QLatin1String("C") || language == QLatin1String("en"))
      return;
    for (const QString &folder : folders)
      if (rekoda_.load(QStringLiteral("rekoda_") + language, folder)) {
        found = language;
        break;
      }
    if (!found.isEmpty())
      break;
  }
  if (found.isEmpty())
    return;
  language_ = found;
  QCoreApplication::installTranslator(&rekoda_);
  // Qt's own: where this Qt keeps them (Linux), else beside Rekoda's
  // (the Windows installation carries them).
  const QString qtFile = QStringLiteral("qtbase_") + language_;
  qtLoaded_ = qt_.load(qtFile, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  for (const QString &folder : folders)
    qtLoaded_ = qtLoaded_ || qt_.load(qtFile, folder);
  if (qtLoaded_)
    QCoreApplication::installTranslator(&qt_);
}

Translations::~Translations() {
  if (language_.isEmpty())
    return;
  QCoreApplication::removeTranslator(&rekoda_);
  if (qtLoaded_)
    QCoreApplication::removeTranslator(&qt_);
}

}  // namespace rekoda
