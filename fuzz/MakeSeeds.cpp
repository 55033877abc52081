// Writes the fuzz targets' seed inputs from the example product: its package and an
// uninstall record as the program finds them after itself, the wizard's markup, and for
// the install target packages and records made to turn the runs.
// Usage: fuzz-seeds MANIFEST OUTDIR
//        (makes OUTDIR/package, OUTDIR/uninstall, OUTDIR/markup, OUTDIR/install)
#include <filesystem>
#include <fstream>
#include <iostream>

#include "fuzz/FuzzInput.h"
#include "package/PackageWriter.h"
#include "platform/stdio/StdioFiles.h"
#include "tools/qepack/Manifest.h"

namespace fs = std::filesystem;

namespace {

void Save(const fs::path& Path, const std::vector<uint8_t>& Bytes, size_t From)
{
    std::ofstream(Path, std::ios::binary)
        .write(reinterpret_cast<const char*>(Bytes.data() + From), static_cast<std::streamsize>(Bytes.size() - From));
}

// An input of the install target: the byte that chooses a package (0) or a record (1),
// then the bytes after the stand-in program.
void SaveChoice(const fs::path& Path, uint8_t Choice, const std::vector<uint8_t>& Bytes)
{
    std::vector<uint8_t> Input = {Choice};
    Input.insert(Input.end(), Bytes.begin() + qe::fuzz::StubSize, Bytes.end());
    Save(Path, Input, 0);
}

// A package of Contents without a banner, as the program finds it after itself.
std::vector<uint8_t> Package(qe::TPackageContents Contents)
{
    Contents.BannerJpeg.clear();
    qe::TMemoryStream Stub(std::vector<uint8_t>(qe::fuzz::StubSize, 0));
    qe::TMemoryStream Installer;
    qe::WriteInstaller(Installer, Stub, Contents);
    return Installer.Bytes();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: fuzz-seeds MANIFEST OUTDIR\n";
        return 2;
    }
    const fs::path Out = argv[2];
    for (const char* Name : {"package", "uninstall", "markup", "install"})
        fs::create_directories(Out / Name);

    qe::TStdioFiles Files;
    qe::TPackageContents Contents = qe::LoadManifest(argv[1], Files).Contents;
    qe::TMemoryStream Stub(std::vector<uint8_t>(qe::fuzz::StubSize, 0));
    qe::TMemoryStream Installer;
    qe::WriteInstaller(Installer, Stub, Contents);
    Save(Out / "package" / "example", Installer.Bytes(), qe::fuzz::StubSize);
    Contents.Files.resize(1);
    Contents.BannerJpeg.clear();
    qe::TMemoryStream Small;
    Stub.SetPosition(0);
    qe::WriteInstaller(Small, Stub, Contents);
    Save(Out / "package" / "one-file", Small.Bytes(), qe::fuzz::StubSize);

    const qe::TPlatform None; // the record is written to memory only
    qe::TQeInstall Installed(None);
    Installed.LoadFromStream(Installer);
    const std::string App = "C:\\Program Files\\" + Installed.ProgramName;
    const std::string Menu = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\" + Installed.ProgramName;
    Installed.InstallLog = {{App, true},
                            {Menu, true},
                            {"C:\\Program Files\\MetaTrader 4\\experts\\Grid.mq4", false},
                            {App + "\\Readme.rtf", false},
                            {Menu + "\\Readme.lnk", false},
                            {Menu + "\\Uninstall.lnk", false}};
    qe::TMemoryStream Uninstaller(std::vector<uint8_t>(qe::fuzz::StubSize, 0));
    Uninstaller.Seek(0, qe::TSeekOrigin::soEnd);
    Installed.WriteUninstallRecord(Uninstaller);
    Save(Out / "uninstall" / "example", Uninstaller.Bytes(), qe::fuzz::StubSize);

    const char* const Markup[] = {
        ("This will install <b>Grid Expert v1.0</b> on your computer.<br><br>Click Next to continue.<p>Made "
         "with a free installer: <link>www.example.com</link>"),
        "<i>Finished</i>: <dynamic> &lt;b&gt; <u>under<b>bold <link>in&gt;link</link></b></u></i>x",
        "<B>a</I>b<font>c</font><link>d<link>e</link></link><br><P>unterminated <b c",
    };
    int Index = 0;
    for (const char* Text : Markup)
        std::ofstream(Out / "markup" / ("text" + std::to_string(Index++))) << Text;
    // The install target: the example, and packages and records that would take the runs
    // elsewhere than their folders, or through the machine's links.
    qe::TPackageContents Example = qe::LoadManifest(argv[1], Files).Contents;
    SaveChoice(Out / "install" / "example", 0, Package(Example));
    SaveChoice(Out / "install" / "record", 1, Uninstaller.Bytes());
    const std::vector<std::pair<std::string, std::vector<std::string>>> Hostile = {
        {"leaving", {"{app}\\..\\..\\x.txt", "{metatrader}\\..\\x", "{app}\\a.txt:", "{app}\\NUL"}},
        {"links",
         {"{metatrader}\\MQL4\\Libraries\\Grid.dll", "{metatrader}\\MQL4\\Experts\\Grid.ex4",
          "{metatrader}\\MQL4\\Indicators\\x.ex4"}},
        {"elsewhere",
         {"C:\\x.txt", "\\\\?\\C:\\x.txt", "{foo}\\x", "{app}\\PROGRA~1\\x", "{windir}\\x.dll", "{bootdir}\\y",
          "{mydocuments}\\z"}},
    };
    for (const auto& [Name, Targets] : Hostile) {
        qe::TPackageContents Contents = Example;
        Contents.ExpertsOverride = "1 0";
        Contents.Files.clear();
        for (const std::string& Target : Targets)
            Contents.Files.push_back(qe::MemoryFile(Target, "x", Name == "links" ? "..\\Startup\\x" : ""));
        SaveChoice(Out / "install" / Name, 0, Package(Contents));
    }
    qe::TQeInstall Crafted(None);
    Crafted.ProgramName = "Other Product";
    Crafted.InstallLog = {{"C:\\Program Files\\Grid Expert\\..\\..\\Secret", true},
                          {"D:\\MT4\\MQL4\\Libraries\\secret.ini", false},
                          {"C:\\Secret\\.\\Grid.ex4", false},
                          {"\\\\?\\D:\\Other\\notes.txt", false},
                          {"D:\\Other\\notes.txt", false}};
    qe::TMemoryStream CraftedRecord(std::vector<uint8_t>(qe::fuzz::StubSize, 0));
    CraftedRecord.Seek(0, qe::TSeekOrigin::soEnd);
    Crafted.WriteUninstallRecord(CraftedRecord);
    SaveChoice(Out / "install" / "crafted-record", 1, CraftedRecord.Bytes());
    std::cout << "seeds in " << Out.string() << "\n";
    return 0;
}
