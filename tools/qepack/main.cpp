// qepack: the add-on vendor's package producer.
//   qepack build MANIFEST -o OUT.exe [--stub setup.exe]
//   qepack inspect FILE [--json]
//   qepack verify FILE
#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/stdio/StdioFiles.h"
#include "tools/qepack/Build.h"
#include "tools/qepack/Inspect.h"

namespace fs = std::filesystem;

namespace {

// The stub that ships beside the producer.
std::string DefaultStub()
{
#ifdef _WIN32
    char Self[MAX_PATH + 1] = {};
    const fs::path Program(std::string(Self, GetModuleFileNameA(nullptr, Self, MAX_PATH)));
#else
    std::error_code Error;
    const fs::path Program = fs::read_symlink("/proc/self/exe", Error);
#endif
    return (Program.parent_path() / "setup.exe").string();
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App App{"qepack: makes MetaTrader 4 add-on installers and reads them back"};
    App.require_subcommand(1);

    std::string Manifest, Out, Stub = DefaultStub(), File;
    bool Json = false;
    auto* BuildCommand = App.add_subcommand("build", "write an installer from a product manifest");
    BuildCommand->add_option("MANIFEST", Manifest, "the product manifest (TOML)")->required();
    BuildCommand->add_option("-o,--output", Out, "the installer to write")->required();
    BuildCommand->add_option("--stub", Stub, "the setup.exe to carry the package");
    auto* InspectCommand = App.add_subcommand("inspect", "print what an installer or uninstaller holds");
    InspectCommand->add_option("FILE", File, "installer or uninstaller")->required();
    InspectCommand->add_flag("--json", Json, "machine-readable output");
    auto* VerifyCommand = App.add_subcommand("verify", "decipher every payload and report each file");
    VerifyCommand->add_option("FILE", File, "installer")->required();

    CLI11_PARSE(App, argc, argv);
    try {
        if (*BuildCommand) {
            qe::BuildInstaller(Manifest, Out, Stub);
            std::cout << "wrote " << Out << "\n";
            return 0;
        }
        qe::TStdioFiles Files;
        if (*InspectCommand) {
            qe::InspectFile(File, Files, Json, std::cout);
            return 0;
        }
        return qe::VerifyFile(File, Files, std::cout) ? 0 : 1;
    } catch (const std::exception& Error) {
        std::cerr << "qepack: " << Error.what() << "\n";
        return 1;
    }
}
