#pragma once

// What /? shows, and what follows the refused argument when a command line is refused: the switches
// and the exit codes of each program.

constexpr const wchar_t* InstallerUsage =
    L"KelvorinAppPackSetup.exe [/quiet | /passive] [/dir=FOLDER] [/components=NAME,...] [/log=FILE] "
    L"[/norestart]\n\n"
    L"/quiet: no window and no question; the exit code and the log tell the outcome\n"
    L"/passive: shows the progress only, asks nothing and closes by itself\n"
    L"/dir=FOLDER: the install folder, a full path\n"
    L"/components=NAME,...: any of Ostrel, Glimmerdox, Tindlevault, Blorra, Humbrewave, Jottervale, Cryvane, "
    L"Pebbrack (unless given: the installed ones, else all eight)\n"
    L"/log=FILE: writes what happens to a UTF-8 text file\n"
    L"/norestart: accepted: setup never restarts the computer\n"
    L"/? or /help: this message\n\n"
    L"Exit codes: 0 installed or cancelled; 1 to 6 setup could not start; 7 installation failed; "
    L"8 no component chosen; 112 not enough disk space; 267 the folder cannot be used; "
    L"1618 another installation is running; 1638 a newer version is installed; 1639 invalid command line.";

constexpr const wchar_t* UninstallerUsage =
    L"uninstall.exe [/quiet] [/log=FILE] [/norestart]\n\n"
    L"/quiet: no question and no message; the exit code and the log tell the outcome\n"
    L"/log=FILE: writes what happens to a UTF-8 text file\n"
    L"/norestart: accepted: the uninstaller never restarts the computer\n"
    L"/? or /help: this message\n\n"
    L"Exit codes: 0 removed, or not removed at your answer; 3010 removed, files in use go at the next "
    L"restart; 9 some parts could not be removed; 10 to 12 the uninstaller could not start; "
    L"1618 another installation is running; 1639 invalid command line.";
