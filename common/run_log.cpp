#include "common/run_log.h"

#include "common/bounded_text.h"
#include "common/product_texts.h"

namespace RunLogSeams {
BOOL(WINAPI* FlushFileBuffersCall)(HANDLE) = ::FlushFileBuffers;
}  // namespace RunLogSeams

namespace {

constexpr uint32_t LineBytes = 4096;
// Three UTF-8 bytes at most for each UTF-16 unit, and the CRLF: a line this long always fits.
constexpr uint32_t LineUnits = (LineBytes - 2) / 3;
constexpr uint32_t TextCapacity = 1024;

// The one log of a process: where its last whole line ends, and the error that first cut a line.
struct LogProgress {
    HANDLE File;
    LONGLONG WholeEnd;
    DWORD LostError;
};
LogProgress Progress = {};

bool IsHighSurrogate(wchar_t c);
bool WriteAt(HANDLE log, LONGLONG offset, const char* bytes, uint32_t count);
void SayLinesWereLost(HANDLE log);

}  // namespace

HANDLE OpenRunLog(const wchar_t* path) {
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    Progress = {file, 0, 0};
    return file;
}

void CloseRunLog(HANDLE log) {
    if (log == nullptr) {
        return;
    }
    if (log == Progress.File && Progress.LostError != 0) {
        SayLinesWereLost(log);
    }
    if (log == Progress.File) {
        Progress = {};
    }
    static_cast<void>(::CloseHandle(log));
}

uint32_t WriteLogLine(HANDLE log, const wchar_t* line) {
    if (log == nullptr) {
        return 1;
    }
    // After a lost line the log takes no more: a later line that fits would follow a cut one.
    if (log == Progress.File && Progress.LostError != 0) {
        return 0;
    }
    char bytes[LineBytes];
    const uint32_t count = EncodeLogLine(line, bytes, LineBytes);
    DWORD written = 0;
    DWORD error = 0;
    if (!::WriteFile(log, bytes, count, &written, nullptr)) {
        error = ::GetLastError();
    } else if (written != count) {
        error = ERROR_DISK_FULL;  // a volume that took part of the line
    } else if (!RunLogSeams::FlushFileBuffersCall(log)) {
        // Flushed line by line: what a log is for is the run that did not end as planned.
        error = ::GetLastError();
    } else {
        if (log == Progress.File) {
            Progress.WholeEnd += count;
        }
        return 1;
    }
    if (log == Progress.File) {
        Progress.LostError = error != 0 ? error : ERROR_WRITE_FAULT;
    }
    return 0;
}

uint32_t WriteLogText(HANDLE log, const wchar_t* label, const wchar_t* text) {
    wchar_t line[TextCapacity];
    CopyText(line, TextCapacity, label);
    AppendText(line, TextCapacity, text);
    return WriteLogLine(log, line);
}

uint32_t WriteLogNarrowLine(HANDLE log, const char* line) {
    wchar_t wide[TextCapacity];
    if (::MultiByteToWideChar(CP_ACP, 0, line, -1, wide, TextCapacity) == 0) {
        return 0;
    }
    return WriteLogLine(log, wide);
}

void WriteLogHeader(HANDLE log, const wchar_t* role, const wchar_t* commandLine) {
    wchar_t line[TextCapacity];
    CopyText(line, TextCapacity, ProductTitle);
    AppendText(line, TextCapacity, L" ");
    AppendText(line, TextCapacity, ProductVersion);
    AppendText(line, TextCapacity, L" ");
    AppendText(line, TextCapacity, role);
    WriteLogLine(log, line);
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    FormatLogTime(now, line, TextCapacity);
    WriteLogText(log, L"Local time: ", line);
    WriteLogText(log, L"Command line: ", commandLine != nullptr ? commandLine : L"");
}

void WriteLogError(HANDLE log, DWORD error) {
    wchar_t line[TextCapacity];
    // Codes of the platform in decimal, as its documentation lists them; HRESULTs in hexadecimal.
    ::wsprintfW(line, error < 0x10000 ? L"Windows error %lu: " : L"Windows error 0x%08lX: ",
                static_cast<unsigned long>(error));
    const uint32_t start = BoundedLength(line, TextCapacity);
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                          0, line + start, TextCapacity - start, nullptr);
    uint32_t end = start + length;
    while (end > start && (line[end - 1] == L'\r' || line[end - 1] == L'\n' || line[end - 1] == L' ')) {
        --end;
    }
    line[end > start ? end : start - 2] = L'\0';  // without the system's text, only the code
    WriteLogLine(log, line);
}

void WriteLogExitCode(HANDLE log, int exitCode) {
    wchar_t line[32];
    ::wsprintfW(line, L"Exit code: %d", exitCode);
    WriteLogLine(log, line);
}

uint32_t EncodeLogLine(const wchar_t* line, char* out, uint32_t capacity) {
    uint32_t units = BoundedLength(line, LineUnits + 1);
    if (units == LineUnits && IsHighSurrogate(line[units - 1])) {
        --units;  // a pair cut in two would encode as a replacement character
    }
    int count = 0;
    if (units != 0 && capacity > 2) {
        count = ::WideCharToMultiByte(CP_UTF8, 0, line, static_cast<int>(units), out, static_cast<int>(capacity - 2),
                                      nullptr, nullptr);
    }
    out[count] = '\r';
    out[count + 1] = '\n';
    return static_cast<uint32_t>(count) + 2;
}

void FormatLogTime(const SYSTEMTIME& time, wchar_t* out, uint32_t capacity) {
    wchar_t text[32];
    ::wsprintfW(text, L"%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
                time.wSecond);
    CopyText(out, capacity, text);
}

namespace {

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// Cuts the log at the offset and writes the bytes there: 1 when they are all on the disk.
bool WriteAt(HANDLE log, LONGLONG offset, const char* bytes, uint32_t count) {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    DWORD written = 0;
    return ::SetFilePointerEx(log, position, nullptr, FILE_BEGIN) && ::SetEndOfFile(log) &&
           ::WriteFile(log, bytes, count, &written, nullptr) && written == count && ::FlushFileBuffers(log);
}

// After the last whole line, where the cut line stood; on a volume that is still full, in place of the
// lines before it, on a line of its own.
void SayLinesWereLost(HANDLE log) {
    wchar_t line[TextCapacity];
    ::wsprintfW(line, L"\r\nThe log could not be written whole (Windows error %lu): lines are missing from here on.",
                static_cast<unsigned long>(Progress.LostError));
    char bytes[LineBytes];
    const uint32_t count = EncodeLogLine(line, bytes, LineBytes);
    const uint32_t lineBreak = 2;
    if (WriteAt(log, Progress.WholeEnd, bytes + lineBreak, count - lineBreak)) {
        return;
    }
    const LONGLONG room = Progress.WholeEnd > count ? Progress.WholeEnd - count : 0;
    static_cast<void>(WriteAt(log, room, room != 0 ? bytes : bytes + lineBreak, room != 0 ? count : count - lineBreak));
}

}  // namespace
