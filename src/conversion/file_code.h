#pragma once

#include "conversion/conversion_job.h"
#include "platform/text_file.h"

#include <QString>
#include <QStringList>

namespace rekoda {

// What a file carries now, as a run would find it: its location code (an MA
// file's records may carry several), or why a run would fail on it. A
// preview only: a run reads each file afresh.
struct FileCode {
  QStringList codes;  // distinct, in the order first met; empty with a problem
  Reason problem;     // why a run would fail on it; None when a run would take it
  FileStamp stamp;    // the file as the read opened it; size -1 when it could not
  bool ok() const { return problem.isNone(); }
  // More than one code (an MA file's records may carry several): a kind of
  // its own, never one code that reads like a word.
  Reason severalCodes() const { return {Reason::Kind::SeveralCodes, codes, codes.size()}; }
};

// Reads the file with the family's own reader. Safe on any thread: each
// thread reads into a buffer of its own.
FileCode ReadFileCode(const QString &folder, const QString &name, Family family);

}  // namespace rekoda
