// Runs one of the wizard's end-to-end scenarios under Wine:
//   wizard-driver.exe SCENARIO WORK INSTALLER [TERMINAL_EXE EXAMPLES]
// SCENARIO is install-full, install-keyboard, install-no-terminal, install-damaged,
// install-planted, install-colon, install-swapped, install-unicode, install-languages,
// uninstall, silent-install,
// silent-uninstall or per-user (with per-user-prepare and per-user-tidy around it); WORK
// the scenario's folder (screenshots go to WORK\shots). Prints one line per step and ends
// with "PASS" or "FAIL: reason"; the same goes to WORK\result.txt, since a program started
// in Wine's virtual desktop cannot hand back its exit code.
#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <map>

#include "e2e/wizard/Driver.h"
#include "e2e/wizard/Scenarios.h"
#include "platform/win32/Win32Text.h"

namespace {

void Report(const std::string& Work, const std::string& Result)
{
    std::printf("%s\n", Result.c_str());
    std::fflush(stdout);
    if (FILE* Out = std::fopen((Work + "\\result.txt").c_str(), "w")) {
        std::fprintf(Out, "%s\n", Result.c_str());
        std::fclose(Out);
    }
}

} // namespace

int main(int Argc, char** Argv)
{
    using TScenario = void (*)(e2e::TMachine&, const e2e::TScenarioArgs&);
    const std::map<std::string, TScenario> Scenarios = {
        {"install-full", e2e::InstallFull},
        {"install-keyboard", e2e::InstallKeyboard},
        {"install-no-terminal", e2e::InstallNoTerminal},
        {"install-damaged", e2e::InstallDamaged},
        {"install-planted", e2e::InstallPlanted},
        {"install-colon", e2e::InstallColon},
        {"install-swapped", e2e::InstallSwapped},
        {"install-unicode", e2e::InstallUnicode},
        {"uninstall", e2e::Uninstall},
        {"install-languages", e2e::InstallLanguages},
        {"silent-install", e2e::SilentInstall},
        {"silent-uninstall", e2e::SilentUninstall},
        {"per-user-prepare", e2e::PerUserPrepare},
        {"per-user", e2e::PerUser},
        {"per-user-tidy", e2e::PerUserTidy},
    };
    if (Argc < 4 || Scenarios.count(Argv[1]) == 0) {
        std::fprintf(stderr, "usage: wizard-driver SCENARIO WORK INSTALLER [TERMINAL_EXE EXAMPLES]\n");
        return 2;
    }
    e2e::TScenarioArgs Args{Argv[2], Argv[3], Argc > 4 ? Argv[4] : "", Argc > 5 ? Argv[5] : ""};
    CreateDirectoryW(qe::win32::Wide(Args.Work + "\\shots").c_str(), nullptr);
    DeleteFileW(qe::win32::Wide(Args.Work + "\\result.txt").c_str());
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::printf("scenario %s\n", Argv[1]);
    int Result = 1;
    try {
        e2e::TMachine Machine;
        Scenarios.at(Argv[1])(Machine, Args);
        Report(Args.Work, "PASS");
        Result = 0;
    } catch (const std::exception& Failure) {
        Report(Args.Work, std::string("FAIL: ") + Failure.what());
    }
    CoUninitialize();
    return Result;
}
