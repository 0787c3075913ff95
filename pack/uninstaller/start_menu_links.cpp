#include "pack/uninstaller/start_menu_links.h"

#include "install/step_strings.h"
#include "pack/uninstaller/file_removal.h"
#include "pack/uninstaller/leftover_files.h"
#include "pack/uninstaller/text.h"
#include "setup/product_texts.h"

#include <objbase.h>
#include <shlobj.h>

namespace {

uint32_t ReadLinkTarget(const wchar_t* link, wchar_t* target);

}  // namespace

RemovalOutcome RemoveStartMenuLinks(const Installation& installation) {
    wchar_t programs[MAX_PATH];
    wchar_t folder[TextCapacity];
    if (::SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs) != S_OK ||
        (CopyText(folder, TextCapacity, programs) & AppendText(folder, TextCapacity, L"\\") &
         AppendText(folder, TextCapacity, MakerName)) == 0) {
        return LeftBehind;
    }
    // Without COM no link can be read, and every link under the pack's name is then taken as its own.
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RemovalOutcome outcome = Removed;
    for (uint32_t component = 0; component < ComponentCount; ++component) {
        wchar_t program[PathCapacity];
        wchar_t link[TextCapacity];
        wchar_t target[PathCapacity];
        if (ComposeComponentPath(installation, component, program) == 0 ||
            (CopyText(link, TextCapacity, folder) & AppendText(link, TextCapacity, L"\\") &
             AppendFileName(link, TextCapacity, ComponentNames[component], L".lnk")) == 0 ||
            (ReadLinkTarget(link, target) != 0 && !SameText(target, program))) {
            continue;
        }
        outcome = WorseOutcome(outcome, RemoveFileNowOrAtRestart(link));
    }
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    // Links an installation cut short had put aside under temporary names.
    wchar_t withSeparator[TextCapacity];
    if (CopyText(withSeparator, TextCapacity, folder) & AppendText(withSeparator, TextCapacity, L"\\")) {
        outcome = WorseOutcome(outcome, RemoveLeftoverFilesIn(withSeparator));
    }
    return WorseOutcome(outcome, RemoveFolderWhenEmpty(folder, outcome));
}

namespace {

// The target path as stored in the link, not resolved: the program may be gone already.
uint32_t ReadLinkTarget(const wchar_t* link, wchar_t* target) {
    IShellLinkW* shellLink = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&shellLink)))) {
        return 0;
    }
    uint32_t read = 0;
    IPersistFile* persistFile = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persistFile)))) {
        read = SUCCEEDED(persistFile->Load(link, STGM_READ)) &&
                       shellLink->GetPath(target, PathCapacity, nullptr, SLGP_RAWPATH) == S_OK
                   ? 1
                   : 0;
        persistFile->Release();
    }
    shellLink->Release();
    return read;
}

}  // namespace
