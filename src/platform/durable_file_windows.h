#pragma once

// What a destination folder and a file on its way into it keep on Windows:
// whether the folder is open, and the file's handle. Only durable_file.h
// includes this.

namespace rekoda {

struct DestinationFolderSystem {
  bool open_ = false;
  bool createDenied_ = false;  // creating refused for good, not by a lock
};

struct StagedFileSystem {
  void *handle_ = nullptr;
};

}  // namespace rekoda
