#include "removal/start_menu_links.h"

#include "common/same_path.h"
#include "common/step_strings.h"
#include "removal/file_removal.h"
#include "removal/leftover_files.h"
#include "removal/text.h"
#include "common/product_texts.h"

#include <objbase.h>
#include <shlobj.h>

namespace {

uint32_t ComposeStartMenuFolder(wchar_t* folder);
uint32_t ReadLinkTarget(const wchar_t* link, wchar_t* target);

}  // namespace

RemovalOutcome RemoveStartMenuLink(const Installation& installation, uint32_t component) {
    wchar_t program[PathCapacity];
    wchar_t link[TextCapacity];
    if (ComposeComponentPath(installation, component, program) == 0 || ComposeStartMenuFolder(link) == 0) {
        return LeftBehind;
    }
    // A link whose path does not fit was never written.
    if ((AppendText(link, TextCapacity, L"\\") &
         AppendFileName(link, TextCapacity, ComponentNames[component], L".lnk")) == 0) {
        return Removed;
    }
    // Without COM no link can be read, and every link under the pack's name is then taken as its own.
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t target[PathCapacity];
    const bool elsewhere = ReadLinkTarget(link, target) != 0 && !SamePath(target, program);
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    return elsewhere ? Removed : RemoveFileNowOrAtRestart(link);
}

RemovalOutcome RemoveStartMenuFolder(RemovalOutcome earlier) {
    wchar_t folder[TextCapacity];
    if (ComposeStartMenuFolder(folder) == 0) {
        return LeftBehind;
    }
    // Links an installation cut short had put aside under temporary names.
    wchar_t withSeparator[TextCapacity];
    if ((CopyText(withSeparator, TextCapacity, folder) & AppendText(withSeparator, TextCapacity, L"\\")) != 0) {
        earlier = WorseOutcome(earlier, RemoveLeftoverFilesIn(withSeparator));
    }
    return WorseOutcome(earlier, RemoveFolderWhenEmpty(folder, earlier));
}

namespace {

uint32_t ComposeStartMenuFolder(wchar_t* folder) {
    wchar_t programs[MAX_PATH];
    return ::SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs) == S_OK &&
                   (CopyText(folder, TextCapacity, programs) & AppendText(folder, TextCapacity, L"\\") &
                    AppendText(folder, TextCapacity, MakerName)) != 0
               ? 1
               : 0;
}

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
