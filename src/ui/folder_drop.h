#pragma once

#include <QString>

class QEvent;
class QLineEdit;

namespace rekoda {

// The folder a dropped or named path stands for: itself, or a file's
// folder; empty for one that does not exist.
QString FolderOf(const QString &path);

// A folder dropped on a folder box sets it; a dropped file sets its folder.
// True when the event was the box's drag or drop of a folder, and handled.
bool TakeDroppedFolder(QLineEdit *box, QEvent *event);

}  // namespace rekoda
