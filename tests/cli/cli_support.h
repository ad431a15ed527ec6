#pragma once

// rekoda-cli run as a process: what its tests share.

#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QProcess>

#include <gtest/gtest.h>

// The fault shim is an LD_PRELOAD object, built on Linux only.
#ifndef REKODA_FAULT_SHIM
#define REKODA_FAULT_SHIM ""
#endif

namespace rekoda::test {

inline const QByteArray kDF = "L01,MINI,LOGGER\r\n\"01-01-05\",12.5,13.5\r\n";
inline const QByteArray kDFOut = "\"L02\",\"MINI\",\"LOGGER\"\r\n\"01-01-05\",\"12.5\",\"13.5\"\r\n";

struct Result {
  int exit = -1;
  QByteArray out, err;
  QList<QByteArrayList> lines() const {
    QList<QByteArrayList> rows;
    for (const QByteArray &l : out.split('\n'))
      if (!l.isEmpty())
        rows << l.split('\t');
    return rows;
  }
};

inline Result cli(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment()) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(REKODA_CLI, args);
  EXPECT_TRUE(p.waitForFinished(60000));
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
          p.readAllStandardError()};
}

inline QStringList job(const TempFolder &in, const TempFolder &out, const QString &code = "L02") {
  return {"--family", "df", "--code", code, "--from", in.path(), "--to", out.path()};
}

// A file of n lines: an identification line and data rows.
inline QByteArray lines(int n) {
  QByteArray b = "L01,MINI,LOGGER\r\n";
  for (int i = 2; i <= n; ++i)
    b += "1,2\r\n";
  return b;
}

// Every file of a folder, hidden ones too, with its bytes.
inline QMap<QString, QByteArray> snapshot(const QString &folder) {
  QMap<QString, QByteArray> files;
  for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
    files.insert(f.fileName(), readBytes(f.filePath()));
  return files;
}

}  // namespace rekoda::test
