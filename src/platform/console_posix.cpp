#include "platform/console.h"

#include "platform/file_name.h"

#include <QtGlobal>

#include <cerrno>
#include <csignal>

#include <unistd.h>

namespace rekoda {

QStringList CommandLineArguments(int argc, char *argv[]) {
  QStringList args;
  for (int i = 1; i < argc; ++i)
    args << DecodeFileName(QByteArray(argv[i]));
  return args;
}

void PrepareStandardStreams() { std::signal(SIGPIPE, SIG_IGN); }

bool IsTerminal(std::FILE *stream) { return ::isatty(::fileno(stream)) != 0; }

bool TerminalErasesLines(std::FILE *stream) {
  return IsTerminal(stream) && qEnvironmentVariable("TERM") != QLatin1String("dumb");
}

void MarkProgramRunning() {}

void AttachToParentConsole() {}

bool WriteText(std::FILE *stream, const QByteArray &utf8) {
  errno = 0;
  return std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stream) == size_t(utf8.size()) &&
         std::fflush(stream) == 0;
}

QString FromConsoleCodePage(const QByteArray &bytes) { return QString::fromLocal8Bit(bytes); }

}  // namespace rekoda
