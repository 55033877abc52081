// Which model a program file holds, decided as the program decides at start-up: by the
// file's name alone. setup.exe and the producer's inspect both load through here.
#pragma once

#include <memory>
#include <string>

#include "package/QeClasses.h"
#include "package/QeUninstall.h"

namespace qe {

constexpr const char* UninstallerFileName = "Uninstall.exe";

// Whether the program file at Path runs as the uninstaller: its name is "Uninstall.exe"
// in any letter case, in any folder ("\" and "/" both separate folders here).
bool IsUninstallerName(const std::string& Path);

// The model of one program file: exactly one of Install and Uninstall is set.
struct TProgramModel {
    std::unique_ptr<TQeInstall> Install;
    std::unique_ptr<TQeUninstall> Uninstall;

    bool IsUninstall() const { return Uninstall != nullptr; }
    TQeData& Data() const;
};

// The empty model that the program file at Path runs with, not loaded yet; a program
// keeps it even when loading fails.
TProgramModel CreateModel(const TPlatform& Platform, const std::string& Path);

// CreateModel, then LoadFromFile(Path); failures to open or read the file propagate.
TProgramModel LoadModel(const TPlatform& Platform, const std::string& Path);

// The same model loaded from Stream, an open copy of the file at Path, for readers that
// open files their own way; FileName is Path afterwards.
TProgramModel LoadModel(const TPlatform& Platform, const std::string& Path, TStream& Stream);

} // namespace qe
