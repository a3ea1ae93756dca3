// Building command lines for host.Run. Under Wine a Linux program started
// through CreateProcess runs, but Wine hands back no process handle, so the
// host cannot wait for it or read its exit code. The host therefore starts
// such commands through /bin/sh, which writes the exit code to a status file
// the host watches. Pure string work, tested directly.
#pragma once

#include <string>

// The first word of a command line (quotes removed).
std::wstring FirstWordOf(const std::wstring& commandLine);

// True when the command's program is a Linux path ("/usr/bin/paplay ...").
bool IsUnixProgramCommand(const std::wstring& commandLine);

// Quotes one argument so the usual Windows command-line splitting (the one
// Wine also uses to build a Linux program's argv) gives it back unchanged.
std::wstring QuoteWindowsArgument(const std::wstring& arg);

// Quotes one word for /bin/sh: single quotes, embedded ones as '\''.
std::wstring QuoteShellWord(const std::wstring& word);

// The command line that runs `shellCommand` with /bin/sh. With a status file
// (a Linux path), the shell writes the command's exit code to
// `statusFile`.tmp and then renames it, so a reader never sees half a number.
std::wstring BuildShellCommandLine(const std::wstring& shellCommand, const std::wstring& unixStatusFile);

// Reads the exit code a status file holds ("0\n" ... "255\n"); false if the
// text is not a number.
bool ParseExitStatus(const std::string& text, int& code);
