#pragma once

#include <QSet>
#include <QString>

#include <cstddef>
#include <string>

namespace rekoda {

// What a run says of a target it must not replace.
inline constexpr char kDestinationExists[] = "Destination file already exists!";

// The folder a run writes into, held open for the whole run so that every
// file lands in the folder that was chosen, and synced once per group of
// files rather than once per file.
class DestinationFolder {
 public:
  DestinationFolder() = default;
  ~DestinationFolder();
  DestinationFolder(const DestinationFolder &) = delete;
  DestinationFolder &operator=(const DestinationFolder &) = delete;

  bool open(const QString &folder, QString *error);
  bool isOpen() const;
  const QString &path() const { return path_; }

  // Removes temporary files left by an interrupted run; never one that a
  // writer, of this process or another, still holds.
  void removeLeftovers();

  // Makes the names put in place since the last sync durable.
  bool sync(QString *error);

 private:
  friend class StagedFile;
  QString path_;
#ifdef _WIN32
  bool open_ = false;
#else
  int fd_ = -1;
  bool unnamedTemporaries_ = false;
#endif
};

// One file on its way into the folder. The bytes go to a temporary file that
// no listing shows; once synced it is put in place under its name in one
// step. Until install() succeeds the target is untouched, and a StagedFile
// that goes away uninstalled leaves nothing behind. The steps are separate
// so that a run can start write-back for many files before it waits on any.
class StagedFile {
 public:
  StagedFile(DestinationFolder &folder, const QString &name);
  ~StagedFile();
  StagedFile(const StagedFile &) = delete;
  StagedFile &operator=(const StagedFile &) = delete;

  bool create(QString *error);
  bool write(const char *data, std::size_t size, QString *error);
  // Asks the system to start writing the data out; syncData() waits for it.
  void startWriteback();
  bool syncData(QString *error);
  bool synced() const { return synced_; }

  // A target that is a link, a folder or anything but a plain file is never
  // written through or replaced, nor a file whose identity is in keep: the
  // reason is then kDestinationExists, and both stay as they were.
  bool install(QString *error, const QSet<QString> *keep = nullptr);
  void discard();

  const QString &name() const { return name_; }
  // What identifies the installed file, as FileIdentity() gives it.
  const QString &identity() const { return identity_; }

 private:
  DestinationFolder &folder_;
  QString name_;
  QString identity_;
#ifdef _WIN32
  void *handle_ = nullptr;
#else
  int fd_ = -1;
#endif
  QString tempName_;  // empty while the temporary file has no name
  bool synced_ = false;
};

// Writes one file whole or not at all: temporary, sync, install, folder sync.
bool WriteFileDurably(const QString &folder, const QString &name, const std::string &bytes,
                      QString *error);

// Tests force named temporary files, even where unnamed ones are available,
// with REKODA_TEST_NAMED_TEMPORARIES=1 in the environment.

}  // namespace rekoda
