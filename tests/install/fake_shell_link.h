#pragma once

#include "install/shortcut.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>
#include <vector>

// A link object of the test's own, handed to the shortcut writer through its one seam while it lives,
// for what Wine's object never does: refuse its file interface, or answer with a positive result. It
// notes each call in order and counts the references of its two interfaces apart.
class FakeShellLink : public IShellLinkW {
public:
    HRESULT CreateResult = S_OK;
    HRESULT SetPathResult = S_OK;
    HRESULT QueryResult = S_OK;
    HRESULT SaveResult = S_OK;
    std::vector<std::wstring> Calls;
    LONG LinkReferences = 0;
    LONG FileReferences = 0;

    FakeShellLink() {
        current_ = this;
        ShortcutSeams::CoCreateInstanceCall = Create;
    }
    ~FakeShellLink() { ShortcutSeams::CoCreateInstanceCall = ::CoCreateInstance; }
    FakeShellLink(const FakeShellLink&) = delete;
    FakeShellLink& operator=(const FakeShellLink&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        Calls.push_back(id == IID_IPersistFile ? L"QueryInterface file" : L"QueryInterface other");
        *object = nullptr;
        if (FAILED(QueryResult)) return QueryResult;
        if (id != IID_IPersistFile) return E_NOINTERFACE;
        ++FileReferences;
        *object = &file_;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++LinkReferences; }
    ULONG STDMETHODCALLTYPE Release() override {
        Calls.push_back(L"Release link");
        return --LinkReferences;
    }
    HRESULT STDMETHODCALLTYPE SetPath(LPCWSTR target) override {
        Calls.push_back(std::wstring(L"SetPath ") + target);
        return SetPathResult;
    }
    HRESULT STDMETHODCALLTYPE GetPath(LPWSTR, int, WIN32_FIND_DATAW*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDescription(LPWSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDescription(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPWSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetArguments(LPWSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetArguments(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetHotkey(WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHotkey(WORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetShowCmd(int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetShowCmd(int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIconLocation(LPWSTR, int, int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetIconLocation(LPCWSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRelativePath(LPCWSTR, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Resolve(HWND, DWORD) override { return E_NOTIMPL; }

private:
    class File : public IPersistFile {
    public:
        explicit File(FakeShellLink& link) : link_(link) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++link_.FileReferences; }
        ULONG STDMETHODCALLTYPE Release() override {
            link_.Calls.push_back(L"Release file");
            return --link_.FileReferences;
        }
        HRESULT STDMETHODCALLTYPE Save(LPCOLESTR path, BOOL remember) override {
            link_.Calls.push_back(std::wstring(L"Save ") + path + (remember ? L" remembered" : L""));
            return link_.SaveResult;
        }
        HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE IsDirty() override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE Load(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR*) override { return E_NOTIMPL; }

    private:
        FakeShellLink& link_;
    };

    static HRESULT WINAPI Create(REFCLSID type, LPUNKNOWN outer, DWORD context, REFIID id, LPVOID* object) {
        FakeShellLink& link = *current_;
        link.Calls.push_back(type == CLSID_ShellLink && outer == nullptr && context == CLSCTX_INPROC_SERVER &&
                                     id == IID_IShellLinkW
                                 ? L"Create"
                                 : L"Create something else");
        *object = nullptr;
        if (FAILED(link.CreateResult)) return link.CreateResult;
        ++link.LinkReferences;
        *object = static_cast<IShellLinkW*>(&link);
        return S_OK;
    }

    static inline FakeShellLink* current_ = nullptr;
    File file_{*this};
};
