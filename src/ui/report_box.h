#pragma once

#include <QString>

class QWidget;

namespace rekoda {

// Asks where to save the report: the suggested path in a box, ready to
// save with Enter or to edit, and Browse… for the file dialog. The file
// dialog is not where it starts: Qt's own one takes seconds to list a
// destination of 100,000 files, and keys typed meanwhile go elsewhere.
// Empty when the user cancels.
QString AskReportPath(QWidget *owner, const QString &suggested);

}  // namespace rekoda
