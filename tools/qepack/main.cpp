// qepack: the add-on vendor's package producer.
//   qepack build MANIFEST -o OUT.exe [--stub setup.exe] [--define KEY=VALUE]... [--key HEX] [--allow-outside]
//   qepack init [MANIFEST]
//   qepack inspect FILE [--json]
//   qepack verify FILE
//   qepack extract FILE DIR
//   qepack --version | help [COMMAND]
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

#include "package/PackageVerify.h"
#include "platform/stdio/ProgramArguments.h"
#include "platform/stdio/StdioFiles.h"
#include "platform/stdio/Utf8Path.h"
#include "tools/qepack/Build.h"
#include "tools/qepack/Inspect.h"
#include "tools/qepack/Manifest.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* Commands = "build, init, inspect, verify, extract and help";
// Exit codes: 0 done, 1 the work failed, 2 the command line was wrong.
constexpr int ExitFailed = 1, ExitUsage = 2;

fs::path ProgramFolder()
{
    return qe::PathOf(qe::TStdioFiles::ExecutablePath()).parent_path();
}

// The stub that ships beside the producer, or the one of this build tree: the producer
// is build/KIND/tools/qepack/qepack, the stub build/win32/app/setup.exe.
std::string FindStub()
{
    const fs::path Here = ProgramFolder();
    const fs::path Candidates[] = {Here / "setup.exe", Here / "../../app/setup.exe",
                                   Here / "../../../win32/app/setup.exe"};
    for (const fs::path& Candidate : Candidates)
        if (fs::is_regular_file(Candidate))
            return qe::TextOf(fs::weakly_canonical(Candidate));
    throw qe::Exception("no setup.exe beside qepack (" + qe::TextOf(Here) +
                        ") or in its build tree; name the stub with --stub setup.exe");
}

std::string Size(uint64_t Bytes)
{
    char Text[32];
    if (Bytes < 1024)
        std::snprintf(Text, sizeof Text, "%llu bytes", static_cast<unsigned long long>(Bytes));
    else if (Bytes < 1024 * 1024)
        std::snprintf(Text, sizeof Text, "%.1f KiB", static_cast<double>(Bytes) / 1024);
    else
        std::snprintf(Text, sizeof Text, "%.1f MiB", static_cast<double>(Bytes) / (1024 * 1024));
    return Text;
}

void PrintSummary(const std::string& Out, const qe::TBuildReport& Report)
{
    std::cout << "wrote " << Out << " (" << Size(Report.InstallerBytes) << ") in " << std::fixed << std::setprecision(2)
              << Report.Seconds << " s\n";
    std::cout << "  " << Report.FileCount << (Report.FileCount == 1 ? " file, " : " files, ")
              << Size(Report.SourceBytes);
    const char* Separator = ": ";
    for (const auto& [Macro, Count] : Report.FilesByMacro) {
        std::cout << Separator << Count << " to " << Macro;
        Separator = ", ";
    }
    std::cout << "\n";
}

// The command of that name; nullptr when there is none.
CLI::App* CommandNamed(CLI::App& App, const std::string& Name)
{
    const auto Found = App.get_subcommands([&](CLI::App* Command) { return Command->check_name(Name); });
    return Found.empty() ? nullptr : Found.front();
}

