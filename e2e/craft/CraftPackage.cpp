// Writes installers and uninstallers as a hostile producer would, through the project's
// own writers, with paths and names that qepack refuses:
//   craft-package installer STUB OUT [--name N] [--override X] [--publisher P --website W]
//                 [--file TARGET [--content TEXT] [--shortcut NAME]]...
//   craft-package uninstaller STUB OUT [--name N] [--log-file PATH]... [--log-folder PATH]...
// The installer carries a sound integrity record; the uninstaller is STUB with the record
// appended, as the install run makes it.
#include <fstream>
#include <iostream>
#include <iterator>

#include "package/PackageWriter.h"
#include "package/QeClasses.h"

namespace {

std::string ReadWhole(const std::string& Path)
{
    std::ifstream In(Path, std::ios::binary);
    if (!In)
        throw qe::Exception("cannot read " + Path);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

void WriteWhole(const std::string& Path, const std::vector<uint8_t>& Bytes)
{
    std::ofstream Out(Path, std::ios::binary);
    Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    if (!Out)
        throw qe::Exception("cannot write " + Path);
}

int Usage()
{
    std::cerr << "usage: craft-package installer STUB OUT [--name N] [--override X] [--publisher P --website W]\n"
                 "                    [--data-folders true|false]\n"
                 "                    [--file TARGET [--content TEXT] [--shortcut NAME]]...\n"
                 "       craft-package uninstaller STUB OUT [--name N] [--log-file PATH]... [--log-folder PATH]...\n";
    return 2;
}

} // namespace

int main(int Argc, char** Argv)
{
    if (Argc < 4)
        return Usage();
    const std::string Kind = Argv[1];
    try {
        const std::string Stub = ReadWhole(Argv[2]);
        qe::TPackageContents Contents;
        Contents.ProgramName = "Crafted";
        Contents.PayloadKey = qe::RandomPayloadKey();
        qe::TQeInstall Record(qe::TPlatform{});
        for (int I = 4; I < Argc; ++I) {
            const std::string Option = Argv[I];
            if (I + 1 >= Argc)
                return Usage();
            const std::string Value = Argv[++I];
            if (Option == "--name")
                Contents.ProgramName = Value;
            else if (Option == "--data-folders")
                Contents.UseDataFolders = Value == "true";
            else if (Option == "--override")
                Contents.ExpertsOverride = Value;
            else if (Option == "--publisher")
                Contents.Publisher = Value;
            else if (Option == "--website")
                Contents.Website = Value;
            else if (Option == "--file")
                Contents.Files.push_back(qe::MemoryFile(Value, "crafted " + Value));
            else if (Option == "--content" && !Contents.Files.empty())
                Contents.Files.back() = qe::MemoryFile(Contents.Files.back().Target, Value);
            else if (Option == "--shortcut" && !Contents.Files.empty())
                Contents.Files.back().ShortcutName = Value;
            else if (Option == "--log-file" || Option == "--log-folder")
                Record.InstallLog.push_back({Value, Option == "--log-folder"});
            else
                return Usage();
        }
        qe::TMemoryStream StubStream(std::vector<uint8_t>(Stub.begin(), Stub.end()));
        qe::TMemoryStream Out;
        if (Kind == "installer") {
            qe::WriteInstaller(Out, StubStream, Contents);
        } else if (Kind == "uninstaller") {
            Record.ProgramName = Contents.ProgramName;
            Out.WriteString(Stub);
            Record.WriteUninstallRecord(Out);
        } else {
            return Usage();
        }
        WriteWhole(Argv[3], Out.Bytes());
    } catch (const std::exception& Error) {
        std::cerr << "craft-package: " << Error.what() << "\n";
        return 1;
    }
    return 0;
}
