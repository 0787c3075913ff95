#pragma once

#include <windows.h>

#include <cstdint>

struct FolderPickerRequest {
    HWND Owner;
    uint32_t ExtraFlags;
    const wchar_t* Caption;
    const wchar_t* Prompt;
    const wchar_t* OkText;
    wchar_t* Path;  // at least 260 characters: the starting folder in, the chosen folder out
};

// Runs the shell's folder picker. Nonzero when a folder was chosen and its path stored in Path.
uint32_t BrowseForFolder(FolderPickerRequest* request);

// Sets the caption, the OK text and the starting folder when the picker opens; always 0.
int CALLBACK FolderPickerCallback(HWND window, UINT message, LPARAM parameter, LPARAM data);
