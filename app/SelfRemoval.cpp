#include "app/SelfRemoval.h"

#include <cstdio>
#include <map>

#include "platform/Paths.h"
#include "platform/SysFolders.h"

namespace qe {
namespace {

// Paths as the script writes them, with the variables they take their characters outside
// ASCII from.
class TScriptPaths {
public:
    // Path quoted, its percent signs doubled so that the interpreter reads them as they
    // are, each run of characters outside ASCII as a variable. A variable's value has
    // neither a percent sign nor a "!" that an interpreter could take for more than text.
    std::string Quoted(const std::string& Path)
    {
        std::string Result = "\"";
        for (size_t I = 0; I < Path.size();) {
            if (static_cast<unsigned char>(Path[I]) < 0x80) {
                Result += Path[I] == '%' ? "%%" : std::string(1, Path[I]);
                ++I;
                continue;
            }
            size_t End = I;
            while (End < Path.size() && static_cast<unsigned char>(Path[End]) >= 0x80)
                ++End;
            auto [Known, Added] =
                FNames.try_emplace(Path.substr(I, End - I), "QeText" + std::to_string(FNames.size() + 1));
            if (Added)
                Variables.push_back(Known->second + "=" + Known->first);
            Result += "%" + Known->second + "%";
            I = End;
        }
        return Result + "\"";
    }

    std::vector<std::string> Variables;

private:
    std::map<std::string, std::string> FNames;
};

// Year to milliseconds, 17 digits: scripts of one machine sort by the time they were made.
std::string TimeStamp(const TSystemTime& T)
{
    char Text[48];
    std::snprintf(Text, sizeof(Text), "%04u%02u%02u%02u%02u%02u%03u", T.Year, T.Month, T.Day, T.Hour, T.Minute,
                  T.Second, T.Milliseconds);
    return Text;
}

} // namespace

TSelfRemovalText SelfRemovalText(const TSelfRemovalScript& Script)
{
    TScriptPaths Paths;
    const std::string File = Paths.Quoted(Script.FilePath);
    // The counter starts undefined: the script runs with an environment of our own.
    std::vector<std::string> Lines = {
        ":repeat",
        "del " + File,
        "if exist " + File + " if not \"%QeTries%\"==\"" + std::to_string(SelfRemovalTries) +
            "\" set /a QeTries+=1 >nul & " + Paths.Quoted(Script.PingPath) + " -n 2 127.0.0.1 >nul & goto repeat",
    };
    if (Script.RemoveFolder)
        Lines.push_back("rmdir " + Paths.Quoted(ExtractFilePath(Script.FilePath)));
    // One line, read whole before the script is gone.
    Lines.push_back("del " + Paths.Quoted(Script.ScriptPath) +
                    (Script.ScriptFolder.empty() ? "" : " & rmdir " + Paths.Quoted(Script.ScriptFolder)));
    return {Lines, Paths.Variables};
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
        const TSelfRemovalText Text = SelfRemovalText(Script);
        {
            auto Out = FileSystem.CreateNewForWriting(Script.ScriptPath);
            Created = true;
            for (const std::string& Line : Text.Lines)
                Out->WriteString(Line + "\r\n");
            Out->Flush();
        }

        // The interpreter by its full path, without the user's AutoRun commands, with
        // the command extensions the counter needs and without delayed expansion,
        // whatever the user's settings; "/s" keeps the quoted script path whole.
        const std::string Command =
            "\"" + SystemFolder + "\\cmd.exe\" /d /e:on /v:off /s /c \"\"" + Script.ScriptPath + "\"\"";
        // The system's ping needs SystemRoot; nothing of the user's environment reaches the
        // script.
        std::vector<std::string> Environment = {"SystemRoot=" + WindowsFolder};
        Environment.insert(Environment.end(), Text.Variables.begin(), Text.Variables.end());
        if (System.StartHiddenIdleProcess(Command, CurrentFolder, Environment))
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
