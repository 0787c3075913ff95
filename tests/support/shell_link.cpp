#include "tests/support/shell_link.h"

#include <objbase.h>
#include <shlobj.h>

std::wstring ResolveLink(const std::wstring& link) {
    std::wstring target;
    IShellLinkW* shellLink = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&shellLink)))) {
        return target;
    }
    IPersistFile* persistFile = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persistFile)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(persistFile->Load(link.c_str(), STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH))) {
            target = path;
        }
        persistFile->Release();
    }
    shellLink->Release();
    return target;
}
