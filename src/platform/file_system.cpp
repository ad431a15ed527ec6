#include "platform/file_system.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <direct.h>
#else
#include <sys/stat.h>
#include <sys/types.h>
#endif

namespace rekoda {

QChar PathSeparator() { return QDir::separator(); }

static bool isSeparator(QChar c) {
#ifdef Q_OS_WIN
  return c == u'\\' || c == u'/';
#else
  return c == u'/';
#endif
}

bool EndsWithSeparator(const QString &path) { return !path.isEmpty() && isSeparator(path.back()); }

QString JoinPath(const QString &folder, const QString &name) {
  if (folder.isEmpty() || EndsWithSeparator(folder))
    return folder + name;
  return folder + PathSeparator() + name;
}

QString StripTrailingSeparator(const QString &folder) {
  if (!EndsWithSeparator(folder) || folder.size() == 1)
    return folder;
  return folder.left(folder.size() - 1);
}

bool CreateFolder(const QString &path, QString *error) {
#ifdef Q_OS_WIN
  const int rc = _wmkdir(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()));
#else
  const int rc = ::mkdir(QFile::encodeName(path).constData(), 0777);
#endif
  if (rc == 0)
    return true;
  if (error)
    *error = QString::fromLocal8Bit(std::strerror(errno));
  return false;
}

std::optional<QString> FileIdentity(const QString &path) {
#ifdef Q_OS_WIN
  const QString canonical = QFileInfo(path).canonicalFilePath();
  if (canonical.isEmpty())
    return std::nullopt;
  return canonical.toCaseFolded();
#else
  struct stat st;
  if (::stat(QFile::encodeName(path).constData(), &st) != 0)
    return std::nullopt;
  return QStringLiteral("%1:%2").arg(quint64(st.st_dev)).arg(quint64(st.st_ino));
#endif
}

QStringList ListMatchingFiles(const QString &folder, const QString &pattern) {
  QString wildcard = pattern;
  if (wildcard.endsWith(QLatin1String("*.*")))
    wildcard.chop(2);
  const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(wildcard),
                              QRegularExpression::CaseInsensitiveOption);
  QStringList names;
  QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
  while (it.hasNext()) {
    it.next();
    const QString name = it.fileName();
    if (re.match(name).hasMatch())
      names.append(name);
  }
  std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
  });
  return names;
}

}  // namespace rekoda
