#pragma once

#include <QObject>
#include <QString>

namespace rekoda {

// Opens a folder in the desktop's file manager, and says so when no
// program opens folders (a bare window manager, a server with X
// forwarding): the message function gets noOpener.
class FolderOpener : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  void open(const QString &folder, const QString &noOpener);
};

}  // namespace rekoda
