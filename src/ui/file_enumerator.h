#pragma once

#include "platform/status.h"

#include <QObject>
#include <QStringList>

namespace rekoda {

// The hidden file list: the plain files of Path whose names match Pattern,
// in ascending order of name. The list is renewed when it is next read, so
// that setting both settings lists the folder once.
class FileEnumerator : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  void setPath(const QString &path);
  void setPattern(const QString &pattern);
  // Forgets the folder: nothing is listed.
  void clear();
  const QStringList &list();
  // Why the folder could not be listed; ok when it could.
  const Status &error() const { return error_; }

 private:
  QString path_;
  QString pattern_ = QStringLiteral("MA*.*");
  QStringList list_;
  Status error_;
  bool stale_ = false;
};

}  // namespace rekoda
