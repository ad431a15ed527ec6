#pragma once

#include <QString>

namespace rekoda {

// A failed call of the system as a value, as LevelDB's Status is: what was
// being done, the system's error number and the path it was done to. It is
// worded only where it is shown (rekoda-cli's English, the window's
// language), and decisions are taken on its op() and code(), never on words.
class Status {
 public:
  enum class Op : quint8 {
    None,  // no failure
    // The system's own calls; their words are the system's description of
    // the error number.
    Open,
    Read,
    Write,
    Sync,
    Close,
    Rename,
    Link,
    Remove,
    List,
    Lock,
    MakeFolder,  // a folder of Rekoda's own (the journals'): its path said
    CreateFolder,  // the folder the user named
    FolderExists,  // the folder the user named is there already
    // Steps of Rekoda's own, worded as such.
    NotPlain,     // a folder, a pipe, a device, where a file was to be read
    NotWritten,   // a file put in place before it was written and synced
    TargetTaken,  // the name to take or replace holds another file now
    ToTrash,      // the earlier file could not go to the trash
    TrashNote,    // the run's journal could not note where the earlier file goes
    SwapBack,     // another program's file could not be given its name back: it is at path
    FolderHeld,   // another run holds the folder at path
    NotInTrash,   // a file to bring back is no longer in the trash
    NameTaken,    // the name it would come back to holds another file
    RestoreSwapped,  // another file took the name meanwhile and is now in the trash at path
    RestoreLeft,     // back at its name, but what it swapped with stays in the trash
    Closed,          // a journal written to after it was closed
    ReservedName,    // a folder named as Windows names a device: path
  };

  Status() = default;
  // A POSIX error number (errno), or none for Rekoda's own steps.
  static Status Failed(Op op, int code = 0, const QString &path = {}) { return {op, code, false, path}; }
  // A Windows error code (GetLastError()).
  static Status FromWindows(Op op, unsigned long code, const QString &path = {}) {
    return {op, static_cast<int>(code), true, path};
  }

  bool ok() const { return op_ == Op::None; }
  Op op() const { return op_; }
  int code() const { return code_; }
  bool isWindowsCode() const { return windows_; }
  const QString &path() const { return path_; }
  // The same failure, as another step of Rekoda's saw it.
  Status as(Op op) const { return {op, code_, windows_, path_}; }
  bool operator==(const Status &) const = default;

  // Another program holds the file (Windows' sharing and lock violations):
  // what a technician needs to hear, whatever the call was.
  bool inUse() const;
  // The name to create is taken (EEXIST, or Windows' file and folder exists).
  bool nameTaken() const;
  // The system's own description of the error number ("No space left on
  // device"), in the system's language; empty for none.
  QString systemText() const;

 private:
  Status(Op op, int code, bool windows, const QString &path) : op_(op), code_(code), windows_(windows), path_(path) {}
  Op op_ = Op::None;
  int code_ = 0;
  bool windows_ = false;
  QString path_;
};

}  // namespace rekoda
