#include "platform/console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

namespace rekoda {

QStringList CommandLineArguments(int, char *[]) {
  int count = 0;
  wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
  QStringList args;
  for (int i = 1; wide && i < count; ++i)
    args << QString::fromWCharArray(wide[i]);
  LocalFree(wide);
  return args;
}

void PrepareStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

bool IsTerminal(std::FILE *stream) { return _isatty(_fileno(stream)) != 0; }

void AttachToParentConsole() {
  // Redirected output is there already; only a bare console needs joining.
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS))
    (void)std::freopen("CONOUT$", "w", stdout);
}

}  // namespace rekoda
