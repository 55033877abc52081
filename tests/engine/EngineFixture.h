// A simulated machine with an installer in its downloads folder, made from package
// contents in memory, and the progress lines of the runs on it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "package/PackageWriter.h"
#include "package/QeClasses.h"
#include "package/QeUninstall.h"
#include "platform/sim/SimPlatform.h"

namespace qe::test {

struct TProgressLine {
    std::string Text;
    int32_t Percent;
    bool operator==(const TProgressLine&) const = default;
};

inline std::ostream& operator<<(std::ostream& Out, const TProgressLine& Line)
{
    return Out << Line.Percent << " " << Line.Text;
}

class EngineTest : public ::testing::Test {
public:
    static constexpr const char* App = "C:\\Program Files\\Grid Expert";
    static constexpr const char* Menu = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Grid Expert";
    static constexpr const char* T1 = "C:\\Program Files\\MetaTrader 4";
    static constexpr const char* T2 = "D:\\Trading\\MT4 Demo";
    static constexpr int32_t StubSize = 1024;

protected:
    EngineTest()
    {
        M.FileSystem.AddDrive('D');
        M.FileSystem.AddFile(std::string(T1) + "\\terminal.exe", "");
        M.FileSystem.AddFile(std::string(T2) + "\\terminal.exe", "");
        Contents.ProgramName = "Grid Expert";
        Contents.PayloadKey = RandomPayloadKey();
    }

    // The stub: stands in for the program itself.
    static std::string StubBytes()
    {
        std::string Bytes(StubSize, '\0');
        Bytes[0] = 'M';
        Bytes[1] = 'Z';
        for (int I = 140; I < StubSize; ++I)
            Bytes[static_cast<size_t>(I)] = static_cast<char>(I * 7);
        return Bytes;
    }

    // Writes the installer from Contents to the machine.
    void WriteInstallerFile(const std::string& Path = sim::TSimPlatform::ExePath)
    {
        const std::string Stub = StubBytes();
        TMemoryStream StubStream(std::vector<uint8_t>(Stub.begin(), Stub.end()));
        TMemoryStream Out;
        WriteInstaller(Out, StubStream, Contents);
        M.FileSystem.AddFile(Path, std::string(reinterpret_cast<const char*>(Out.Bytes().data()), Out.Bytes().size()));
    }

    // Writes the installer from Contents to the machine and loads a model from it.
    std::unique_ptr<TQeInstall> LoadInstaller(const std::string& Path = sim::TSimPlatform::ExePath)
    {
        WriteInstallerFile(Path);
        return OpenInstaller(Path);
    }

    // Loads a model from the installer at Path as it is; the model keeps it open.
    std::unique_ptr<TQeInstall> OpenInstaller(const std::string& Path = sim::TSimPlatform::ExePath)
    {
        auto Install = std::make_unique<TQeInstall>(Platform());
        Install->LoadFromFile(Path);
        Install->OnProgress = [this](TQeData&, const std::string& Text, int32_t Percent) {
            Lines.push_back({Text, Percent});
        };
        return Install;
    }

    std::unique_ptr<TQeInstall> Installed(const std::vector<std::string>& Terminals)
    {
        auto Install = LoadInstaller();
        Install->TargetFolders = Terminals;
        Install->Execute();
        return Install;
    }

    std::unique_ptr<TQeUninstall> LoadUninstaller(const std::string& Path = std::string(App) + "\\Uninstall.exe")
    {
        auto Uninstall = std::make_unique<TQeUninstall>(Platform());
        Uninstall->LoadFromFile(Path);
        Uninstall->OnProgress = [this](TQeData&, const std::string& Text, int32_t Percent) {
            Lines.push_back({Text, Percent});
        };
        return Uninstall;
    }

    virtual const TPlatform& Platform() { return M.Platform(); }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> Result;
        for (const auto& Line : Lines)
            Result.push_back(Line.Text);
        return Result;
    }

    std::string LinkTarget(const std::string& Link)
    {
        TShellLinkData Data;
        return M.Shell.ReadLink(Link, Data) ? Data.Path + " | " + Data.WorkingDirectory : "(no link)";
    }

    sim::TSimPlatform M;
    TPackageContents Contents;
    std::vector<TProgressLine> Lines;
};

} // namespace qe::test
