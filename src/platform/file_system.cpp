#include "platform/file_system.h"

#include "platform/file_name.h"
#include "platform/file_system_internal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace rekoda {

QChar PathSeparator() { return QDir::separator(); }

bool EndsWithSeparator(const QString &path) { return !path.isEmpty() && IsSeparator(path.back()); }

QString JoinPath(const QString &folder, const QString &name) {
  if (folder.isEmpty() || EndsWithSeparator(folder))
    return folder + name;
  return folder + PathSeparator() + name;
}

QString ErrorText(int errnum) { return QString::fromLocal8Bit(std::strerror(errnum)); }

QString FileIdentityText(quint64 volume, quint64 file) {
  return QStringLiteral("%1:%2").arg(volume).arg(file);
}

Status ForEachLine(const QString &path, const std::function<bool(const QByteArray &line, bool last)> &each) {
  QFile file;
  if (Status opened = OpenToRead(file, path); !opened.ok())
    return opened;
  QByteArray pending;
  constexpr qint64 kChunk = qint64{256} * 1024;
  for (;;) {
    const QByteArray chunk = file.read(kChunk);
    if (chunk.isEmpty()) {
      if (file.error() != QFileDevice::NoError)
        return Status::Failed(Status::Op::Read, EIO, path);
      if (!pending.isEmpty())
        each(pending, true);
      return {};
    }
    qsizetype from = 0;
    for (qsizetype end; (end = chunk.indexOf('\n', from)) >= 0; from = end + 1) {
      const bool whole = pending.isEmpty();
      if (!whole)
        pending.append(chunk.constData() + from, end - from);
      if (!each(whole ? chunk.mid(from, end - from) : pending, false))
        return {};
      pending.clear();
    }
    pending.append(chunk.constData() + from, chunk.size() - from);
  }
}

bool SameFolder(const QString &a, const QString &b) {
  const auto id = FileIdentity(a);
  return id && id == FileIdentity(b);
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

std::optional<QStringList> ListMatchingFiles(const QString &folder, const QString &pattern, Status *status) {
  const NameMatcher matcher(pattern);
  QStringList names;
  Status listed =
      ListFileNames(folder, [&matcher](const QString &name) { return matcher.matches(name); }, names);
  if (status)
    *status = listed;
  if (!listed.ok())
    return std::nullopt;
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
    sorted.append(std::move(names[k.index]));
  return sorted;
}

bool IsPseudoFileSystem(const QString &type) {
  static const QStringList pseudo = {
      "proc",     "sysfs",     "devtmpfs",   "devpts",     "cgroup",   "cgroup2",  "securityfs",
      "debugfs",  "tracefs",   "pstore",     "bpf",        "mqueue",   "hugetlbfs", "configfs",
      "fusectl",  "autofs",    "binfmt_misc", "nsfs",      "rpc_pipefs", "efivarfs", "selinuxfs",
      "ramfs",    "squashfs",  "overlay",    "fuse.portal", "fuse.gvfsd-fuse", "fuse.lxcfs"};
  return pseudo.contains(type);
}

namespace {

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
    if (IsPseudoFileSystem(type))
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
