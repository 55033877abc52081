// A console test harness for the install and uninstall runs on the real Windows:
//   engine-run install INSTALLER [TERMINAL_FOLDER ...]
//   engine-run uninstall UNINSTALLER
// print one line per progress step (the percent, a blank and the text); on a failure
// they print the error's message and exit with 1. Helpers for the scenario's checks:
//   engine-run folder ID            the special folder ID, no trailing delimiter
//   engine-run readlink LINK        "target|working folder" read through the shell
//   engine-run regread KEY NAME     a string value below HKEY_LOCAL_MACHINE (exit 1: none)
//   engine-run keyexists KEY        exit 0 when the key exists below HKEY_LOCAL_MACHINE, else 1
//   engine-run times FILE           creation and last-write file times
#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "package/QeClasses.h"
#include "package/QeUninstall.h"
#include "platform/SysFolders.h"
#include "platform/win32/Win32Platform.h"

namespace {

void PrintProgress(qe::TQeData&, const std::string& Text, int32_t Percent)
{
    std::printf("%d %s\n", static_cast<int>(Percent), Text.c_str());
    std::fflush(stdout);
}

int Usage()
{
    std::fprintf(stderr, "usage: engine-run install INSTALLER [TERMINAL_FOLDER ...]\n"
                         "       engine-run uninstall UNINSTALLER\n"
                         "       engine-run folder ID | readlink LINK | regread KEY NAME | keyexists KEY\n"
                         "       engine-run times FILE\n");
    return 2;
}

int Run(const std::vector<std::string>& Args)
{
    qe::win32::TWin32Platform Machine;
    const qe::TPlatform& Platform = Machine.Platform();
    const std::string& Command = Args[0];
    if (Command == "install" && Args.size() >= 2) {
        qe::TQeInstall Install(Platform);
        Install.LoadFromFile(Args[1]);
        Install.TargetFolders.assign(Args.begin() + 2, Args.end());
        Install.OnProgress = PrintProgress;
        Install.Execute();
        return 0;
    }
    if (Command == "uninstall" && Args.size() == 2) {
        qe::TQeUninstall Uninstall(Platform);
        Uninstall.LoadFromFile(Args[1]);
        Uninstall.OnProgress = PrintProgress;
        Uninstall.Execute();
        return 0;
    }
    if (Command == "folder" && Args.size() == 2) {
        std::printf("%s\n", qe::GetSpecialFolder(Platform, std::atoi(Args[1].c_str()), false).c_str());
        return 0;
    }
    if (Command == "readlink" && Args.size() == 2) {
        qe::TShellLinkData Data;
        if (!Platform.Shell->ReadLink(Args[1], Data))
            return 1;
        std::printf("%s|%s\n", Data.Path.c_str(), Data.WorkingDirectory.c_str());
        return 0;
    }
    if (Command == "regread" && Args.size() == 3) {
        std::string Value;
        if (!Platform.Registry->ReadString(qe::TRegistryRoot::rrLocalMachine, Args[1], Args[2], false, Value))
            return 1;
        std::printf("%s\n", Value.c_str());
        return 0;
    }
    if (Command == "keyexists" && Args.size() == 2)
        return Platform.Registry->KeyExists(qe::TRegistryRoot::rrLocalMachine, Args[1]) ? 0 : 1;
    if (Command == "times" && Args.size() == 2) {
        qe::TFileTimes Times;
        if (!Platform.FileSystem->GetFileTimes(Args[1], Times))
            return 1;
        std::printf("%llu %llu\n", static_cast<unsigned long long>(Times.CreationTime),
                    static_cast<unsigned long long>(Times.LastWriteTime));
        return 0;
    }
    return Usage();
}

} // namespace

int main(int Argc, char** Argv)
{
    if (Argc < 2)
        return Usage();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int Result = 1;
    try {
        Result = Run(std::vector<std::string>(Argv + 1, Argv + Argc));
    } catch (const qe::Exception& E) {
        std::printf("%s\n", E.Message().c_str());
        Result = 1;
    } catch (const std::exception& E) {
        std::printf("%s\n", E.what());
        Result = 1;
    }
    CoUninitialize();
    return Result;
}
