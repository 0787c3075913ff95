// The five dialog templates as the built program carries them, read back byte by byte and compared
// with their tables: a wrong rectangle, style, font or order fails here.
#include "resources/resource_ids.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Control {
    int Id;
    std::wstring Class;
    DWORD Style;
    DWORD ExStyle;
    RECT Box;  // x, y, width, height in dialog units
    std::wstring Text;
};

struct Template {
    int Id;
    bool Extended;
    DWORD Style;
    DWORD ExStyle;
    RECT Box;
    std::wstring MenuClassTitle;  // the three names, joined: all empty here
    std::wstring Font;            // point size, weight, italic, character set and typeface
    std::vector<Control> Controls;
};

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
bool operator==(const Control& a, const Control& b) {
    // Class names are compared as the platform compares them, without case.
    return a.Id == b.Id && ::lstrcmpiW(a.Class.c_str(), b.Class.c_str()) == 0 && a.Style == b.Style &&
           a.ExStyle == b.ExStyle && a.Box == b.Box && a.Text == b.Text;
}
void PrintTo(const Control& c, std::ostream* out) {
    *out << "{" << c.Id << " " << std::string(c.Class.begin(), c.Class.end()) << " style 0x" << std::hex << c.Style
         << " ex 0x" << c.ExStyle << std::dec << " " << c.Box.left << "," << c.Box.top << "," << c.Box.right << ","
         << c.Box.bottom << " \"" << std::string(c.Text.begin(), c.Text.end()) << "\"}";
}

// Walks a DLGTEMPLATE or DLGTEMPLATEEX and its items in the layout the dialog manager reads.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : start_(data), at_(data) {}

    Template Read(int id) {
        Template result = {id};
        result.Extended = Word() == 1 && Word() == 0xFFFF;
        at_ = start_;
        uint32_t count;
        if (result.Extended) {
            at_ += 8;  // version, signature, help id
            result.ExStyle = Dword();
            result.Style = Dword();
        } else {
            result.Style = Dword();
            result.ExStyle = Dword();
        }
        count = Word();
        result.Box = Box();
        result.MenuClassTitle = NameOrOrdinal() + NameOrOrdinal() + NameOrOrdinal();
        if (result.Style & DS_SETFONT) {
            result.Font = std::to_wstring(Word());
            if (result.Extended) {
                result.Font += L" " + std::to_wstring(Word());
                result.Font += L" " + std::to_wstring(Byte());  // italic, then the character set
                result.Font += L" " + std::to_wstring(Byte());
            }
            result.Font += L" " + String();
        }
        for (uint32_t n = 0; n < count; ++n) {
            result.Controls.push_back(ReadControl(result.Extended));
        }
        return result;
    }

private:
    Control ReadControl(bool extended) {
        AlignToDword();
        Control control = {};
        if (extended) {
            at_ += 4;  // help id
            control.ExStyle = Dword();
            control.Style = Dword();
        } else {
            control.Style = Dword();
            control.ExStyle = Dword();
        }
        control.Box = Box();
        control.Id = static_cast<int16_t>(extended ? LOWORD(Dword()) : Word());
        control.Class = ClassName(NameOrOrdinal());
        control.Text = NameOrOrdinal();
        at_ += Word();  // creation data
        return control;
    }

    // The predefined classes travel as ordinals 0x80 to 0x85.
    static std::wstring ClassName(const std::wstring& name) {
        const wchar_t* predefined[] = {L"BUTTON", L"EDIT", L"STATIC", L"LISTBOX", L"SCROLLBAR", L"COMBOBOX"};
        for (int n = 0; n < 6; ++n) {
            if (name == L"#" + std::to_wstring(0x80 + n)) return predefined[n];
        }
        return name;
    }

    std::wstring NameOrOrdinal() {
        if (*reinterpret_cast<const WORD*>(at_) == 0xFFFF) {
            at_ += 2;
            return L"#" + std::to_wstring(Word());
        }
        return String();
    }
    std::wstring String() {
        std::wstring text;
        for (WORD c = Word(); c != 0; c = Word()) text += static_cast<wchar_t>(c);
        return text;
    }
    RECT Box() {
        RECT box;
        box.left = static_cast<int16_t>(Word());
        box.top = static_cast<int16_t>(Word());
        box.right = static_cast<int16_t>(Word());
        box.bottom = static_cast<int16_t>(Word());
        return box;
    }
    BYTE Byte() { return *at_++; }
    WORD Word() {
        WORD value;
        ::CopyMemory(&value, at_, 2);
        at_ += 2;
        return value;
    }
    DWORD Dword() {
        DWORD value;
        ::CopyMemory(&value, at_, 4);
        at_ += 4;
        return value;
    }
    void AlignToDword() { at_ = start_ + ((at_ - start_ + 3) & ~3); }

    const BYTE* start_;
    const BYTE* at_;
};

bool ReadTemplate(int id, Template* result) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const BYTE* data = loaded != nullptr ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (data == nullptr) return false;
    *result = TemplateReader(data).Read(id);
    return true;
}

