#include "common/command_line.h"

#include "common/bounded_text.h"
#include "common/component_table.h"
#include "common/paths.h"

namespace {

// The longest command line the platform starts a program with, and its terminator.
constexpr uint32_t CommandLineCapacity = 32768;
// More than any accepted command line holds: past the switches each program takes, an argument is
// refused anyway, and the refusal's mode is read from the whole line.
constexpr uint32_t MaxArguments = 64;

struct SplitLine {
    wchar_t Text[CommandLineCapacity];
    const wchar_t* Arguments[MaxArguments];
    uint32_t Count;
};

struct SwitchName {
    const wchar_t* Name;
    SwitchBit Bit;
    bool TakesValue;
};

constexpr SwitchName SwitchNames[] = {
    {L"quiet", QuietSwitch, false},          {L"passive", PassiveSwitch, false}, {L"dir", DirSwitch, true},
    {L"components", ComponentsSwitch, true}, {L"log", LogSwitch, true},          {L"norestart", NoRestartSwitch, false},
    {L"?", HelpSwitch, false},               {L"help", HelpSwitch, false},       {L"finish", FinishSwitch, true},
};

constexpr const wchar_t* ProblemTexts[] = {
    L"",
    L"Unknown argument: ",
    L"Given more than once: ",
    L"/quiet and /passive cannot be combined: ",
    L"Missing value: ",
    L"Takes no value: ",
    L"Malformed value: ",
    L"Unknown component: ",
    L"Not a full path: ",
    L"The log cannot be created: ",
    L"The command line cannot be read.",
};
static_assert(sizeof(ProblemTexts) / sizeof(ProblemTexts[0]) == CommandLineUnreadable + 1, "a text for each problem");

bool SplitArguments(const wchar_t* commandLine, SplitLine* out);
const wchar_t* SkipProgramName(const wchar_t* commandLine);
bool IsBlank(wchar_t c);
RunMode ModeNamedAnywhere(const wchar_t* commandLine);
bool StartsWithName(const wchar_t* text, const wchar_t* name);
ArgumentProblem ParseOne(const wchar_t* argument, uint32_t accepted, CommandLine* out);
const SwitchName* FindSwitch(const wchar_t* argument, uint32_t accepted, const wchar_t** value);
RunMode QuieterMode(RunMode mode, const SwitchName* named);
ArgumentProblem ReadFolder(const wchar_t* value, CommandLine* out);
ArgumentProblem ReadComponents(const wchar_t* value, uint32_t* components);
ArgumentProblem ReadFinish(const wchar_t* value, CommandLine* out);
bool ReadDecimal(const wchar_t** cursor, uint32_t* number);
uint32_t FindComponent(const wchar_t* name, uint32_t length);
bool SameNameIgnoringCase(const wchar_t* text, uint32_t length, const wchar_t* name);
bool IsForbiddenInFolder(const wchar_t* value, uint32_t index);

}  // namespace

void ParseArguments(const wchar_t* const* arguments, uint32_t count, uint32_t accepted, CommandLine* out) {
    ::ZeroMemory(out, sizeof(*out));
    out->Components = AllComponents;
    for (uint32_t i = 0; i < count; ++i) {
        ArgumentProblem problem = ParseOne(arguments[i], accepted, out);
        if (problem != NoProblem) {
            out->Problem = problem;
            CopyText(out->ProblemArgument, ArgumentTextCapacity, arguments[i]);
            // A /quiet after the refused argument still forbids the message that would name it.
            for (uint32_t rest = i + 1; rest < count; ++rest) {
                const wchar_t* value = nullptr;
                out->Mode = QuieterMode(out->Mode, FindSwitch(arguments[rest], accepted, &value));
            }
            return;
        }
    }
}

void ReadCommandLine(const wchar_t* commandLine, uint32_t accepted, CommandLine* out) {
    if (commandLine == nullptr) {
        ParseArguments(nullptr, 0, accepted, out);
        return;
    }
    SplitLine split;
    if (SplitArguments(commandLine, &split)) {
        ParseArguments(split.Arguments, split.Count, accepted, out);
    } else {
        ParseArguments(nullptr, 0, accepted, out);
        out->Problem = CommandLineUnreadable;
    }
    // Only a refused line: an accepted one was read whole, and a folder may hold " -quiet".
    if (out->Problem != NoProblem) {
        const RunMode named = ModeNamedAnywhere(commandLine);
        out->Mode = named > out->Mode ? named : out->Mode;
    }
}

