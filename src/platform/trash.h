#pragma once

#include "platform/status.h"

#include <QString>

#include <functional>

namespace rekoda {

// The trash as the desktop has it: on Linux the freedesktop trash (the home
// trash for files on the home volume, $topdir/.Trash/$uid or
// $topdir/.Trash-$uid on other volumes such as a USB stick), written by the
// rules a file manager restores from; on Windows the Recycle Bin, which
// Windows keeps on fixed drives only.

// Whether files of this folder can go to a trash instead of being lost,
// decided from those rules (no file is moved to find out).
bool FolderHasTrash(const QString &folder);

// What putting a file in the trash did: where it is now (path), whether it
// was linked there (LinkIntoTrash), or why it failed.
struct Trashed {
  Trashed(const Status &s = {}, const QString &p = {}, bool l = false) : status(s), path(p), linked(l) {}  // NOLINT
  Status status;
  QString path;
  bool linked = false;
};

// Moves a file to the trash (a failure ToTrash, or TrashNote when
// beforeMove said no). beforeMove hears where it is going just before it
// moves (on Windows, which chooses the place itself, just after), and stops
// the move by returning false.
Trashed MoveToTrash(const QString &path, const std::function<bool(const QString &trashedAs)> &beforeMove = {});

// Puts a second link to a file into the trash, with its note, while the
// file keeps its name: a new file then takes the name in one step, and the
// name never stands empty. linked stays false, and nothing is done, where
// the volume has no hard links (FAT, exFAT, the Recycle Bin): then
// MoveToTrash.
Trashed LinkIntoTrash(const QString &path, const std::function<bool(const QString &trashedAs)> &beforeLink = {});
// Takes a file and its note out of the trash for good: the link that
// LinkIntoTrash made, once the file it links to has stayed at its name.
void DropFromTrash(const QString &trashedAs);

// Brings a file back from the trash to its name, only while that name is
// free (else NameTaken), and takes its note out of the trash so that no
// stale entry stays. A name that holds the trashed file itself (a link into
// the trash whose replace never came) keeps it, and the trash lets it go.
// A trashed file that is no longer there has its note removed (NotInTrash).
Status RestoreFromTrash(const QString &trashedAs, const QString &path);

// Brings a file back from the trash over the file at its name in one step,
// only while that is still the file of the given identity (the run's
// output that undo takes away): the name never stands empty. That file is
// gone after (RestoreLeft: the file is back, but that one stays in the
// trash's place).
Status RestoreOver(const QString &trashedAs, const QString &path, const QString &identity);

}  // namespace rekoda
