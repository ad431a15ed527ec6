#include "platform/console.h"

#include <QString>

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <cerrno>
#include <string>

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

// The console's mode is the user's: the escape sequences are turned on for
// a write that holds one and off again at once, so that no exit, Ctrl+C or
// kill leaves them on for the shell.
bool TerminalErasesLines(std::FILE *stream) {
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (h == INVALID_HANDLE_VALUE || !GetConsoleMode(h, &mode))
    return false;
  if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING)
    return true;
  if (!SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING))
    return false;
  SetConsoleMode(h, mode);
  return true;
}

bool WriteText(std::FILE *stream, const QByteArray &utf8) {
  errno = 0;
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode)) {
    std::fflush(stream);
    const std::wstring text = QString::fromUtf8(utf8).toStdWString();
    const bool escapes = utf8.contains('\033') && !(mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) &&
                         SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    DWORD written = 0;
    const bool ok = WriteConsoleW(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    if (escapes)
      SetConsoleMode(h, mode);
    if (!ok)
      errno = EIO;
    return ok;
  }
  return std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stream) == size_t(utf8.size()) &&
         std::fflush(stream) == 0;
}

void MarkProgramRunning() {
  // Global reaches an installer in another session; where that is not
  // allowed, the session's own name.
  if (!CreateMutexW(nullptr, FALSE, L"Global\\Rekoda.Running"))
    CreateMutexW(nullptr, FALSE, L"Local\\Rekoda.Running");
}

void AttachToParentConsole() {
  // Redirected output is there already; only a bare console needs joining.
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS))
    (void)std::freopen("CONOUT$", "w", stdout);
}

QString FromConsoleCodePage(const QByteArray &bytes) {
  if (bytes.isEmpty())
    return {};
  const int n = MultiByteToWideChar(CP_OEMCP, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
  std::wstring text(size_t(n), L'\0');
  MultiByteToWideChar(CP_OEMCP, 0, bytes.constData(), int(bytes.size()), text.data(), n);
  return QString::fromStdWString(text);
}

}  // namespace rekoda
