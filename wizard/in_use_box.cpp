#include "wizard/in_use_box.h"

#include "common/bounded_text.h"
#include "common/product_texts.h"
#include "wizard/folder_page.h"

namespace {

constexpr const wchar_t* InUseHeading = L"These programs are in use and must be replaced:\n\n";
constexpr const wchar_t* InUseAdvice =
    L"\nClose them and choose Try Again. Choose Continue to install now: a program still in use is "
    L"replaced, or takes its place at the next restart.";

}  // namespace

bool ConfirmProgramsInUse(SetupState& setup) {
    const uint32_t components = TickedComponents(setup);
    ProgramsInUse found;
    wchar_t text[InUseTextCapacity];
    for (;;) {
        FindProgramsInUse(setup, components, found);
        if (found.Count == 0) {
            return true;
        }
        ComposeInUseText(found, text);
        const int answer = ::MessageBoxW(setup.FrameWindow, text, ProductTitle, MB_CANCELTRYCONTINUE | MB_ICONWARNING);
        if (answer == IDCANCEL) {
            return false;
        }
        // A box that could not be shown asks no one: the installation goes on, as an unattended one does.
        if (answer != IDTRYAGAIN) {
            LogProgramsInUse(setup, found);
            return true;
        }
    }
}

void ComposeInUseText(const ProgramsInUse& found, wchar_t* out) {
    CopyText(out, InUseTextCapacity, InUseHeading);
    for (uint32_t i = 0; i < found.Count; ++i) {
        AppendText(out, InUseTextCapacity, found.Names[i]);
        AppendText(out, InUseTextCapacity, L"\n");
    }
    AppendText(out, InUseTextCapacity, InUseAdvice);
}
