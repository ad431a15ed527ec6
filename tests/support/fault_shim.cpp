// Preloaded into a child process (LD_PRELOAD) to make the system calls of
// the durable writer fail for real, for files in one folder only:
//   REKODA_FAULT       fdatasync | fsync | close | write | rename | link | open
//                      write0:   write() takes nothing and says so (returns 0)
//                      appear:   a link appears at the target just before
//                                the file is given its name
//                      unlocked: a temporary renamed while no run holds
//                                its folder fails (a clean-up could have
//                                taken it)
//                      replaced: another program's file takes an existing
//                                target's name just before a temporary
//                                replaces it
//                      moved:    the folder itself (REKODA_FAULT_DIR) is
//                                another folder to stat() from then on, as
//                                after mv d d.old; mkdir d
//                      rewrite:  a file of the folder is rewritten, same
//                                size, while it is read
//                      syncfs:   a sync of the whole volume fails (another
//                                program's file failed to write back); with
//                                fdatasync, so does every sync of the volume
//                      unlink:   removing a temporary's name fails
//                      resaved:  another program saves its own file under
//                                REKODA_FAULT_NAME at the first sync in the
//                                folder, after the run looked at that name
//                      any:      every call below that writes, names, syncs or
//                                removes in the folders counts (open for
//                                writing, write, fdatasync, fsync, syncfs,
//                                close, rename, link, unlink, mkdir), so
//                                that a test can fail each in turn
//   REKODA_FAULT_TALLY  with any: a file that gets the number of such calls
//                      made, written as the process ends
//   REKODA_FAULT_SWAPBACK  set: every second swap of two names fails (the
//                      swap that would give a name back)
//   REKODA_FAULT_DIR   the folder whose files fail (with any: folders, split
//                      by ':')
//   REKODA_FAULT_SKIP  how many matching calls succeed first (default 0)
//   REKODA_FAULT_COUNT how many fail after those (default: all)
//   REKODA_FAULT_ERRNO the error (default EIO, the error a dying disk or a
//                      lost share gives)

#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>

