#pragma once

#include <cerrno>

namespace rekoda {

// A POSIX call made again while a signal interrupts it (EINTR): rekoda-cli
// catches SIGINT, SIGTERM and SIGHUP to finish the files in hand, and a
// network or FUSE file system may be interrupted in any call.
template <class Call>
auto Uninterrupted(Call call) {
  for (;;) {
    const auto rc = call();
    if (rc != -1 || errno != EINTR)
      return rc;
  }
}

}  // namespace rekoda
