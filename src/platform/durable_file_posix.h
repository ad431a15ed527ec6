#pragma once

// What a destination folder and a file on its way into it keep on POSIX
// systems: the folder's descriptor, what its file system was found to do,
// and the steps that need them. Only durable_file.h includes this.

#include "platform/held_target_posix.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace rekoda {

struct DestinationFolderSystem {
  bool renameNoReplace(const char *from, const char *to);
  // Puts from at to over exactly the file of that identity: swapped in one
  // step and the file that came out checked (and swapped back if it was
  // not that one), where the file system can swap two names. othersAtFrom:
  // a swap back failed, and from is not the temporary's any more.
  // folder: the folder's path, for the failure.
  Status replaceExactly(const QString &folder, const char *from, const char *to, const QString &identity,
                        bool *othersAtFrom);
  void removeReplaced(const char *name);
  // Another program's file, left at from by a swap that could not be given
  // back, under a name of its own that no clean-up takes; that name.
  QByteArray keepOthersFile(const char *from, const char *to);
  void retryUnremoved();
  std::vector<QByteArray> unremoved_;  // replaced files whose removal failed
  int fd_ = -1;
  bool canExchange_ = true;
  bool volumeSyncs_ = false;  // syncfs writes back and flushes everything here
  bool unnamedTemporaries_ = false;
  bool canRenameNoReplace_ = true;
  bool canLink_ = true;
  bool writebackHints_ = true;  // FUSE passes them on as work, not hints
};

struct StagedFileSystem {
  int fd_ = -1;
  HeldTarget held_;  // the file it replaces, while it is put in place
};

}  // namespace rekoda
