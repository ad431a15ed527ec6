#pragma once

#include <QTreeWidget>

namespace rekoda {

// A folder tree in the manner of the old drive/folder pickers: the folders
// from the volume's root down to the current folder, and the sub-folders of
// the current folder. A click highlights a folder; a double click or Enter
// opens it, listing its sub-folders. Filled synchronously.
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
  // The folder the user has highlighted; the open folder when none is.
  QString highlightedPath() const;

 signals:
  void pathChanged(const QString &path);
  void highlightChanged(const QString &path);

 private:
  void rebuild();

  QString path_;
  bool rebuilding_ = false;
};

}  // namespace rekoda
