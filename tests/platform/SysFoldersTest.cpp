// The special folders as the registry and the system of a machine give them.
#include <gtest/gtest.h>

#include "platform/SysFolders.h"
#include "platform/sim/ForwardingPlatform.h"
#include "platform/sim/SimPlatform.h"

namespace qe::sim {
namespace {

const auto LM = TRegistryRoot::rrLocalMachine;
const auto CU = TRegistryRoot::rrCurrentUser;

// The key texts exactly as the registry is asked for them: the shell folder and
// Windows path keys begin with "\\", the setup key does not.
const std::string UserShellKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string CommonShellKey = UserShellKey;
const std::string PathsKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const std::string BootKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup";

// A registry that notes the root and the exact key text of every read.
class TReadRecorder : public TForwardingRegistry {
public:
    using TForwardingRegistry::TForwardingRegistry;
    bool ReadString(TRegistryRoot Root, const std::string& Key, const std::string& Name, bool CreateKey,
                    std::string& Value) override
    {
        Reads.push_back({Root, Key, Name});
        return TForwardingRegistry::ReadString(Root, Key, Name, CreateKey, Value);
    }
    struct TRead {
        TRegistryRoot Root;
        std::string Key, Name;
    };
    std::vector<TRead> Reads;
};

struct TRegistrySource {
    int Id;
    TRegistryRoot Root;
    const std::string* Key;
    const char* Name;
};

std::vector<TRegistrySource> RegistrySources()
{
    std::vector<TRegistrySource> Sources;
    const char* const UserNames[] = {"Desktop",
                                     "Start Menu",
                                     "Programs",
                                     "Startup",
                                     "Personal",
                                     "My Pictures",
                                     "My Music",
                                     "My Video",
                                     "AppData",
                                     "Fonts",
                                     "SendTo",
                                     "Recent",
                                     "Favorites",
                                     "Cache",
                                     "Cookies",
                                     "History",
                                     "NetHood",
                                     "PrintHood",
                                     "Templates",
                                     "Local AppData",
                                     "Local Settings",
                                     "CD Burning",
                                     "Administrative Tools"};
    for (int Id = 0; Id <= 22; ++Id)
        Sources.push_back({Id, CU, &UserShellKey, UserNames[Id]});
    Sources.push_back({27, LM, &BootKey, "BootDir"});
    const char* const PathNames[] = {"ProgramFilesDir", "CommonFilesDir", "ConfigPath",
                                     "DevicePath",      "MediaPath",      "WallPaperDir"};
    for (int Id = 28; Id <= 33; ++Id)
        Sources.push_back({Id, LM, &PathsKey, PathNames[Id - 28]});
    const char* const CommonNames[] = {"Common Administrative Tools",
                                       "Common AppData",
                                       "Common Desktop",
                                       "Common Documents",
                                       "Common Programs",
                                       "Common Start Menu",
                                       "Common Startup",
                                       "Common Templates",
                                       "CommonMusic",
                                       "CommonPictures",
                                       "CommonVideo"};
    for (int Id = 34; Id <= 44; ++Id)
        Sources.push_back({Id, LM, &CommonShellKey, CommonNames[Id - 34]});
    return Sources;
}

TEST(SysFolders, EveryRegistryIdReadsItsOwnValueUnderItsOwnKeyAndRoot)
{
    const auto Sources = RegistrySources();
    ASSERT_EQ(Sources.size(), 41u); // all of 0..44 but the four system ids
    for (const TRegistrySource& Source : Sources) {
        TSimPlatform M;
        TReadRecorder Recorder(M.Registry);
        TPlatform P = M.Platform();
        P.Registry = &Recorder;
        const TRegistryRoot Other = Source.Root == CU ? LM : CU;
        const std::string Path = "E:\\Folder " + std::to_string(Source.Id) + "\\";
        M.Registry.RemoveValue(Source.Root, *Source.Key, Source.Name);

        // Under the other root only: not found (the boot folder falls back to "C:").
        M.Registry.SetString(Other, *Source.Key, Source.Name, Path);
        EXPECT_EQ(GetSpecialFolder(P, Source.Id, false), Source.Id == sfBootDir ? "C:" : "") << Source.Id;

        M.Registry.SetString(Source.Root, *Source.Key, Source.Name, Path);
        Recorder.Reads.clear();
        const std::string Expected = Source.Id == sfBootDir ? "E:\\Folder 27" : Path;
        EXPECT_EQ(GetSpecialFolder(P, Source.Id, false), Expected) << Source.Id;
        ASSERT_EQ(Recorder.Reads.size(), 1u) << Source.Id;
        EXPECT_EQ(Recorder.Reads[0].Root, Source.Root) << Source.Id;
        EXPECT_EQ(Recorder.Reads[0].Key, *Source.Key) << Source.Id;
        EXPECT_EQ(Recorder.Reads[0].Name, Source.Name) << Source.Id;
    }
}

TEST(SysFolders, SystemIdsAskTheSystemAndNotTheRegistry)
{
    TSimPlatform M;
    TReadRecorder Recorder(M.Registry);
    TPlatform P = M.Platform();
    P.Registry = &Recorder;
    M.System.SetFolders("D:\\WIN", "D:\\WIN\\sys32", "D:\\T\\");
    EXPECT_EQ(GetSpecialFolder(P, sfWindows, true), "D:\\WIN\\");
    EXPECT_EQ(GetSpecialFolder(P, sfSystem, false), "D:\\WIN\\sys32");
    EXPECT_EQ(GetSpecialFolder(P, sfTemp, true), "D:\\T\\");
    EXPECT_EQ(GetSpecialFolder(P, sfSystemDrive, false), "D:");
    EXPECT_TRUE(Recorder.Reads.empty());
    EXPECT_EQ(GetSpecialFolder(P, -1, false), "");
    EXPECT_EQ(GetSpecialFolder(P, 45, false), "");
}

TEST(SysFolders, SystemFoldersTooLongForTheBufferAreEmptyNotCut)
{
    TSimPlatform M;
    const std::string Fits = "D:\\" + std::string(250, 'w');
    const std::string TooLong = Fits + "x";
    M.System.SetFolders(TooLong, Fits, Fits + "\\");
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfWindows, false), "");
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfSystem, false), Fits);
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfTemp, false), "");
    M.System.SetFolders(Fits, TooLong, Fits);
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfSystemDrive, false), "");
}

