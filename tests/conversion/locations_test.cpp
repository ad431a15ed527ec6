// The register of locations as spreadsheets save it.

#include "conversion/locations.h"
#include "conversion/speaker.h"

#include "test_support.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace rekoda;
using namespace rekoda::test;

namespace {

QStringList problems(const LocationRegister &reg) {
  QStringList out;
  for (const LocationProblem &p : reg.problems)
    out << English(p);
  return out;
}

}  // namespace

TEST(Locations, registersAsSpreadsheetsSaveThem) {
  const std::vector<Location> two = {{"K22", "Pump station north"}, {"L07", "Harbour west; quay 2"}};
  struct Row {
    const char *what;
    QByteArray csv;
    std::vector<Location> rows;
    QStringList problems;
  };
  const Row table[] = {
      {"LibreOffice, English: commas, LF, a header, quotes only where needed",
       "Code,Location\nK22,Pump station north\nL07,Harbour west; quay 2\n", two, {}},
      {"Excel, English, CSV UTF-8: a byte-order mark and CRLF",
       "\xEF\xBB\xBF" "Code,Location\r\nK22,Pump station north\r\nL07,Harbour west; quay 2\r\n", two, {}},
      {"Excel, German: semicolons, a quoted semicolon, no header, lower case, Windows-1252",
       "k22;Pump station north\r\nL07;\"Harbour west; quay 2\"\r\nS\xDC" "D;S\xFC" "dhafen \x96 Kai 1\r\n",
       {two[0], two[1], {"S\xC3\x9C" "D", "S\xC3\xBC" "dhafen \xE2\x80\x93 Kai 1"}}, {}},
      {"LibreOffice, Dutch: semicolons, commas in names unquoted, a trailing note column, empty rows",
       "Locatiecode;Locatie;Opmerking\nK22;Pump station north;\n;;\nL07;Harbour west, quay 2;new\n\n",
       {two[0], {"L07", "Harbour west, quay 2"}}, {}},
      {"quotes inside quotes and a line end inside a name",
       "K22,\"Pump \"\"north\"\"\"\nL07,\"Harbour\nwest\"\nM01,Mill\n",
       {{"K22", "Pump \"north\""}, {"L07", "Harbour\nwest"}, {"M01", "Mill"}}, {}},
      {"bad rows are named by their line, the rest taken",
       "Code,Location\nK22,Pump station north\n,Nameless\nK/2,Slash\nK22,Elsewhere\nK22,Pump station north\n"
       "L07,\"Harbour\n",
       {two[0]},
       {"line 3: no code for \"Nameless\"", "line 4: K/2 cannot be a code: '/' cannot be part of a file name",
        "line 5: K22 is given twice (first as \"Pump station north\")", "line 7: a quote is not closed"}},
      {"a header alone", "\xEF\xBB\xBF" "Code;Location\r\n", {}, {}},
  };
  for (const Row &row : table) {
    SCOPED_TRACE(row.what);
    const LocationRegister reg = ParseLocations(row.csv);
    EXPECT_EQ(reg.rows, row.rows);
    EXPECT_EQ(problems(reg), row.problems);
    // What the window saves reads back the same, whatever it holds.
    EXPECT_EQ(ParseLocations(LocationsCsv(reg.rows)).rows, reg.rows);
  }
}

TEST(Locations, savedWholeOverTheOldAndReadBack) {
  TempFolder dir;
  const QString path = dir.file("sub/locations.csv");
  Status error;
  ASSERT_TRUE(ReadLocations(path, &error)->isEmpty());
  ASSERT_TRUE(SaveLocations(path, {{"K22", "North"}}).ok());
  ASSERT_TRUE(SaveLocations(path, {{"K22", "North"}, {"L07", "West, \"2\""}}).ok());
  EXPECT_EQ(ReadLocations(path)->rows, (std::vector<Location>{{"K22", "North"}, {"L07", "West, \"2\""}}));
  // No temporary left beside it.
  EXPECT_EQ(QDir(dir.file("sub")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"locations.csv"});
  EXPECT_FALSE(ReadLocations(dir.write("big.csv", QByteArray(5 << 20, 'x')), &error));
  EXPECT_FALSE(error.ok());
}
