// Holds a file open the way other Windows programs do, for the tests:
//   lock_probe PATH none|write MILLISECONDS
// none:  opened for reading, shared with nobody (a scanner, a preview);
// write: opened for writing, reading shared (a logger still writing).
// Prints "held" once the file is open, and closes it after the time given.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

int wmain(int argc, wchar_t **argv) {
  if (argc != 4)
    return 2;
  const bool write = std::wcscmp(argv[2], L"write") == 0;
  HANDLE h = CreateFileW(argv[1], write ? GENERIC_WRITE : GENERIC_READ, write ? FILE_SHARE_READ : 0, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return 1;
  std::puts("held");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(std::wcstol(argv[3], nullptr, 10)));
  CloseHandle(h);
  return 0;
}