constexpr DWORD Shown = WS_CHILD | WS_VISIBLE;
constexpr DWORD DefaultButton = Shown | BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr DWORD PushButton = Shown | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD Text = Shown | SS_LEFT | WS_GROUP;
constexpr DWORD Checkbox = Shown | BS_AUTOCHECKBOX | WS_TABSTOP;
const Control PageIcon = {-1, L"STATIC", Shown | SS_ICON, 0, {7, 7, 20, 20}, L"#101"};
const Control Forward = {IDOK, L"BUTTON", DefaultButton, 0, {223, 141, 50, 14}, L""};
const Control Cancel = {IDCANCEL, L"BUTTON", PushButton, 0, {7, 141, 50, 14}, L""};
const Control Back = {IDC_BACK, L"BUTTON", PushButton, 0, {170, 141, 50, 14}, L""};
constexpr RECT WholeFrame = {0, 0, 280, 162};
constexpr DWORD PageStyle = WS_CHILD | DS_SETFONT;

Control Box(int id, const wchar_t* className, DWORD style, RECT box, DWORD exStyle = 0) {
    return {id, className, style, exStyle, box, L""};
}

const Template Expected[] = {
    {IDD_FRAME, false, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT, 0, WholeFrame, L"",
     L"8 Microsoft Sans Serif", {}},
    {IDD_LICENSE_PAGE, false, PageStyle, 0, WholeFrame, L"", L"8 Microsoft Sans Serif",
     {PageIcon, Forward, Cancel,
      Box(IDC_LICENSE_TEXT, L"EDIT", Shown | ES_MULTILINE | ES_READONLY | WS_BORDER, {7, 33, 266, 101}),
      Box(IDC_LICENSE_INTRO, L"STATIC", Text, {37, 8, 236, 18})}},
    {IDD_COMPONENTS_PAGE, true, PageStyle, 0, WholeFrame, L"", L"8 0 0 0 Microsoft Sans Serif",
     {PageIcon, Forward,
      Box(IDC_COMPONENT_FIRST, L"BUTTON", Checkbox, {26, 45, 60, 10}),
      Box(IDC_COMPONENT_FIRST + 1, L"BUTTON", Checkbox, {111, 45, 60, 10}),
      Box(IDC_COMPONENT_FIRST + 2, L"BUTTON", Checkbox, {198, 45, 60, 10}),
      Box(IDC_COMPONENT_FIRST + 3, L"BUTTON", Checkbox, {26, 62, 60, 10}),
      Box(IDC_COMPONENT_FIRST + 4, L"BUTTON", Checkbox, {111, 62, 60, 10}),
      Box(IDC_COMPONENT_FIRST + 5, L"BUTTON", Checkbox, {198, 62, 60, 10}),
      Box(IDC_COMPONENT_FIRST + 6, L"BUTTON", Checkbox, {26, 79, 60, 10}),
      Box(IDC_COMPONENT_FIRST + 7, L"BUTTON", Checkbox, {111, 79, 60, 10}),
      Box(IDC_SPARE_CHECKBOX, L"BUTTON", WS_CHILD | BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED, {198, 79, 60, 10}),
      Cancel, Back, Box(IDC_COMPONENTS_INTRO, L"STATIC", Text, {37, 8, 236, 18})}},
    {IDD_FOLDER_PAGE, false, PageStyle, 0, WholeFrame, L"", L"8 Microsoft Sans Serif",
     {PageIcon, Forward, Box(IDC_BROWSE, L"BUTTON", PushButton, {217, 54, 50, 14}), Cancel, Back,
      Box(IDC_DESTINATION_GROUP, L"BUTTON", Shown | BS_GROUPBOX, {7, 44, 266, 31}),
      Box(IDC_FOLDER_TEXT, L"EDIT", Shown | ES_AUTOHSCROLL | ES_READONLY, {13, 57, 199, 12}),
      Box(IDC_FOLDER_INTRO, L"STATIC", Text, {37, 8, 236, 25}),
      Box(IDC_SPACE_REQUIRED, L"STATIC", Text, {13, 88, 121, 9}),
      Box(IDC_SPACE_AVAILABLE, L"STATIC", Text, {13, 100, 121, 9})}},
    {IDD_PROGRESS_PAGE, true, PageStyle, 0, WholeFrame, L"", L"8 0 0 1 Microsoft Sans Serif",
     {PageIcon, Forward, Box(IDC_SHOW_DETAILS, L"BUTTON", PushButton, {7, 32, 50, 14}),
      Box(IDC_DETAILS_LIST, L"LISTBOX", WS_CHILD | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
          {7, 32, 266, 103}, WS_EX_STATICEDGE),
      Box(IDC_STATUS_TEXT, L"STATIC", Text, {37, 8, 236, 9}),
      {IDC_PROGRESS_BAR, L"msctls_progress32", Shown | WS_BORDER, 0, {37, 18, 236, 6}, L"Progress1"}}},
};

// Template order is also the tab order, so the controls are compared as a sequence.
TEST(DialogTemplates, EachTemplateMatchesItsTableControlByControl) {
    for (const Template& expected : Expected) {
        SCOPED_TRACE("template " + std::to_string(expected.Id));
        Template actual;
        ASSERT_TRUE(ReadTemplate(expected.Id, &actual));
        EXPECT_EQ(expected.Extended, actual.Extended);
        EXPECT_EQ(expected.Style, actual.Style);
        EXPECT_EQ(expected.ExStyle, actual.ExStyle);
        EXPECT_TRUE(expected.Box == actual.Box);
        EXPECT_EQ(expected.MenuClassTitle, actual.MenuClassTitle);
        EXPECT_EQ(expected.Font, actual.Font);
        EXPECT_EQ(expected.Controls, actual.Controls);
    }
}

}  // namespace
