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

#include <fcntl.h>
#include <io.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "package/QeClasses.h"
#include "package/QeUninstall.h"
#include "platform/SysFolders.h"
#include "platform/stdio/ProgramArguments.h"
#include "platform/win32/Win32Platform.h"

namespace {

// One line of output in one write, ended by CR LF as a text-mode stream would end it. An
// output the runtime takes for a terminal (the null device under Wine) is unbuffered in
// text mode: lines went out a character at a time, each write asking the system whether
// it is a console, which was most of a 2000-file install's time under Wine.
void PrintLine(const std::string& Line)
{
    std::fputs((Line + "\r\n").c_str(), stdout);
    std::fflush(stdout);
}

void PrintProgress(qe::TQeData&, const std::string& Text, int32_t Percent)
{
    PrintLine(std::to_string(Percent) + " " + Text);
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
        PrintLine(qe::GetSpecialFolder(Platform, std::atoi(Args[1].c_str()), false));
        return 0;
    }
    if (Command == "readlink" && Args.size() == 2) {
        qe::TShellLinkData Data;
        if (!Platform.Shell->ReadLink(Args[1], Data))
            return 1;
        PrintLine(Data.Path + "|" + Data.WorkingDirectory);
        return 0;
    }
    if (Command == "regread" && Args.size() == 3) {
        std::string Value;
        if (!Platform.Registry->ReadString(qe::TRegistryRoot::rrLocalMachine, Args[1], Args[2], false, Value))
            return 1;
        PrintLine(Value);
        return 0;
    }
    if (Command == "keyexists" && Args.size() == 2)
        return Platform.Registry->KeyExists(qe::TRegistryRoot::rrLocalMachine, Args[1]) ? 0 : 1;
    if (Command == "times" && Args.size() == 2) {
        qe::TFileTimes Times;
        if (!Platform.FileSystem->GetFileTimes(Args[1], Times))
            return 1;
        PrintLine(std::to_string(Times.CreationTime) + " " + std::to_string(Times.LastWriteTime));
        return 0;
    }
    return Usage();
}

} // namespace

int main(int Argc, char** Argv)
{
    if (Argc < 2)
        return Usage();
    // Binary output with a buffer: each line leaves in one write (see PrintLine).
    _setmode(_fileno(stdout), _O_BINARY);
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int Result = 1;
    try {
        const std::vector<std::string> Arguments = qe::Utf8Arguments(Argc, Argv);
        Result = Run(std::vector<std::string>(Arguments.begin() + 1, Arguments.end()));
    } catch (const qe::Exception& E) {
        PrintLine(E.Message());
        Result = 1;
    } catch (const std::exception& E) {
        PrintLine(E.what());
        Result = 1;
    }
    CoUninitialize();
    return Result;
}
