#include "conversion/listing.h"

#include "formats/buffer_file.h"
#include "platform/file_name.h"
#include "platform/file_system.h"

#include <QSet>

namespace rekoda {

QStringList ExistingOutputs(const ConversionJob &job) {
  QStringList existing;
  const auto names = ListFolderNames(job.dest);
  if (!names)
    return existing;
  QSet<QString> folded;
  for (const QString &n : *names)
    folded.insert(CaseFoldedFileName(n));
  const bool intoSource = SameFolder(job.source, job.dest);
  for (const QString &file : job.files) {
    const auto out = OutputFileName(file, job.code);
    if (!out || !folded.contains(CaseFoldedFileName(*out)))
      continue;
    if (intoSource && *out == file)
      continue;  // rewritten onto itself
    if (PathEntry(JoinPath(job.dest, *out)).kind == EntryKind::Plain)
      existing << *out;
  }
  return existing;
}

}  // namespace rekoda
