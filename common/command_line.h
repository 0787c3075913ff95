#pragma once

#include <windows.h>

#include <cstdint>

// The switches of the installer and the uninstaller. A switch starts with '/' or '-', its name may be
// written in any case, and a value follows an '=' in the same argument. Arguments are split at spaces
// and tabs outside quotes, so a value with spaces is quoted whole or after its '='. A quote only groups:
// no path, name or switch holds one, so a backslash before it is the folder's own, and a folder quoted
// with its trailing backslash ends at its closing quote instead of swallowing the rest of the line.

enum RunMode : uint32_t {
    WizardMode = 0,   // every question asked, as with no argument
    PassiveMode = 1,  // the progress shown, nothing asked, closes by itself
    QuietMode = 2,    // no window at all
};

enum SwitchBit : uint32_t {
    QuietSwitch = 1,
    PassiveSwitch = 2,
    DirSwitch = 4,
    ComponentsSwitch = 8,
    LogSwitch = 16,
    NoRestartSwitch = 32,
    HelpSwitch = 64,
    FinishSwitch = 128,  // the uninstaller's copy that finishes a removal; never typed by a person
};

constexpr uint32_t InstallerSwitches =
    QuietSwitch | PassiveSwitch | DirSwitch | ComponentsSwitch | LogSwitch | NoRestartSwitch | HelpSwitch;
constexpr uint32_t UninstallerSwitches = QuietSwitch | LogSwitch | NoRestartSwitch | HelpSwitch;
// What the uninstaller hands its copy: /finish=PROCESS,FILE,OUTCOME, the folder it is to clear
// besides its own, and /quiet.
constexpr uint32_t RemovalCopySwitches = QuietSwitch | DirSwitch | FinishSwitch;

enum ArgumentProblem : uint32_t {
    NoProblem = 0,
    UnknownSwitch,
    RepeatedSwitch,
    ConflictingSwitch,  // /quiet and /passive together
    MissingValue,
    UnexpectedValue,
    MalformedValue,
    UnknownComponent,
    FolderNotFullPath,
    LogNotCreated,      // found when the log is opened, not by the parser
    CommandLineUnreadable,  // longer than the platform lets a command line be
};

constexpr uint32_t AllComponents = 0xFF;
// A folder or log path, terminator included: what the file functions take without a long-path prefix.
constexpr uint32_t ArgumentPathCapacity = MAX_PATH;
// Enough of an offending argument to recognise it in a message.
constexpr uint32_t ArgumentTextCapacity = 320;

struct CommandLine {
    RunMode Mode;
    uint32_t Given;       // the switches given, as SwitchBit values
    uint32_t Components;  // bit n: component n; all eight unless /components was given
    wchar_t Folder[ArgumentPathCapacity];   // /dir, ending in a backslash
    wchar_t LogPath[ArgumentPathCapacity];  // /log
    uint32_t FinishProcess;  // /finish: the uninstaller's inherited process handle, as a number
    uint32_t FinishFile;     // /finish: the inherited handle to the copy's own file
    uint32_t FinishOutcome;  // /finish: what the uninstaller's removal achieved
    ArgumentProblem Problem;                // the first one found; parsing stops there
    wchar_t ProblemArgument[ArgumentTextCapacity];  // that argument, cut to fit
    // A /dir longer than a folder can be: a folder that cannot be used, not a malformed command line.
    // Folder then holds its start, for the log.
    bool FolderTooLong;
};

// Parses the arguments that follow the program's name, accepting only the switches in accepted.
void ParseArguments(const wchar_t* const* arguments, uint32_t count, uint32_t accepted, CommandLine* out);

// Splits a whole command line, the program's name first, and parses the rest. A null command line has
// no arguments, as a program started by a test in its own process. A refused line that names /quiet or
// /passive anywhere, in any form, is read in that mode, so that its refusal shows no message.
void ReadCommandLine(const wchar_t* commandLine, uint32_t accepted, CommandLine* out);

// The first line of the usage message for a refused command line: what is wrong, and the argument.
void ComposeProblemLine(const CommandLine& commandLine, wchar_t* out, uint32_t capacity);
