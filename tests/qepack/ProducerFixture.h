// A scratch folder for producer tests: a stub, a banner, source files and documents,
// and helpers to write a manifest into it and build from it.
#pragma once

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "platform/stdio/StdioFiles.h"
#include "platform/stdio/Utf8Path.h"
#include "tools/qepack/Build.h"
#include "tools/qepack/Manifest.h"

namespace qe {

namespace fs = std::filesystem;

// A scratch folder with a stub, a banner and two source files, and helpers to write a
// manifest into it.
class Producer : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dir = fs::temp_directory_path() /
              ("qepack-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Dir);
        fs::create_directories(Dir / "files");
        std::string StubBytes(1024, '\0');
        StubBytes[0] = 'M';
        StubBytes[1] = 'Z';
        StubBytes[0x3C] = static_cast<char>(0x00);
        StubBytes[0x3D] = static_cast<char>(0x01); // PE header at 256
        Write("stub.exe", StubBytes);
        fs::copy_file(fs::path(QE_SOURCE_DIR) / "examples" / "banner.jpg", Dir / "banner.jpg");
        Write("files/a.mq4", "expert");
        Write("files/b.txt", std::string(100, 'b'));
        Write("License.rtf", "{\\rtf1 licence}");
        Write("empty.jpg", "");
    }
    void TearDown() override { fs::remove_all(Dir); }

    void Write(const std::string& Name, const std::string& Bytes)
    {
        std::ofstream(Dir / PathOf(Name), std::ios::binary) << Bytes;
    }

    std::string Manifest(const std::string& Extra, const std::string& Product = "name = \"Demo\"\nversion = \"3.0\"\n")
    {
        Write("product.toml", "[product]\n" + Product + Extra);
        return TextOf(Dir / "product.toml");
    }

    TBuildReport Build(const std::string& ManifestPath, const std::string& Out, const std::string& Stub)
    {
        return BuildInstaller({ManifestPath, Out, Stub, {}, {}});
    }

    std::string FailureOf(const std::string& Path)
    {
        try {
            LoadManifest(Path, Files);
        } catch (const Exception& E) {
            return E.Message();
        }
        return "no failure";
    }

    std::string FailureOfBuild(const std::string& ManifestPath, const std::string& Out, const std::string& Stub)
    {
        try {
            Build(ManifestPath, Out, Stub);
        } catch (const Exception& E) {
            return E.Message();
        }
        return "no failure";
    }

    std::string Read(const std::string& Name)
    {
        std::ifstream In(Dir / PathOf(Name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    }

    fs::path Dir;
    TStdioFiles Files;
};

} // namespace qe
