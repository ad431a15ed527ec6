#pragma once

#include <QTreeWidget>

namespace rekoda {

// A folder tree in the manner of the old drive/folder pickers: the folders
// from the volume's root down to the current folder, and the sub-folders of
// the current folder. A click only highlights; a double click or Enter opens
// a folder and makes it current. Filled synchronously.
class DirTree : public QTreeWidget {
  Q_OBJECT

 public:
  explicit DirTree(QWidget *parent = nullptr);

  // The current folder, with the platform's separators.
  QString path() const { return path_; }
  // Opens a folder; one that does not exist opens its nearest existing
  // parent.
  void setPath(const QString &folder);
  // Reads the current folder again from disk.
  void refresh();

 signals:
  void pathChanged(const QString &path);

 private:
  void rebuild();

  QString path_;
};

// The root of the volume that holds a folder.
QString VolumeRoot(const QString &folder);

// The nearest folder at or above the given one that exists.
QString NearestExistingFolder(const QString &folder);

}  // namespace rekoda
