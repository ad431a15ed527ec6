// The core's English sentences, found by their templates in the window's
// language: nested, line by line, in their plural form, with arguments that
// look like place markers themselves.

#include "ui/translations.h"

#include "platform/texts.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace rekoda;

TEST(Translations, theCoresSentencesAreFoundByTheirTemplates) {
  const Translations dutch(QLocale(QStringLiteral("nl_NL")),
                           {QCoreApplication::applicationDirPath() + "/../src/translations"});
  ASSERT_EQ(dutch.language(), "nl");
  const struct {
    QString english, dutch;
  } rows[] = {
      {"Faild", "Mislukt"},
      {"kept: its source DF1.L01 is no longer there (the file it replaced stays in the trash: /t/DF1.L02)",
       "behouden: de bron DF1.L01 is er niet meer (het vervangen bestand blijft in de prullenbak: /t/DF1.L02)"},
      {"1 of 1 files failed.\n\nDF1.L01: empty file (no lines)\nDF: 2.L01: name has no dot",
       "1 van 1 bestand mislukt.\n\nDF1.L01: leeg bestand (geen regels)\nDF: 2.L01: naam heeft geen punt"},
      {"Undo the run of 14:02 that wrote 1,234 DF files with code K22 to /d?",
       "De run van 14:02 ongedaan maken die 1234 DF-bestanden met code K22 naar /d schreef?"},
      {"cannot read: 100%2 sure %1", "kan niet lezen: 100%2 sure %1"},
      {"The source folder /x is no longer there.", "De bronmap /x is er niet meer."},
      {"something the core never says", "something the core never says"},
  };
  for (const auto &row : rows)
    EXPECT_EQ(Translated(row.english), row.dutch) << row.english.toStdString();
}
