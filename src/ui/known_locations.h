#pragma once

#include "conversion/locations.h"

#include <QObject>
#include <QStringList>

class QCompleter;
class QLineEdit;
class QPushButton;
class QSettings;
class QStandardItemModel;
class QWidget;

namespace rekoda {

class FileListModel;
class WindowRun;

// The window's register of known locations (locations.csv beside the run
// journals) and the codes used lately: offered in the code box as one
// types, each with the place it names.
class KnownLocations : public QObject {
  Q_OBJECT

 public:
  // settings: where the recent codes are remembered; none: this session's.
  explicit KnownLocations(QSettings *settings, QObject *parent = nullptr);

  // Offers the codes in the box, and the register to the list's Code
  // column and to Start.
  void attach(QLineEdit *codeBox, FileListModel *list, WindowRun *run);
  // The Locations… button, which opens the dialog over parent; it says
  // what is wrong with the register, when something is.
  QPushButton *makeButton(QWidget *parent);
  // The code box's hint: why a code cannot be used, or the place it names.
  QString hint(const QString &code, const QString &problem) const;
  const LocationRegister &known() const { return register_; }
  const Location *find(const QString &code) const { return register_.find(code); }
  // Why the register could not be read, or its bad rows, one a line; empty
  // when all is well.
  QString problems() const;
  // A code a run was started with, offered first from now on.
  void remember(const QString &code);
  // The Locations… dialog; the register as saved there.
  void edit(QWidget *parent);
  // Reads the register again if its file changed since (a teammate's copy
  // saved over it): as the code box takes the focus and as Start checks.
  void refresh();

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

 signals:
  void changed();

 private:
  void read();
  void offer();

  QSettings *settings_;
  LocationRegister register_;
  QString readError_;
  QString stamp_;  // the file as last read: its time and size
  QStringList recent_;
  QStandardItemModel *offered_;
  QCompleter *completer_;
  QPushButton *button_ = nullptr;
};

}  // namespace rekoda
