#include "platform/file_system.h"

#include "platform/file_name.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#ifdef Q_OS_WIN
#include <direct.h>
#include <windows.h>
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
#ifdef Q_OS_WIN
  if (folder.size() == 3 && folder[1] == u':')
    return folder;  // "C:\" is a root
#endif
  return folder.left(folder.size() - 1);
}

QString ErrorText(int errnum) { return QString::fromLocal8Bit(std::strerror(errnum)); }

#ifdef Q_OS_WIN
std::wstring NativePath(const QString &path) { return QDir::toNativeSeparators(path).toStdWString(); }

QString WindowsErrorText(unsigned long code) {
  // The common failures read as they do on Linux (the C runtime's own
  // texts), so that a reason means the same on every technician's machine.
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
      return ErrorText(ENOENT);
    case ERROR_ACCESS_DENIED:
      return ErrorText(EACCES);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ErrorText(ENOSPC);
    case ERROR_TOO_MANY_OPEN_FILES:
      return ErrorText(EMFILE);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return ErrorText(EEXIST);
    case ERROR_DIRECTORY:
      return ErrorText(ENOTDIR);
    default:
      break;
  }
  wchar_t *text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
  QString out = text ? QString::fromWCharArray(text).trimmed() : QStringLiteral("error %1").arg(code);
  LocalFree(text);
  return out;
}
#endif

bool CreateFolder(const QString &path, QString *error) {
#ifdef Q_OS_WIN
  const int rc = _wmkdir(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()));
#else
  const int rc = ::mkdir(EncodeFileName(path).constData(), 0777);
#endif
  if (rc == 0)
    return true;
  if (error)
    *error = errno == EEXIST && QFileInfo(path).isDir() ? QStringLiteral("Folder already exists")
                                                        : ErrorText(errno);
  return false;
}

QString FileIdentityText(quint64 volume, quint64 file) {
  return QStringLiteral("%1:%2").arg(volume).arg(file);
}

