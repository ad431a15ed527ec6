#include "conversion/conversion_run.h"

#include "buffer/variable.h"
#include "formats/buffer_file.h"
#include "formats/df/df_file.h"
#include "formats/ma/ma_file.h"
#include "platform/file_system.h"
#include "platform/message.h"

#include <QSet>

#include <exception>
#include <string>

namespace rekoda {

namespace {

constexpr RunControl kLockedControls[] = {RunControl::OptDF,    RunControl::OptMA,
                                          RunControl::CmdStart, RunControl::CmdClose,
                                          RunControl::CmdBestand, RunControl::CmdBestand1};

// Only the space character counts as blank here.
bool isBlank(const QString &text) {
  for (QChar c : text)
    if (c != u' ')
      return false;
  return true;
}

void unlock(ConversionView &view) {
  view.setProgressVisible(false);
  view.setBusyPointer(false);
  for (RunControl c : kLockedControls)
    view.setControlEnabled(c, true);
}

// Message for an exception of unknown kind: the best description we have.
QString describe(const std::exception &e) { return QString::fromLocal8Bit(e.what()); }

}  // namespace

bool IsValidNewCode(const QString &code) {
  // A separator would write outside the destination folder; quotes and commas
  // would not survive the next read of the file.
  for (QChar c : code) {
    if (c == u'\\' || c == u'/' || c == u',' || c == u'"' || c == u'\'' || c.category() == QChar::Other_Control)
      return false;
  }
  return true;
}

void StartClicked(ConversionView &view) {
  try {
    if (isBlank(view.sourceFolder())) {
      ShowMessage(QStringLiteral("Source datapath not found!"), MsgCritical);
      return;
    }
    if (isBlank(view.destinationFolder())) {
      ShowMessage(QStringLiteral("Destination datapath not found!"), MsgCritical);
      return;
    }
    if (isBlank(view.newCode())) {
      ShowMessage(QStringLiteral("No new extension found!"), MsgCritical);
      return;
    }
    if (!IsValidNewCode(view.newCode())) {
      ShowMessage(QStringLiteral("Invalid new extension!"), MsgCritical);
      return;
    }
    const qsizetype rows = view.rowCount();
    if (rows == 0) {
      ShowMessage(QStringLiteral("No rows found for conversion!"), MsgCritical);
      return;
    }
    qint64 selected = 0;
    for (qsizetype i = 1; i <= rows; ++i) {
      if (view.isRowSelected(i))
        ++selected;
      view.setRowResult(i, QString());
    }
    if (selected == 0) {
      ShowMessage(QStringLiteral("No rows select for conversion!"), MsgCritical);
      return;
    }
    view.setProgressMinimum(0);
    view.setProgressValue(0);
    view.setProgressMaximum(selected);
    view.setProgressVisible(true);
  } catch (const std::exception &e) {
    ShowMessage(describe(e), MsgPlain);
    return;
  }
  ConvertFiles(view);
}

void ConvertFiles(ConversionView &view) {
  for (RunControl c : kLockedControls)
    view.setControlEnabled(c, false);
  try {
    view.setSourceFolder(StripTrailingSeparator(view.sourceFolder()));
    view.setDestinationFolder(StripTrailingSeparator(view.destinationFolder()));
    view.setBusyPointer(true);

    // Neither folder can change during the run: their controls are locked.
    const QString source = view.sourceFolder();
    const QString dest = view.destinationFolder();
    const auto sourceId = FileIdentity(source);
    const bool intoSourceFolder = sourceId && sourceId == FileIdentity(dest);
    QSet<QString> writtenThisRun;

    qint64 processed = 0;
    const qsizetype rows = view.rowCount();
    for (qsizetype i = 1; i <= rows && !view.stopRequested(); ++i) {
      if (!view.isRowSelected(i))
        continue;
      const QString name = view.rowText(i);
      const QString inputPath = JoinPath(source, name);
      const bool df = view.isDFFamily();
      const int status = df ? ReadDFFile(inputPath) : ReadMAFile(inputPath);

      bool written = false;
      if (status == ReadOk) {
        // Read once so that the buffer and the file name carry the same code.
        const QString code = view.newCode();
        const std::string codeBytes = code.toLocal8Bit().toStdString();
        if (df) {
          FieldBuffer[1][1] = codeBytes;
        } else {
          for (int r = 1; r <= LineCount; ++r)
            FieldBuffer[static_cast<size_t>(r)][4] = codeBytes;
        }

        // Never destroy an original this run did not create: another file of
        // the source folder, or a file already written by this run.
        bool blocked = false;
        if (const auto out = OutputFilePath(dest, name, code)) {
          if (const auto outId = FileIdentity(*out)) {
            const bool itself = outId == FileIdentity(inputPath);
            blocked = writtenThisRun.contains(*outId) || (intoSourceFolder && !itself);
          }
          if (blocked) {
            ShowMessage(QStringLiteral("Destination file already exists!"), MsgPlain);
          } else {
            written = df ? WriteDFfile(dest, name, code) : WriteMAfile(dest, name, code);
            if (written)
              if (const auto id = FileIdentity(*out))
                writtenThisRun.insert(*id);
          }
        }
      }
      view.setRowResult(i, QString::fromLatin1(written ? kResultOk : kResultFailed));

      ++processed;
      if (processed > view.progressMaximum())
        view.setProgressMaximum(processed);
      view.setProgressValue(processed);
      view.processPendingEvents();
    }
  } catch (const std::exception &e) {
    unlock(view);
    ShowMessage(describe(e), MsgPlain);
    return;
  }
  unlock(view);
}

}  // namespace rekoda
