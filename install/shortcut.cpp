#include "install/shortcut.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

namespace ShortcutSeams {
HRESULT(WINAPI* CoCreateInstanceCall)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*) = ::CoCreateInstance;
}  // namespace ShortcutSeams

namespace {

constexpr CLSID ShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID ShellLinkInterface = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID PersistFileInterface = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace

HRESULT CreateShortcut(const wchar_t* target, const wchar_t* link) {
    IShellLinkW* shellLink = nullptr;
    HRESULT result = ShortcutSeams::CoCreateInstanceCall(ShellLinkClass, nullptr, CLSCTX_INPROC_SERVER,
                                                         ShellLinkInterface, reinterpret_cast<void**>(&shellLink));
    if (FAILED(result)) {
        return result;
    }
    // A target that cannot be resolved still gets its link; only saving decides the result.
    shellLink->SetPath(target);
    IPersistFile* persistFile = nullptr;
    result = shellLink->QueryInterface(PersistFileInterface, reinterpret_cast<void**>(&persistFile));
    if (SUCCEEDED(result)) {
        result = persistFile->Save(link, TRUE);
        persistFile->Release();
    }
    shellLink->Release();
    return result;
}