TEST(SysFolders, BootDirDropsItsDelimiterAndFallsBackToDriveC)
{
    TSimPlatform M;
    M.Registry.SetString(LM, SetupKey, "BootDir", "E:\\");
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfBootDir, false), "E:");
    M.Registry.RemoveValue(LM, SetupKey, "BootDir");
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfBootDir, false), "C:");
    M.Registry.DeleteKey(LM, SetupKey);
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfBootDir, true), "C:\\");
    EXPECT_FALSE(M.Registry.KeyExists(LM, SetupKey)); // the boot reader creates nothing
}

TEST(SysFolders, WindowsPathsExpandVariablesButNeverCutThem)
{
    TSimPlatform M;
    M.System.SetVariable("ProgramFiles", "C:\\Program Files (x86)");
    M.Registry.SetValue(LM, WindowsPathsKey, {"ProgramFilesDir", rtExpandString, "%ProgramFiles%"});
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfProgramFiles, true), "C:\\Program Files (x86)\\");
    // Shell folder values are taken as they stand.
    M.Registry.SetValue(CU, ShellFoldersKey, {"Personal", rtExpandString, "%ProgramFiles%\\x"});
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfPersonal, false), "%ProgramFiles%\\x");

    M.System.SetVariable("Long", std::string(250, 'L'));
    M.Registry.SetString(LM, WindowsPathsKey, "ProgramFilesDir", "C:\\%Long%");
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfProgramFiles, false).size(), 253u);
    M.Registry.SetString(LM, WindowsPathsKey, "ProgramFilesDir", "C:\\%Long%\\Programs");
    EXPECT_THROW(GetSpecialFolder(M.Platform(), sfProgramFiles, false), EFolderTooLong);
}

TEST(SysFolders, StringsStopAtNulAndOtherTypesAreRefused)
{
    TSimPlatform M;
    M.Registry.SetValue(LM, WindowsPathsKey, {"ProgramFilesDir", rtString, std::string("C:\\PF\0junk", 10)});
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfProgramFiles, false), "C:\\PF");
    M.Registry.SetValue(LM, WindowsPathsKey, {"ProgramFilesDir", rtBinary, "C:\\PF"});
    try {
        GetSpecialFolder(M.Platform(), sfProgramFiles, false);
        FAIL();
    } catch (const ERegistryException& E) {
        EXPECT_EQ(E.Message(), "Invalid data type for 'ProgramFilesDir'");
    }
}

TEST(SysFolders, ReadersMayCreateTheirMissingKey)
{
    TSimPlatform M;
    M.Registry.DeleteKey(CU, ShellFoldersKey);
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfPersonal, false), "");
    EXPECT_TRUE(M.Registry.KeyExists(CU, ShellFoldersKey));
}

} // namespace
} // namespace qe::sim