void ComposeProblemLine(const CommandLine& commandLine, wchar_t* out, uint32_t capacity) {
    CopyText(out, capacity, ProblemTexts[commandLine.Problem]);
    AppendText(out, capacity, commandLine.ProblemArgument);
}

namespace {

// The platform's splitting (CommandLineToArgvW), but for the quote, which only groups: no backslash
// escapes it and two in a row give none. False when the line is longer than any the platform starts.
bool SplitArguments(const wchar_t* commandLine, SplitLine* out) {
    out->Count = 0;
    const wchar_t* c = SkipProgramName(commandLine);
    uint32_t length = 0;
    for (;;) {
        while (IsBlank(*c)) {
            ++c;
        }
        if (*c == L'\0' || out->Count == MaxArguments) {
            return true;
        }
        out->Arguments[out->Count++] = out->Text + length;
        bool quoted = false;
        for (; *c != L'\0' && (quoted || !IsBlank(*c)); ++c) {
            if (*c == L'"') {
                quoted = !quoted;
            } else if (length + 1 < CommandLineCapacity) {
                out->Text[length++] = *c;
            } else {
                return false;
            }
        }
        out->Text[length++] = L'\0';
    }
}

// The program's name ends at its closing quote when it starts with one (a quote there cannot be
// escaped), else at the first space or tab.
const wchar_t* SkipProgramName(const wchar_t* commandLine) {
    const wchar_t* c = commandLine;
    if (*c == L'"') {
        for (++c; *c != L'\0' && *c != L'"'; ++c) {
        }
        if (*c == L'"') {
            ++c;
        }
    }
    while (*c != L'\0' && !IsBlank(*c)) {
        ++c;
    }
    return c;
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// The quietest mode that a switch anywhere in the raw line names, even inside a refused value or with a
// value of its own: where someone asked that nothing be shown, a refusal shows nothing.
RunMode ModeNamedAnywhere(const wchar_t* commandLine) {
    RunMode mode = WizardMode;
    for (const wchar_t* c = commandLine; *c != L'\0'; ++c) {
        const bool startsWord = c == commandLine || IsBlank(c[-1]) || c[-1] == L'"';
        if (!startsWord || (*c != L'/' && *c != L'-')) {
            continue;
        }
        if (StartsWithName(c + 1, L"quiet")) {
            mode = QuietMode;
        } else if (StartsWithName(c + 1, L"passive") && mode == WizardMode) {
            mode = PassiveMode;
        }
    }
    return mode;
}

// The text starts with the name, in any case, followed by the end of its word or by an '='.
bool StartsWithName(const wchar_t* text, const wchar_t* name) {
    uint32_t i = 0;
    for (; name[i] != L'\0'; ++i) {
        if (LowerAscii(text[i]) != name[i]) {
            return false;
        }
    }
    return text[i] == L'\0' || IsBlank(text[i]) || text[i] == L'"' || text[i] == L'=';
}

ArgumentProblem ParseOne(const wchar_t* argument, uint32_t accepted, CommandLine* out) {
    const wchar_t* value = nullptr;
    const SwitchName* found = FindSwitch(argument, accepted, &value);
    if (found == nullptr) {
        return UnknownSwitch;
    }
    if ((out->Given & found->Bit) != 0) {
        return RepeatedSwitch;
    }
    out->Given |= found->Bit;
    const bool hasValue = value != nullptr;
    if (!found->TakesValue) {
        out->Mode = QuieterMode(out->Mode, found);
        if (hasValue) {
            return UnexpectedValue;
        }
        return (out->Given & (QuietSwitch | PassiveSwitch)) == (QuietSwitch | PassiveSwitch) ? ConflictingSwitch
                                                                                           : NoProblem;
    }
    // An empty list of components is a choice of none, which the installation refuses on its own terms.
    if (!hasValue || (value[0] == L'\0' && found->Bit != ComponentsSwitch)) {
        return MissingValue;
    }
    switch (found->Bit) {
    case DirSwitch:
        return ReadFolder(value, out);
    case ComponentsSwitch:
        return ReadComponents(value, &out->Components);
    case FinishSwitch:
        return ReadFinish(value, out);
    default:
        return CopyText(out->LogPath, ArgumentPathCapacity, value) ? NoProblem : MalformedValue;
    }
}

// The switch the argument names, null for none; *value is what follows its '=', null without one.
const SwitchName* FindSwitch(const wchar_t* argument, uint32_t accepted, const wchar_t** value) {
    *value = nullptr;
    if (argument[0] != L'/' && argument[0] != L'-') {
        return nullptr;
    }
    const wchar_t* name = argument + 1;
    uint32_t nameLength = 0;
    while (name[nameLength] != L'\0' && name[nameLength] != L'=') {
        ++nameLength;
    }
    for (const SwitchName& candidate : SwitchNames) {
        if ((candidate.Bit & accepted) != 0 && SameNameIgnoringCase(name, nameLength, candidate.Name)) {
            if (name[nameLength] == L'=') {
                *value = name + nameLength + 1;
            }
            return &candidate;
        }
    }
    return nullptr;
}

// Of two modes asked for, the one that shows less wins.
RunMode QuieterMode(RunMode mode, const SwitchName* named) {
    const RunMode asked = named == nullptr                ? WizardMode
                          : named->Bit == QuietSwitch     ? QuietMode
                          : named->Bit == PassiveSwitch   ? PassiveMode
                                                          : WizardMode;
    return asked > mode ? asked : mode;
}

// Room is left for the separator the folder gets, as the wizard's folders end in one. A folder too long
// for that is one no file could go into, which the installation refuses as it refuses any such folder.
ArgumentProblem ReadFolder(const wchar_t* value, CommandLine* out) {
    uint32_t length = 0;
    for (; value[length] != L'\0'; ++length) {
        if (IsForbiddenInFolder(value, length)) {
            return MalformedValue;
        }
    }
    if (!IsFullPath(value)) {
        return FolderNotFullPath;
    }
    CopyText(out->Folder, ArgumentPathCapacity, value);
    out->FolderTooLong = length + 2 > ArgumentPathCapacity;
    if (!out->FolderTooLong) {
        EnsureTrailingSeparator(out->Folder);
    }
    return NoProblem;
}

ArgumentProblem ReadComponents(const wchar_t* value, uint32_t* components) {
    *components = 0;
    if (value[0] == L'\0') {
        return NoProblem;
    }
    for (const wchar_t* name = value;; ) {
        uint32_t length = 0;
        while (name[length] != L'\0' && name[length] != L',') {
            ++length;
        }
        if (length == 0) {
            return MalformedValue;
        }
        const uint32_t component = FindComponent(name, length);
        if (component == ComponentCount) {
            return UnknownComponent;
        }
        *components |= 1u << component;
        if (name[length] == L'\0') {
            return NoProblem;
        }
        name += length + 1;
    }
}

// PROCESS,FILE,OUTCOME: three decimal numbers.
ArgumentProblem ReadFinish(const wchar_t* value, CommandLine* out) {
    const wchar_t* cursor = value;
    if (!ReadDecimal(&cursor, &out->FinishProcess) || *cursor++ != L',' ||
        !ReadDecimal(&cursor, &out->FinishFile) || *cursor++ != L',' ||
        !ReadDecimal(&cursor, &out->FinishOutcome) || *cursor != L'\0') {
        return MalformedValue;
    }
    return NoProblem;
}

// At least one digit; false when the number would not fit 32 bits.
bool ReadDecimal(const wchar_t** cursor, uint32_t* number) {
    const wchar_t* at = *cursor;
    uint32_t value = 0;
    for (; *at >= L'0' && *at <= L'9'; ++at) {
        const uint32_t digit = static_cast<uint32_t>(*at - L'0');
        if (value > (0xFFFFFFFFu - digit) / 10) {
            return false;
        }
        value = value * 10 + digit;
    }
    *number = value;
    const bool read = at != *cursor;
    *cursor = at;
    return read;
}

// ComponentCount when no component has the name.
uint32_t FindComponent(const wchar_t* name, uint32_t length) {
    uint32_t component = 0;
    while (component < ComponentCount && !SameNameIgnoringCase(name, length, ComponentNames[component])) {
        ++component;
    }
    return component;
}

bool SameNameIgnoringCase(const wchar_t* text, uint32_t length, const wchar_t* name) {
    uint32_t i = 0;
    for (; i < length; ++i) {
        if (name[i] == L'\0' || LowerAscii(text[i]) != LowerAscii(name[i])) {
            return false;
        }
    }
    return name[i] == L'\0';
}

// Characters no folder name may hold; a colon only after the drive letter.
bool IsForbiddenInFolder(const wchar_t* value, uint32_t index) {
    const wchar_t c = value[index];
    if (c < 32 || c == L'"' || c == L'<' || c == L'>' || c == L'|' || c == L'?' || c == L'*') {
        return true;
    }
    return c == L':' && index != 1;
}

}  // namespace