int Init(const std::string& Path)
{
    if (fs::exists(qe::PathOf(Path))) {
        std::cerr << "qepack: \"" << Path << "\" exists; init writes a new manifest only\n";
        return ExitFailed;
    }
    std::ofstream(qe::PathOf(Path), std::ios::binary) << qe::StarterManifest();
    if (!fs::exists(qe::PathOf(Path))) {
        std::cerr << "qepack: cannot write \"" << Path << "\"\n";
        return ExitFailed;
    }
    std::cout << "wrote " << Path << ": fill in the product and its files, then run qepack build " << Path
              << " -o Setup.exe\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> Arguments = qe::Utf8Arguments(argc, argv);
    std::vector<char*> Pointers;
    for (std::string& Argument : Arguments)
        Pointers.push_back(Argument.data());
    Pointers.push_back(nullptr);
    argc = static_cast<int>(Arguments.size());
    argv = Pointers.data();
    CLI::App App{"qepack: makes MetaTrader 4 add-on installers and reads them back"};
    App.set_version_flag("--version", "qepack " QEPACK_VERSION);
    App.require_subcommand(1);
    App.footer("Commands: build, init, inspect, verify, extract, help. `qepack help COMMAND` for one command.\n"
               "Manifest reference: docs/manifest.md");

    qe::TBuildOptions Build;
    std::string File, KeyHex, InitPath = "product.toml", HelpTopic, ExtractDir;
    bool Json = false;
    auto* BuildCommand = App.add_subcommand("build", "write an installer from a product manifest");
    BuildCommand->add_option("MANIFEST", Build.ManifestPath, "the product manifest (TOML)")->required();
    BuildCommand->add_option("-o,--output", Build.OutPath, "the installer to write")->required();
    BuildCommand->add_option("--stub", Build.StubPath, "the bare setup.exe to carry the package");
    BuildCommand->add_option("-D,--define", Build.Defines, "replace a manifest value: TABLE.KEY=VALUE");
    BuildCommand->add_option("--key", KeyHex, "payload key, 32 hex digits, for reproducible installers");
    BuildCommand->add_flag("--allow-outside", Build.AllowOutside,
                           "pack files from outside the manifest's folder (absolute, ../ or linked sources)");
    auto* InitCommand = App.add_subcommand("init", "write a commented starting manifest");
    InitCommand->add_option("MANIFEST", InitPath, "the manifest to write (product.toml)");
    auto* InspectCommand = App.add_subcommand("inspect", "print what an installer or uninstaller holds");
    InspectCommand->add_option("FILE", File, "installer or uninstaller")->required();
    InspectCommand->add_flag("--json", Json, "machine-readable output");
    auto* VerifyCommand = App.add_subcommand("verify", "decipher every payload and report each file");
    VerifyCommand->add_option("FILE", File, "installer")->required();
    auto* ExtractCommand = App.add_subcommand("extract", "write every packaged file below a folder");
    ExtractCommand->add_option("FILE", File, "installer")->required();
    ExtractCommand->add_option("DIR", ExtractDir, "the folder; each macro becomes a folder in it")->required();
    auto* HelpCommand = App.add_subcommand("help", "describe qepack or one of its commands");
    HelpCommand->add_option("COMMAND", HelpTopic, "the command to describe");

    if (argc >= 2 && argv[1][0] != '-' && CommandNamed(App, argv[1]) == nullptr) {
        std::cerr << "qepack: unknown command \"" << argv[1] << "\"; the commands are " << Commands << "\n";
        return ExitUsage;
    }
    try {
        App.parse(argc, argv);
    } catch (const CLI::CallForHelp& Help) {
        return App.exit(Help);
    } catch (const CLI::CallForVersion& Version) {
        return App.exit(Version);
    } catch (const CLI::ParseError& Error) {
        if (argc < 2) {
            std::cerr << App.help();
            return ExitUsage;
        }
        std::cerr << "qepack: " << Error.what() << "\n(qepack help for the commands)\n";
        return ExitUsage;
    }
    try {
        if (*HelpCommand) {
            if (HelpTopic.empty()) {
                // App.help() would describe the help command itself, the one chosen.
                std::cout << App.get_formatter()->make_help(&App, "qepack", CLI::AppFormatMode::Normal);
                return 0;
            }
            CLI::App* Topic = CommandNamed(App, HelpTopic);
            if (Topic == nullptr) {
                std::cerr << "qepack: unknown command \"" << HelpTopic << "\"; the commands are " << Commands << "\n";
                return ExitUsage;
            }
            std::cout << Topic->help();
            return 0;
        }
        if (*InitCommand)
            return Init(InitPath);
        if (*BuildCommand) {
            if (Build.StubPath.empty())
                Build.StubPath = FindStub();
            if (!KeyHex.empty())
                Build.Key = qe::ParsePayloadKey(KeyHex);
            const qe::TBuildReport Report = qe::BuildInstaller(Build);
            for (const std::string& Warning : Report.Warnings)
                std::cerr << "qepack: warning: " << Warning << "\n";
            PrintSummary(Build.OutPath, Report);
            return 0;
        }
        qe::TStdioFiles Files;
        if (*InspectCommand) {
            qe::InspectFile(File, Files, Json, std::cout);
            return 0;
        }
        if (*ExtractCommand) {
            qe::ExtractFile(File, ExtractDir, Files, std::cout);
            return 0;
        }
        return qe::VerifyFile(File, Files, std::cout) ? 0 : ExitFailed;
    } catch (const std::exception& Error) {
        std::cerr << "qepack: " << Error.what() << "\n";
        return ExitFailed;
    }
}
