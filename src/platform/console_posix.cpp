#include "platform/console.h"
#include "platform/interrupted.h"

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
  // Straight to the descriptor, so that a write a signal interrupts (the
  // run finishes the files in hand after SIGINT) goes on where it stopped
  // instead of failing the stream for good.
  errno = 0;
  if (std::fflush(stream) != 0)
    return false;
  const int fd = ::fileno(stream);
  const char *data = utf8.constData();
  for (qsizetype left = utf8.size(); left > 0;) {
    const ssize_t n = Uninterrupted([&] { return ::write(fd, data, size_t(left)); });
    if (n <= 0) {
      if (n == 0)
        errno = EIO;
      return false;
    }
    data += n;
    left -= n;
  }
  return true;
}

QString FromConsoleCodePage(const QByteArray &bytes) { return QString::fromLocal8Bit(bytes); }

}  // namespace rekoda
