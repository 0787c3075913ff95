#pragma once

#include <cstdint>

constexpr uint32_t ComponentCount = 8;
constexpr uint32_t UninstallerIndex = ComponentCount;

// Names of the pack's programs in payload order, shared by the installer and the uninstaller so the
// two cannot drift. Component n is payload entry n + 1; the uninstaller's base name comes last.
constexpr const wchar_t* ComponentNames[ComponentCount + 1] = {
    L"Ostrel", L"Glimmerdox", L"Tindlevault", L"Blorra",
    L"Humbrewave", L"Jottervale", L"Cryvane", L"Pebbrack",
    L"Uninstall",
};
