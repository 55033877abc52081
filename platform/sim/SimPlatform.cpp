#include "platform/sim/SimPlatform.h"

#include "platform/SysFolders.h"

namespace qe::sim {

TSimPlatform::TSimPlatform()
{
    FPlatform = TPlatform{&FileSystem, &Registry, &System, &Shell};
    // 2024-03-02 14:30:15 UTC as a file time.
    FileSystem.SetNow(133538526150000000ULL);
    for (const char* Folder : {ProgramFiles, CommonPrograms, Documents, LocalAppData, UserPrograms, "C:\\WINDOWS\\Temp",
                               "C:\\TEMP", "C:\\Users\\User\\Downloads"})
        FileSystem.AddFolders(Folder);
    for (const char* Program : {"C:\\WINDOWS\\system32\\cmd.exe", "C:\\WINDOWS\\system32\\PING.EXE"})
        FileSystem.AddFile(Program, "MZ");
    FileSystem.SetExecutablePath(ExePath);
    System.SetVariable("SystemDrive", "C:");
    System.SetVariable("ProgramFiles", ProgramFiles);
    System.SetVariable("SystemRoot", "C:\\WINDOWS");
    System.SetVariable("TEMP", "C:\\TEMP");

    const auto LM = TRegistryRoot::rrLocalMachine;
    Registry.SetString(LM, WindowsPathsKey, "ProgramFilesDir", ProgramFiles);
    Registry.SetString(LM, WindowsPathsKey, "CommonFilesDir", "C:\\Program Files\\Common Files");
    Registry.SetValue(LM, WindowsPathsKey, {"MediaPath", rtExpandString, "%SystemRoot%\\Media"});
    Registry.SetString(LM, ShellFoldersKey, "Common Programs", CommonPrograms);
    Registry.SetString(LM, ShellFoldersKey, "Common Desktop", "C:\\Users\\Public\\Desktop");
    Registry.SetString(LM, ShellFoldersKey, "Common Documents", "C:\\Users\\Public\\Documents");
    Registry.SetString(LM, SetupKey, "BootDir", "C:\\");
    const auto CU = TRegistryRoot::rrCurrentUser;
    Registry.SetString(CU, ShellFoldersKey, "Personal", Documents);
    Registry.SetString(CU, ShellFoldersKey, "Desktop", "C:\\Users\\User\\Desktop");
    Registry.SetString(CU, ShellFoldersKey, "AppData", "C:\\Users\\User\\AppData\\Roaming");
    Registry.SetString(CU, ShellFoldersKey, "Local AppData", LocalAppData);
    Registry.SetString(CU, ShellFoldersKey, "Programs", UserPrograms);
}

TSimPlatform::TSimPlatform(const TSimPlatform& Other)
    : FileSystem(Other.FileSystem), Registry(Other.Registry), System(Other.System, FileSystem),
      Shell(Other.Shell, FileSystem), FPlatform{&FileSystem, &Registry, &System, &Shell}
{
}

} // namespace qe::sim
