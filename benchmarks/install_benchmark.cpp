// Prints how long each of the nine install steps takes for its own work, a whole installation from
// entering the Progress page to the result text, and the same nine steps run back to back as /quiet
// runs them, as medians of installations into fresh folders; and, run the same way, an upgrade over such
// an installation and an upgrade that fails and is undone.
#include "benchmarks/median.h"
#include "resources/resource_ids.h"
#include "common/exit_code.h"
#include "setup/setup_state.h"
#include "setup/unattended.h"
#include "tests/support/elapsed.h"
#include "tests/support/message_pump.h"
#include "tests/support/scratch_folder.h"
#include "wizard/frame.h"

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Runs = 9;
constexpr uint32_t Steps = 9;

void Press(HWND page) {
    ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(page, IDOK)));
}

// One installation of all eight components through the real frame and its timer. False if it did not
// finish or reported an error.
bool TimeOneInstallation(double stepTimes[Steps], double* whole) {
    SetupState setup(::GetModuleHandleW(nullptr));
    CurrentSetup = &setup;
    if (setup.LoadPayload() != 0) return false;
    ScratchFolder root;  // a fresh folder for every installation
    ::lstrcpyW(setup.InstallFolder, (root / L"Apps\\Kelvorin\\").c_str());
    ::lstrcpyW(setup.StartMenuFolder, (root / L"Programs\\Kelvorin\\").c_str());
    setup.FrameWindow =
        ::CreateDialogParamW(setup.Instance, MAKEINTRESOURCEW(IDD_FRAME), nullptr, FrameDialogProc, 0);
    if (setup.FrameWindow == nullptr || setup.PageWindows[WizardPage::Progress] == nullptr) {
        return false;
    }

    Press(setup.PageWindows[WizardPage::License]);
    Press(setup.PageWindows[WizardPage::Components]);
    LARGE_INTEGER started, after;
    ::QueryPerformanceCounter(&started);
    Press(setup.PageWindows[WizardPage::Folder]);
    MessagePump pump(setup);
    pump.OnStepTick = [&](uint32_t step, double milliseconds) {
        if (step < Steps) stepTimes[step] = milliseconds;
    };
    pump.PumpUntil([&] { return setup.State == Finished; }, 20000);
    ::QueryPerformanceCounter(&after);
    *whole = Milliseconds(started, after);
    bool finished = setup.State == Finished && setup.ErrorCount == 0;
    setup.State = Finished;  // an unfinished installation would refuse to close
    ::SendMessageW(setup.FrameWindow, WM_CLOSE, 0, 0);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    CurrentSetup = nullptr;
    return finished;
}

// The nine steps one after the other, without the frame or its timer, into the folders under root.
// False unless the run ended with the exit code expected.
bool TimeOneQuietRun(const ScratchFolder& root, int expected, double* whole) {
    SetupState setup(::GetModuleHandleW(nullptr));
    CurrentSetup = &setup;
    setup.Mode = QuietMode;
    bool completed = setup.LoadPayload() == 0;
    ::lstrcpyW(setup.InstallFolder, (root / L"Apps\\Kelvorin\\").c_str());
    ::lstrcpyW(setup.StartMenuFolder, (root / L"Programs\\Kelvorin\\").c_str());
    LARGE_INTEGER started, ended;
    ::QueryPerformanceCounter(&started);
    completed = completed && RunQuietInstallation(setup) == expected;
    ::QueryPerformanceCounter(&ended);
    *whole = Milliseconds(started, ended);
    CurrentSetup = nullptr;
    return completed;
}

// A first installation into fresh folders, an upgrade over it (every program renamed aside, then
// deleted), and an upgrade that fails at its last program, a folder at Pebbrack's name, and is undone.
bool TimeQuietInstallations(double* first, double* upgrade, double* failed) {
    ScratchFolder root;
    const std::wstring last = root / L"Apps\\Kelvorin\\Pebbrack.exe";
    return TimeOneQuietRun(root, ExitSucceeded, first) && TimeOneQuietRun(root, ExitSucceeded, upgrade) &&
           ::DeleteFileW(last.c_str()) && ::CreateDirectoryW(last.c_str(), nullptr) &&
           TimeOneQuietRun(root, ExitInstallationFailed, failed);
}

}  // namespace

int main() {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    std::vector<double> steps[Steps];
    std::vector<double> wholes;
    for (int run = 0; run < Runs; ++run) {
        double stepTimes[Steps] = {};
        double whole = 0;
        if (!TimeOneInstallation(stepTimes, &whole)) {
            std::printf("Installation %d did not complete\n", run);
            ::CoUninitialize();
            return 1;
        }
        for (uint32_t n = 0; n < Steps; ++n) steps[n].push_back(stepTimes[n]);
        wholes.push_back(whole);
    }
    const char* const names[Steps] = {"Ostrel", "Glimmerdox", "Tindlevault", "Blorra", "Humbrewave",
                                      "Jottervale", "Cryvane", "Pebbrack", "AppPath, uninstaller, entry"};
    for (uint32_t n = 0; n < Steps; ++n) {
        std::printf("Install step %u (%s), its own work (Wine): %.2f ms (median of %d)\n", n, names[n],
                    Median(steps[n]), Runs);
    }
    std::printf("Whole installation, Progress page to result text (Wine): %.0f ms (median of %d)\n",
                Median(wholes), Runs);
    std::vector<double> quiet[3];
    for (int run = 0; run < Runs; ++run) {
        double first = 0, upgrade = 0, failed = 0;
        if (!TimeQuietInstallations(&first, &upgrade, &failed)) {
            std::printf("Quiet installations %d did not end as expected\n", run);
            ::CoUninitialize();
            return 1;
        }
        quiet[0].push_back(first);
        quiet[1].push_back(upgrade);
        quiet[2].push_back(failed);
    }
    std::printf("Whole installation, the nine steps back to back as /quiet runs them (Wine): %.0f ms (median of %d)\n",
                Median(quiet[0]), Runs);
    std::printf("The same over that installation, an upgrade (Wine): %.0f ms (median of %d)\n", Median(quiet[1]), Runs);
    std::printf("An upgrade failing at its last program, undone whole (Wine): %.0f ms (median of %d)\n",
                Median(quiet[2]), Runs);
    ::CoUninitialize();
    return 0;
}