namespace {

const char *fault() { return std::getenv("REKODA_FAULT"); }

std::string fdPath(int fd) {
  char link[64], target[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = ::readlink(link, target, sizeof target - 1);
  return n < 0 ? std::string() : std::string(target, size_t(n));
}

std::atomic<long> seen{0};

// Whether the n-th matching call (counting from 0) is one to fail.
bool nth(long n) {
  const char *skip = std::getenv("REKODA_FAULT_SKIP");
  const char *count = std::getenv("REKODA_FAULT_COUNT");
  n -= skip ? std::atol(skip) : 0;
  return n >= 0 && (!count || n < std::atol(count));
}

// Whether a path is one of the folders of "any", or in one.
bool inAnyFolder(const std::string &path) {
  const char *dirs = std::getenv("REKODA_FAULT_DIR");
  if (!dirs || path.empty())
    return false;
  const std::string all = dirs;
  for (size_t from = 0; from <= all.size();) {
    const size_t end = std::min(all.find(':', from), all.size());
    const std::string d = all.substr(from, end - from);
    if (!d.empty() && (path == d || path.compare(0, d.size() + 1, d + "/") == 0))
      return true;
    from = end + 1;
  }
  return false;
}

// For "any": whether this call, on this path, fails now.
bool anyFails(const std::string &path) {
  const char *f = fault();
  if (!f || std::strcmp(f, "any") != 0 || !inAnyFolder(path))
    return false;
  return nth(seen++);
}

// Whether a call of this kind on this path should fail now.
bool shouldFail(const char *kind, const std::string &path, bool inside) {
  const char *f = fault();
  const char *dir = std::getenv("REKODA_FAULT_DIR");
  if (!f || !dir || std::strcmp(f, kind) != 0)
    return false;
  const std::string d = dir;
  const bool match = inside ? path.compare(0, d.size() + 1, d + "/") == 0 : path == d;
  if (!match)
    return false;
  return nth(seen++);
}

// A name as a path: itself when absolute, else below its folder.
std::string pathAt(int dirfd, const char *name) {
  if (name[0] == '/')
    return name;
  char cwd[4096];
  const std::string dir = dirfd == AT_FDCWD ? std::string(::getcwd(cwd, sizeof cwd) ? cwd : "") : fdPath(dirfd);
  return dir + "/" + name;
}

struct Tally {
  ~Tally() {
    const char *to = std::getenv("REKODA_FAULT_TALLY");
    if (!to)
      return;
    if (std::FILE *f = std::fopen(to, "w")) {
      std::fprintf(f, "%ld\n", seen.load());
      std::fclose(f);
    }
  }
} tally;

template <class F>
F real(const char *name) {
  return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

int fail() {
  const char *e = std::getenv("REKODA_FAULT_ERRNO");
  errno = e ? std::atoi(e) : EIO;
  return -1;
}

bool isTemporary(const char *name) { return std::strncmp(name, ".rekoda-", 8) == 0; }

// For "appear": someone else's link takes the name first.
void appear(int dirfd, const char *name) {
  if (!isTemporary(name) && shouldFail("appear", fdPath(dirfd), false))
    (void)!::symlinkat("/elsewhere", dirfd, name);  // its own failure shows as the test fails
}

// For "replaced": someone else's file is put at an existing target, whole,
// as a program that saves by rename does.
void replaced(const char *oldpath, int dirfd, const char *name) {
  if (!isTemporary(oldpath) || isTemporary(name) || ::faccessat(dirfd, name, F_OK, AT_SYMLINK_NOFOLLOW) != 0 ||
      !shouldFail("replaced", fdPath(dirfd), false))
    return;
  const int fd = ::openat(dirfd, ".precious", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  (void)!real<ssize_t (*)(int, const void *, size_t)>("write")(fd, "precious\r\n", 10);
  real<int (*)(int)>("close")(fd);
  real<int (*)(int, const char *, int, const char *)>("renameat")(dirfd, ".precious", dirfd, name);
}

// For "unlocked": whether the folder of a temporary about to be renamed is
// still held by a run.
bool unlockedTemporary(int dirfd, const char *name) {
  if (!isTemporary(name) || !fault() || std::strcmp(fault(), "unlocked") != 0)
    return false;
  const int fd = ::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return true;
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  real<int (*)(int)>("close")(fd);
  return free;
}

}  // namespace

extern "C" {

// For "resaved": the file at REKODA_FAULT_NAME is replaced by another
// program's, once, as a program that saves by rename does.
// path: what is being synced, a file in the folder or the folder itself.
void resaved(const std::string &path) {
  static std::atomic<bool> done{false};
  const char *name = std::getenv("REKODA_FAULT_NAME");
  const char *dir = std::getenv("REKODA_FAULT_DIR");
  if (!fault() || std::strcmp(fault(), "resaved") != 0 || !name || !dir ||
      path.compare(0, std::strlen(dir), dir) != 0 || done.exchange(true))
    return;
  const std::string temp = std::string(dir) + "/.precious", target = std::string(dir) + "/" + name;
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  (void)!real<ssize_t (*)(int, const void *, size_t)>("write")(fd, "precious\r\n", 10);
  real<int (*)(int)>("close")(fd);
  ::rename(temp.c_str(), target.c_str());
}

int fdatasync(int fd) {
  resaved(fdPath(fd));
  if (shouldFail("fdatasync", fdPath(fd), true) || anyFails(fdPath(fd)))
    return fail();
  return real<int (*)(int)>("fdatasync")(fd);
}

int syncfs(int fd) {
  resaved(fdPath(fd));
  // A failing disk fails a sync of the whole volume too.
  const char *f = fault();
  const char *dir = std::getenv("REKODA_FAULT_DIR");
  if (f && dir && std::strcmp(f, "fdatasync") == 0 && fdPath(fd) == dir)
    return fail();
  if (shouldFail("syncfs", fdPath(fd), false) || anyFails(fdPath(fd)))
    return fail();
  return real<int (*)(int)>("syncfs")(fd);
}

int fsync(int fd) {
  if (shouldFail("fsync", fdPath(fd), false) || anyFails(fdPath(fd)))
    return fail();
  return real<int (*)(int)>("fsync")(fd);
}

int close(int fd) {
  const bool failIt = fault() && (shouldFail("close", fdPath(fd), true) || anyFails(fdPath(fd)));
  const int rc = real<int (*)(int)>("close")(fd);
  return failIt ? fail() : rc;
}

ssize_t write(int fd, const void *buf, size_t n) {
  if (fault() && (shouldFail("write", fdPath(fd), true) || anyFails(fdPath(fd))))
    return fail();
  if (fault() && shouldFail("write0", fdPath(fd), true))
    return 0;
  return real<ssize_t (*)(int, const void *, size_t)>("write")(fd, buf, n);
}

int renameat(int olddirfd, const char *oldpath, int newdirfd, const char *newpath) {
  if (shouldFail("rename", fdPath(newdirfd), false) || unlockedTemporary(olddirfd, oldpath) ||
      anyFails(pathAt(newdirfd, newpath)))
    return fail();
  replaced(oldpath, newdirfd, newpath);
  return real<int (*)(int, const char *, int, const char *)>("renameat")(olddirfd, oldpath, newdirfd, newpath);
}

int renameat2(int olddirfd, const char *oldpath, int newdirfd, const char *newpath, unsigned flags) {
  if (shouldFail("rename", fdPath(newdirfd), false) || unlockedTemporary(olddirfd, oldpath) ||
      anyFails(pathAt(newdirfd, newpath)))
    return fail();
  static std::atomic<long> swaps{0};
  if ((flags & RENAME_EXCHANGE) && std::getenv("REKODA_FAULT_SWAPBACK") && swaps++ % 2 == 1)
    return fail();
  appear(newdirfd, newpath);
  replaced(oldpath, newdirfd, newpath);
  return real<int (*)(int, const char *, int, const char *, unsigned)>("renameat2")(olddirfd, oldpath, newdirfd,
                                                                                 newpath, flags);
}

int unlinkat(int dirfd, const char *path, int flags) {
  if ((isTemporary(path) && shouldFail("unlink", fdPath(dirfd), false)) || anyFails(pathAt(dirfd, path)))
    return fail();
  return real<int (*)(int, const char *, int)>("unlinkat")(dirfd, path, flags);
}

int linkat(int olddirfd, const char *oldpath, int newdirfd, const char *newpath, int flags) {
  if (shouldFail("link", fdPath(newdirfd), false) || anyFails(pathAt(newdirfd, newpath)))
    return fail();
  appear(newdirfd, newpath);
  return real<int (*)(int, const char *, int, const char *, int)>("linkat")(olddirfd, oldpath, newdirfd,
                                                                          newpath, flags);
}

int openat(int dirfd, const char *path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list ap;
    va_start(ap, flags);
    mode = va_arg(ap, mode_t);
    va_end(ap);
  }
  if ((flags & (O_CREAT | O_TMPFILE)) && shouldFail("open", fdPath(dirfd), false))
    return fail();
  if ((flags & (O_WRONLY | O_RDWR | O_CREAT | O_TMPFILE)) && anyFails(pathAt(dirfd, path)))
    return fail();
  return real<int (*)(int, const char *, int, ...)>("openat")(dirfd, path, flags, mode);
}

int stat(const char *path, struct stat *st) {
  const int rc = real<int (*)(const char *, struct stat *)>("stat")(path, st);
  if (rc == 0 && fault() && shouldFail("moved", path, false))
    st->st_ino += 1;
  return rc;
}

ssize_t read(int fd, void *buf, size_t n) {
  const ssize_t got = real<ssize_t (*)(int, void *, size_t)>("read")(fd, buf, n);
  if (got > 0 && fault() && std::strcmp(fault(), "rewrite") == 0 && shouldFail("rewrite", fdPath(fd), true)) {
    // Written again with the bytes it has: same size, same content, and
    // only the change time tells.
    const int w = ::openat(AT_FDCWD, fdPath(fd).c_str(), O_WRONLY | O_CLOEXEC);
    (void)!real<ssize_t (*)(int, const void *, size_t)>("write")(w, buf, size_t(got));
    real<int (*)(int)>("close")(w);
  }
  return got;
}

// The plain calls, which the trash and the journal use with whole paths.
int rename(const char *from, const char *to) {
  if (anyFails(to))
    return fail();
  return real<int (*)(const char *, const char *)>("rename")(from, to);
}

int link(const char *from, const char *to) {
  if (anyFails(to))
    return fail();
  return real<int (*)(const char *, const char *)>("link")(from, to);
}

int unlink(const char *path) {
  if (anyFails(path))
    return fail();
  return real<int (*)(const char *)>("unlink")(path);
}

int mkdir(const char *path, mode_t mode) {
  if (anyFails(path))
    return fail();
  return real<int (*)(const char *, mode_t)>("mkdir")(path, mode);
}

int open(const char *path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list ap;
    va_start(ap, flags);
    mode = va_arg(ap, mode_t);
    va_end(ap);
  }
  if ((flags & (O_WRONLY | O_RDWR | O_CREAT | O_TMPFILE)) && anyFails(path))
    return fail();
  return real<int (*)(const char *, int, ...)>("open")(path, flags, mode);
}

}  // extern "C"
