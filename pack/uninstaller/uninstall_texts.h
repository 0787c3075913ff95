#pragma once

#include "common/product_texts.h"

// What the uninstaller says, each text defined once. Message boxes carry the product's title.
constexpr const wchar_t* RemoveQuestion = L"Remove Kelvorin App Pack (32-bit) and all of its components?";
constexpr const wchar_t* RemovedMessage = L"Kelvorin App Pack was removed from your computer.";
constexpr const wchar_t* RemovedAtRestartMessage =
    L"Some files of Kelvorin App Pack are in use. They will be removed when you restart your computer.";
constexpr const wchar_t* LeftBehindMessage = L"Some parts of Kelvorin App Pack could not be removed.";
