#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  // Run journals and the trash of the window's runs stay in the test's own
  // folder, never the user's.
  QTemporaryDir data;
  qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
#ifdef _WIN32
  QStandardPaths::setTestModeEnabled(true);
#endif
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Rekoda");
  QApplication::setApplicationName("Rekoda");
#ifdef _WIN32
  // Qt's test place outlives the process there: no journal of an earlier run.
  QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)).removeRecursively();
#endif
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
