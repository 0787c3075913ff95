#pragma once

#include <windows.h>

#include <cstdint>

// The /log file of the installer and the uninstaller: UTF-8 text, one line per call, each line written
// and flushed at once, so that a run that is killed or crashes leaves what it did so far. Every writer
// takes a null log as "no log asked for" and does nothing. A log that cannot be written (a full volume)
// never stops the run: it keeps its whole lines, takes no more, and its closing says so in it.

// The flush, whose absence Wine cannot show (it has every written line on disk at once); tests replace
// it, the product never does.
namespace RunLogSeams {
extern BOOL(WINAPI* FlushFileBuffersCall)(HANDLE);
}  // namespace RunLogSeams

// Creates or replaces the file; null when it cannot be created. Others may read it while it grows.
HANDLE OpenRunLog(const wchar_t* path);
// The last act on a log that lost lines is a line saying so, in place of as many lines before it as
// that takes.
void CloseRunLog(HANDLE log);

// 1 when the line was written whole (a line longer than the log's line buffer is cut to fit); 0 once a
// line of the log has failed.
uint32_t WriteLogLine(HANDLE log, const wchar_t* line);
uint32_t WriteLogText(HANDLE log, const wchar_t* label, const wchar_t* text);
// For the texts the programs keep as 8-bit ASCII literals.
uint32_t WriteLogNarrowLine(HANDLE log, const char* line);

// The product and version with the program's role, the local time and the command line.
void WriteLogHeader(HANDLE log, const wchar_t* role, const wchar_t* commandLine);
// A Windows error code with the system's text for it.
void WriteLogError(HANDLE log, DWORD error);
void WriteLogExitCode(HANDLE log, int exitCode);

// Pure parts, for the tests: the UTF-8 bytes of a line with its CRLF, at most capacity bytes, and the
// local time as the log shows it.
uint32_t EncodeLogLine(const wchar_t* line, char* out, uint32_t capacity);
void FormatLogTime(const SYSTEMTIME& time, wchar_t* out, uint32_t capacity);
