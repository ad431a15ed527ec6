#pragma once

// POSIX only: included by the files that replace names in a folder.

#include <QString>

namespace rekoda {

// The file at a name, held against other Rekoda processes replacing it
// (flock on the file itself) from the last look at it to the swap that
// replaces it: a run replacing a name and an undo taking it back hold it,
// so that two of them never swap one name at once, which could leave each
// with the other's file. Another program's file is caught as before, by the
// check of the file that came out.
class HeldTarget {
 public:
  HeldTarget() = default;
  ~HeldTarget() { release(); }
  HeldTarget(const HeldTarget &) = delete;
  HeldTarget &operator=(const HeldTarget &) = delete;

  // 0 when the name holds the plain file of that identity, now held;
  // ENOENT when the name is free; EEXIST when anything else stands there
  // (another file, a link, a folder); else the error.
  int hold(int folderFd, const char *name, const QString &identity);
  void release();

 private:
  int fd_ = -1;
};

}  // namespace rekoda