std::optional<QString> FileIdentity(const QString &path) {
#ifdef Q_OS_WIN
  HANDLE h = CreateFileW(NativePath(path).c_str(), 0,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool ok = GetFileInformationByHandle(h, &info);
  CloseHandle(h);
  if (!ok)
    return std::nullopt;
  return FileIdentityText(info.dwVolumeSerialNumber,
                          (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
#else
  struct stat st;
  if (::stat(EncodeFileName(path).constData(), &st) != 0)
    return std::nullopt;
  return FileIdentityText(st.st_dev, st.st_ino);
#endif
}

Entry PathEntry(const QString &path) {
#ifdef Q_OS_WIN
  const DWORD attributes = GetFileAttributesW(NativePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return {};
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))
    return {EntryKind::Other, {}};
  return {EntryKind::Plain, FileIdentity(path).value_or(QString())};
#else
  // One lstat: for a plain file it identifies the file as stat would.
  struct stat st;
  if (::lstat(EncodeFileName(path).constData(), &st) != 0)
    return {};
  if (!S_ISREG(st.st_mode))
    return {EntryKind::Other, {}};
  return {EntryKind::Plain, FileIdentityText(st.st_dev, st.st_ino)};
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

std::optional<QStringList> ListMatchingFiles(const QString &folder, const QString &pattern,
                                             QString *error) {
  const NameMatcher matcher(pattern);
  QStringList names;
#ifdef Q_OS_UNIX
  // readdir's own file type spares a stat per entry, which matters in
  // folders of tens of thousands of exports.
  const QByteArray dirName = EncodeFileName(folder);
  DIR *dir = ::opendir(dirName.constData());
  if (!dir) {
    if (error)
      *error = ErrorText(errno);
    return std::nullopt;
  }
  for (;;) {
    errno = 0;
    const dirent *e = ::readdir(dir);
    if (!e) {
      if (errno != 0) {
        const int err = errno;
        ::closedir(dir);
        if (error)
          *error = ErrorText(err);
        return std::nullopt;
      }
      break;
    }
    if (e->d_name[0] == '.')
      continue;  // hidden, and . and ..
    bool plain = e->d_type == DT_REG;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st;
      plain = ::stat((dirName + '/' + e->d_name).constData(), &st) == 0 && S_ISREG(st.st_mode);
    }
    if (!plain)
      continue;
    QString name = DecodeFileName(QByteArray(e->d_name));
    if (matcher.matches(name))
      names.append(std::move(name));
  }
  ::closedir(dir);
#else
  const QFileInfo info(folder);
  if (!info.isDir() || !QDir(folder).isReadable()) {
    if (error)
      *error = !info.exists() ? ErrorText(ENOENT) : !info.isDir() ? ErrorText(ENOTDIR) : ErrorText(EACCES);
    return std::nullopt;
  }
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

namespace {

// File systems that never hold a user's folders.
bool isPseudoFileSystem(const QString &type) {
  static const QStringList pseudo = {
      "proc",     "sysfs",     "devtmpfs",   "devpts",     "cgroup",   "cgroup2",  "securityfs",
      "debugfs",  "tracefs",   "pstore",     "bpf",        "mqueue",   "hugetlbfs", "configfs",
      "fusectl",  "autofs",    "binfmt_misc", "nsfs",      "rpc_pipefs", "efivarfs", "selinuxfs",
      "ramfs",    "squashfs",  "overlay",    "fuse.portal", "fuse.gvfsd-fuse", "fuse.lxcfs"};
  return pseudo.contains(type);
}

constexpr const char *kSystemTrees[] = {"/proc", "/sys", "/dev", "/run", "/boot/efi", "/snap"};

// mountinfo escapes space, tab, newline and backslash as octal.
QString unescapeMountPath(const QByteArray &field) {
  QByteArray out;
  for (qsizetype i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      bool ok = false;
      const int v = field.mid(i + 1, 3).toInt(&ok, 8);
      if (ok) {
        out.append(char(v));
        i += 3;
        continue;
      }
    }
    out.append(field[i]);
  }
  return DecodeFileName(out);
}

}  // namespace

QList<Volume> VolumesFromMountInfo(const QByteArray &mountinfo) {
  QList<Volume> volumes;
  for (const QByteArray &line : mountinfo.split('\n')) {
    // id parent major:minor root mountpoint options [optional...] - type source superoptions
    const QList<QByteArray> f = line.split(' ');
    const qsizetype dash = f.indexOf("-");
    if (f.size() < 5 || dash < 6 || dash + 1 >= f.size())
      continue;
    const QString type = QString::fromLatin1(f[dash + 1]);
    if (isPseudoFileSystem(type))
      continue;
    const QString root = unescapeMountPath(f[4]);
    // The system's own trees are no drives; removable media under /run/media
    // are, whatever their file system.
    const bool systemTree = std::any_of(std::begin(kSystemTrees), std::end(kSystemTrees), [&](const char *t) {
      return root == QLatin1String(t) || root.startsWith(QLatin1String(t) + u'/');
    });
    if (systemTree && !root.startsWith(QLatin1String("/run/media/")))
      continue;
    if (std::none_of(volumes.begin(), volumes.end(), [&](const Volume &v) { return v.root == root; }))
      volumes.append({root, type});
  }
  return volumes;
}

QStringList Drives() {
  QStringList roots;
#ifdef Q_OS_WIN
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i)
    if (mask & (1u << i))
      roots << QString(QChar(u'A' + i)) + QStringLiteral(":\\");
  return roots;
#else
  QFile table(QStringLiteral("/proc/self/mountinfo"));
  if (table.open(QIODevice::ReadOnly)) {
    for (const Volume &v : VolumesFromMountInfo(table.readAll()))
      if (QFileInfo(v.root).isDir())
        roots << v.root;
  } else {
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
      if (v.isValid() && !isPseudoFileSystem(QString::fromLatin1(v.fileSystemType())))
        roots << v.rootPath();
  }
  roots.removeDuplicates();
  std::sort(roots.begin(), roots.end());
  roots.removeAll(QDir::rootPath());
  roots.prepend(QDir::rootPath());
  return roots;
#endif
}

QString VolumeRoot(const QString &folder) {
  const QString root = QDir::toNativeSeparators(QStorageInfo(folder).rootPath());
  return root.isEmpty() ? QDir::toNativeSeparators(QDir::rootPath()) : root;
}

QString NearestExistingFolder(const QString &folder) {
  QString candidate = QDir::cleanPath(QDir::fromNativeSeparators(folder));
  if (candidate.isEmpty())
    return QDir::currentPath();
  candidate = QDir(candidate).absolutePath();
  while (!QFileInfo(candidate).isDir()) {
    const QString parent = QFileInfo(candidate).path();
    if (parent == candidate)
      return QDir::currentPath();
    candidate = parent;
  }
  return candidate;
}

}  // namespace rekoda
