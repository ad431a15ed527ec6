#include "platform/file_system.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#ifdef Q_OS_WIN
#include <direct.h>
#else
#include <dirent.h>
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

namespace {

// Matches names against a wildcard pattern, letter case ignored. The usual
// "XX*" takes a plain prefix test; anything else goes through a regex.
class NameMatcher {
 public:
  explicit NameMatcher(QString wildcard) {
    if (wildcard.endsWith(QLatin1String("*.*")))
      wildcard.chop(2);
    const QString head = wildcard.left(wildcard.size() - 1);
    if (wildcard.endsWith(u'*') && !head.contains(u'*') && !head.contains(u'?') && !head.contains(u'[')) {
      prefix_ = head;
      simple_ = true;
    } else {
      re_ = QRegularExpression(QRegularExpression::wildcardToRegularExpression(wildcard),
                               QRegularExpression::CaseInsensitiveOption);
    }
  }
  bool matches(const QString &name) const {
    return simple_ ? name.startsWith(prefix_, Qt::CaseInsensitive) : re_.match(name).hasMatch();
  }

 private:
  bool simple_ = false;
  QString prefix_;
  QRegularExpression re_;
};

std::string foldedKey(const QString &name) {
  std::string key;
  key.reserve(static_cast<size_t>(name.size()));
  for (QChar c : name) {
    if (c.unicode() >= 0x80)
      return name.toCaseFolded().toStdString();
    key += static_cast<char>(c.unicode() >= 'A' && c.unicode() <= 'Z' ? c.unicode() + 32 : c.unicode());
  }
  return key;
}

}  // namespace

QStringList ListMatchingFiles(const QString &folder, const QString &pattern) {
  const NameMatcher matcher(pattern);
  QStringList names;
#ifdef Q_OS_UNIX
  // readdir's own file type spares a stat per entry, which matters in
  // folders of tens of thousands of exports.
  const QByteArray dirName = QFile::encodeName(folder);
  DIR *dir = ::opendir(dirName.constData());
  if (!dir)
    return names;
  while (const dirent *e = ::readdir(dir)) {
    if (e->d_name[0] == '.')
      continue;  // hidden, and . and ..
    bool plain = e->d_type == DT_REG;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st;
      plain = ::stat((dirName + '/' + e->d_name).constData(), &st) == 0 && S_ISREG(st.st_mode);
    }
    if (!plain)
      continue;
    QString name = QFile::decodeName(e->d_name);
    if (matcher.matches(name))
      names.append(std::move(name));
  }
  ::closedir(dir);
#else
  QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
  while (it.hasNext()) {
    it.next();
    const QString name = it.fileName();
    if (matcher.matches(name))
      names.append(name);
  }
#endif
  // Case-blind order, as people read a listing; exact order breaks ties.
  // Sorting on byte keys keeps this cheap for tens of thousands of names.
  struct Keyed {
    std::string key;
    qsizetype index;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(static_cast<size_t>(names.size()));
  for (qsizetype i = 0; i < names.size(); ++i)
    keyed.push_back({foldedKey(names[i]), i});
  std::sort(keyed.begin(), keyed.end(), [&names](const Keyed &a, const Keyed &b) {
    const int c = a.key.compare(b.key);
    return c != 0 ? c < 0 : names[a.index] < names[b.index];
  });
  QStringList sorted;
  sorted.reserve(names.size());
  for (const Keyed &k : keyed)
    sorted.append(names[k.index]);
  return sorted;
}

}  // namespace rekoda
