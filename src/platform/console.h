#pragma once

// What a command-line program needs of its system: its arguments as text,
// and its standard streams.

#include <QByteArray>
#include <QStringList>

#include <cstdio>

namespace rekoda {

// The arguments after the program's name, whole: on Windows from the wide
// command line (the ANSI one loses what its code page cannot hold), on
// POSIX as file names are decoded (bytes that are not UTF-8 kept exactly).
QStringList CommandLineArguments(int argc, char *argv[]);

// Lines end in LF on every system; a closed pipe is an error to report,
// not a signal that ends the process.
void PrepareStandardStreams();

bool IsTerminal(std::FILE *stream);

// SIGINT, SIGTERM and SIGHUP (a closed terminal, a dropped session) ask a
// program to stop after the work in hand: the first is noted, a second ends
// the process at once. StopSignal() is the one noted, 0 until then.
void CatchStopSignals();
int StopSignal();

// Whether the terminal behind a stream erases to the end of the line at
// "\033[K"; on Windows, whether the console handles such sequences when
// asked (WriteText asks for each write that holds one, and gives the
// console its mode back after it).
bool TerminalErasesLines(std::FILE *stream);

// Writes UTF-8 text, flushed: to a Windows console as UTF-16 (which shows
// every character whatever the console's code page), elsewhere as it is.
// False, with errno set, when it could not be written.
bool WriteText(std::FILE *stream, const QByteArray &utf8);

// Tells an installer that a Rekoda program runs, so that it does not
// replace the files in use: a named mutex on Windows, held until the
// process ends; nothing elsewhere.
void MarkProgramRunning();

// Text in the console's own code page (the OEM one on Windows, which
// cmd's "dir /b > list.txt" writes); elsewhere the locale's.
QString FromConsoleCodePage(const QByteArray &bytes);

// A window program started from a console writes there (Windows gives a
// window program none of its own).
void AttachToParentConsole();

}  // namespace rekoda
