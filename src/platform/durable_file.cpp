#include "platform/durable_file.h"

namespace rekoda {

namespace {

// Hidden (leading dot) so that no "DF*.*" listing ever shows one.
const QString kTempPrefix = QStringLiteral(".rekoda-");
const QString kTempSuffix = QStringLiteral(".tmp");

bool allDigits(QStringView text) {
  if (text.isEmpty() || text.size() > 18)
    return false;
  for (QChar c : text)
    if (c < u'0' || c > u'9')
      return false;
  return true;
}

}  // namespace

QString TemporaryFileName(long long pid, unsigned long long counter) {
  return kTempPrefix + QString::number(pid) + u'-' + QString::number(counter) + kTempSuffix;
}

std::optional<long long> TemporaryFileOwner(const QString &name) {
  if (!name.startsWith(kTempPrefix) || !name.endsWith(kTempSuffix))
    return std::nullopt;
  const QStringView middle = QStringView(name).mid(kTempPrefix.size(),
                                                   name.size() - kTempPrefix.size() - kTempSuffix.size());
  const qsizetype dash = middle.indexOf(u'-');
  if (dash < 0 || !allDigits(middle.left(dash)) || !allDigits(middle.mid(dash + 1)))
    return std::nullopt;
  return middle.left(dash).toLongLong();
}

StagedFile::StagedFile(DestinationFolder &folder, const QString &name) : folder_(folder), name_(name) {}

StagedFile::~StagedFile() { discard(); }

bool StagedFile::refuse(QString *error) {
  if (error)
    *error = QString::fromLatin1(kDestinationExists);
  return false;
}

}  // namespace rekoda
