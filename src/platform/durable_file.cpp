#include "platform/durable_file.h"

#include "platform/file_system.h"
#include "platform/trash.h"

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

bool StagedFile::refuse(QString *error) {
  if (error)
    *error = QString::fromLatin1(kDestinationExists);
  return false;
}

QString StagedFile::targetPath() const { return JoinPath(folder_.path_, name_); }

bool DestinationFolder::stillAtItsPath() const { return identity_ && FileIdentity(path_) == identity_; }

bool StagedFile::install(QString *error, const QString *replaces, bool toTrash, Replacement *replacement) {
  if (!isWritten() || !synced_) {
    if (error)
      *error = QStringLiteral("the file was not written");
    return false;
  }
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
    if (!holdTarget(*replaces, &target, error))
      return false;
    if (target.kind == EntryKind::Other || (target.kind == EntryKind::Plain && target.identity != *replaces))
      return refuse(error);
    replacing = target.kind == EntryKind::Plain;
  }
  if (replacing && toTrash)
    return replaceThroughTrash(*replaces, replaced, error);
  if (!putInPlace(replacing ? replaces : nullptr, error))
    return false;
  if (replacing)
    replaced.happened = true;
  return true;
}

bool StagedFile::replaceThroughTrash(const QString &replaces, Replacement &replaced, QString *error) {
  // The old file keeps its name until the new one takes it in one step:
  // a second link to it goes into the trash first.
  switch (LinkIntoTrash(targetPath(), error, &replaced.trashedAs, replaced.beforeTrash)) {
    case TrashLink::Linked:
      if (!putInPlace(&replaces, error)) {
        DropFromTrash(replaced.trashedAs);  // the old file is still at its name
        replaced.trashedAs.clear();
        return false;
      }
      replaced.happened = true;
      return true;
    case TrashLink::Failed:
      return false;
    case TrashLink::Unsupported:
      break;
  }
  // No links here (FAT, exFAT, the Recycle Bin): the old file moves to the
  // trash, and the name, free now, is taken only while it stays free; when
  // that fails, the old file comes back to its name before the run goes on.
  if (!MoveToTrash(targetPath(), error, &replaced.trashedAs, replaced.beforeTrash))
    return false;
  replaced.happened = true;
  if (putInPlace(nullptr, error))
    return true;
  QString why;
  if (RestoreFromTrash(replaced.trashedAs, targetPath(), &why)) {
    replaced.happened = false;
    replaced.trashedAs.clear();
    if (error)
      *error += QStringLiteral(" (the earlier file is back at its name)");
  } else if (error) {
    *error += QStringLiteral(" (the earlier file stays in the trash: %1: %2)").arg(replaced.trashedAs, why);
  }
  return false;
}

}  // namespace rekoda
