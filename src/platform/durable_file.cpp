#include "platform/durable_file.h"

#include "platform/file_system.h"
#include "platform/trash.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace rekoda {

namespace {

// Hidden (leading dot) so that no "DF*.*" listing ever shows one.
const QString kTempPrefix = QStringLiteral(".rekoda-");
const QString kTempSuffix = QStringLiteral(".tmp");

// A number as QString::number writes it: digits, no sign, no leading zero.
std::optional<unsigned long long> number(QStringView text) {
  if (text.isEmpty() || text.size() > 19 || (text.size() > 1 && text.front() == u'0'))
    return std::nullopt;
  for (QChar c : text)
    if (c < u'0' || c > u'9')
      return std::nullopt;
  return text.toULongLong();
}

// The largest process number the system hands out.
#ifdef _WIN32
constexpr unsigned long long kMaxPid = 0xFFFFFFFFull;
#else
constexpr unsigned long long kMaxPid = 4194304;  // the kernel's PID_MAX_LIMIT
#endif

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
  if (dash < 0)
    return std::nullopt;
  const auto pid = number(middle.left(dash));
  if (!pid || *pid == 0 || *pid > kMaxPid || !number(middle.mid(dash + 1)))
    return std::nullopt;
  return static_cast<long long>(*pid);
}

StagedFile::StagedFile(DestinationFolder &folder, const QString &name) : folder_(folder), name_(name) {}

StagedFile::~StagedFile() { discard(); }

Status StagedFile::refuse() { return Status::Failed(Status::Op::TargetTaken, EEXIST); }

QString StagedFile::targetPath() const { return JoinPath(folder_.path_, name_); }

bool DestinationFolder::stillAtItsPath() const { return identity_ && FileIdentity(path_) == identity_; }

Status StagedFile::install(const QString *replaces, bool toTrash, Replacement *replacement) {
  if (!isWritten() || !synced_)
    return Status::Failed(Status::Op::NotWritten);
  Replacement ignored;
  Replacement &replaced = replacement ? *replacement : ignored;
  struct Release {
    StagedFile &file;
    ~Release() { file.releaseTarget(); }
  } release{*this};
  // A free name needs no look: taking it fails if it is taken.
  bool replacing = false;
  if (replaces) {
    Entry target;
    if (Status held = holdTarget(*replaces, &target); !held.ok())
      return held;
    if (target.kind == EntryKind::Other || (target.kind == EntryKind::Plain && target.identity != *replaces))
      return refuse();
    replacing = target.kind == EntryKind::Plain;
  }
  if (replacing && toTrash)
    return replaceThroughTrash(*replaces, replaced);
  if (Status put = putInPlace(replacing ? replaces : nullptr); !put.ok())
    return put;
  if (replacing)
    replaced.happened = true;
  return {};
}

Status StagedFile::replaceThroughTrash(const QString &replaces, Replacement &replaced) {
  // The old file keeps its name until the new one takes it in one step:
  // a second link to it goes into the trash first.
  const Trashed link = LinkIntoTrash(targetPath(), replaced.beforeTrash);
  if (!link.status.ok())
    return link.status;
  if (link.linked) {
    replaced.trashedAs = link.path;
    if (Status put = putInPlace(&replaces); !put.ok()) {
      DropFromTrash(replaced.trashedAs);  // the old file is still at its name
      replaced.trashedAs.clear();
      return put;
    }
    replaced.happened = true;
    return {};
  }
  // No links here (FAT, exFAT, the Recycle Bin): the old file moves to the
  // trash, and the name, free now, is taken only while it stays free; when
  // that fails, the old file comes back to its name before the run goes on.
  const Trashed moved = MoveToTrash(targetPath(), replaced.beforeTrash);
  if (!moved.status.ok())
    return moved.status;
  replaced.trashedAs = moved.path;
  replaced.happened = true;
  Status put = putInPlace(nullptr);
  if (put.ok())
    return put;
  replaced.putBackFailure = RestoreFromTrash(replaced.trashedAs, targetPath());
  if (replaced.putBackFailure.ok()) {
    replaced.putBack = true;
    replaced.happened = false;
    replaced.trashedAs.clear();
  }
  return put;
}

Status ReplaceFileDurably(const QString &path, const QByteArray &data) {
  const QFileInfo info(path);
  DestinationFolder folder;
  if (Status s = folder.open(QDir::toNativeSeparators(info.absolutePath())); !s.ok())
    return s;
  if (Status s = folder.beginRun({}); !s.ok())
    return s;
  StagedFile file(folder, info.fileName());
  Status s = file.create();
  if (s.ok())
    s = file.write(data.constData(), std::size_t(data.size()));
  if (s.ok())
    s = file.syncData();
  if (!s.ok())
    return s;
  const std::optional<QString> old = FileIdentity(path);
  if (s = file.install(old ? &*old : nullptr); !s.ok())
    return s;
  return folder.sync();
}

}  // namespace rekoda
