#include "app/SelfRemoval.h"

#include <cstdio>

#include "platform/Paths.h"
#include "platform/SysFolders.h"

namespace qe {
namespace {

// A path inside the script: quoted, with its percent signs doubled so that the command
// interpreter reads them as they are instead of expanding a variable.
std::string ScriptQuoted(const std::string& Path)
{
    std::string Result = "\"";
    for (const char C : Path) {
        Result += C;
        if (C == '%')
            Result += '%';
    }
    return Result + "\"";
}

// Year to milliseconds, 17 digits: scripts of one machine sort by the time they were made.
std::string TimeStamp(const TSystemTime& T)
{
    char Text[48];
    std::snprintf(Text, sizeof(Text), "%04u%02u%02u%02u%02u%02u%03u", T.Year, T.Month, T.Day, T.Hour, T.Minute,
                  T.Second, T.Milliseconds);
    return Text;
}

} // namespace

std::vector<std::string> SelfRemovalLines(const TSelfRemovalScript& Script)
{
    const std::string File = ScriptQuoted(Script.FilePath);
    // The counter starts undefined: the script runs with an environment of our own.
    std::vector<std::string> Lines = {
        ":repeat",
        "del " + File,
        "if exist " + File + " if not \"%QeTries%\"==\"" + std::to_string(SelfRemovalTries) +
            "\" set /a QeTries+=1 >nul & " + ScriptQuoted(Script.PingPath) + " -n 2 127.0.0.1 >nul & goto repeat",
    };
    if (Script.RemoveFolder)
        Lines.push_back("rmdir " + ScriptQuoted(ExtractFilePath(Script.FilePath)));
    // One line, read whole before the script is gone.
    Lines.push_back("del " + ScriptQuoted(Script.ScriptPath) +
                    (Script.ScriptFolder.empty() ? "" : " & rmdir " + ScriptQuoted(Script.ScriptFolder)));
    return Lines;
}

bool SelfDelete(const TPlatform& Platform, const std::string& FilePath, bool RemoveFolder)
{
    IFileSystem& FileSystem = *Platform.FileSystem;
    ISystem& System = *Platform.System;
    TSelfRemovalScript Script{FilePath, RemoveFolder, {}, {}, {}};
    bool Created = false; // only a script of our own is removed again
    try {
        // 128 random bits: a name no other program can guess ahead.
        const std::string Name = TimeStamp(System.LocalTime()) + "-" + RandomName(System, 16);
        // The Windows folder all users share: on a terminal server a user's own could
        // stand in for it.
        const std::string WindowsFolder = ExcludeTrailingDelimiter(System.SystemWindowsFolder());
        const std::string SystemFolder = GetSpecialFolder(Platform, sfSystem, false);
        if (SystemFolder.empty() || WindowsFolder.empty())
            throw Exception("No system folder");
        // Elevated, not in the user's own temporary folder: that is the user's to change,
        // and any program of theirs could swap the script there before it runs with our
        // rights. Otherwise there, but in a folder of the script's own that no other
        // user may change, as an uninstall for the current user only has it.
        const bool Elevated = System.IsElevated();
        const std::string CurrentFolder =
            Elevated ? WindowsFolder + "\\Temp" : ExcludeTrailingDelimiter(GetSpecialFolder(Platform, sfTemp, true));
        Script.ScriptFolder = CurrentFolder + "\\QeUninstall-" + Name;
        if (!FileSystem.MakePrivateFolder(Script.ScriptFolder,
                                          Elevated ? TPrivateTo::Administrators : TPrivateTo::CurrentUser)) {
            Script.ScriptFolder.clear();
            return false;
        }
        Script.ScriptPath = Script.ScriptFolder + "\\" + Name + ".bat";
        Script.PingPath = SystemFolder + "\\ping.exe";
        {
            auto Out = FileSystem.CreateNewForWriting(Script.ScriptPath);
            Created = true;
            for (const std::string& Line : SelfRemovalLines(Script))
                Out->WriteString(Line + "\r\n");
            Out->Flush();
        }

        // The interpreter by its full path, without the user's AutoRun commands, with
        // the command extensions the counter needs and without delayed expansion,
        // whatever the user's settings; "/s" keeps the quoted script path whole.
        const std::string Command =
            "\"" + SystemFolder + "\\cmd.exe\" /d /e:on /v:off /s /c \"\"" + Script.ScriptPath + "\"\"";
        // The system's ping needs SystemRoot; nothing else of the user's environment
        // reaches the script.
        if (System.StartHiddenIdleProcess(Command, CurrentFolder, {"SystemRoot=" + WindowsFolder}))
            return true;
    } catch (...) {
        // Any failure ends the removal quietly; the uninstaller stays on disk.
    }
    if (Created)
        FileSystem.RemoveFile(Script.ScriptPath);
    if (!Script.ScriptFolder.empty())
        FileSystem.RemoveFolder(Script.ScriptFolder);
    return false;
}

} // namespace qe
