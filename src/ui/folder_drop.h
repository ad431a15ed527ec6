#pragma once

#include <QString>

class QEvent;
class QLineEdit;

namespace rekoda {

// The folder a dropped or named path stands for: itself, or a file's
// folder; empty for one that does not exist.
QString FolderOf(const QString &path);

// The path that typed, pasted or dropped text names: as it stands, in
// quotes, or as a file:// URL (percent-encoded, as a file manager's Copy
// gives it), without the spaces and line end around it.
QString PathFromText(const QString &text);

// A folder dropped on a folder box, or pasted into it, sets it; a file sets
// its folder; pasted text that names none is said. True when the event was
// such a drag, drop or paste, and handled.
bool TakeGivenFolder(QLineEdit *box, QEvent *event);

}  // namespace rekoda
