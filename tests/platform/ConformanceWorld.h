// What the platform conformance suite needs from the Windows it runs against, beyond
// the interfaces themselves: a fresh scratch folder and registry key, and a few ways
// to set up the machine that the interfaces do not offer. Each build has its factory.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace qe::test {

class IConformanceWorld {
public:
    virtual ~IConformanceWorld() = default;

    virtual const TPlatform& Platform() = 0;
    // An empty folder, removed with the world (absolute, no trailing "\").
    virtual std::string Scratch() = 0;
    // A key below the current user's root, removed with the world.
    virtual std::string RegistryKey() = 0;
    virtual void SetVariable(const std::string& Name, const std::string& Value) = 0;
    // Another program holds the file open without sharing it.
    virtual void HoldOpen(const std::string& Path) = 0;
    // Whether the file system keeps a creation time apart from the write time (Wine on
    // a Linux file system does not).
    virtual bool KeepsCreationTimes() = 0;
    // Whether folder paths above 248 characters are refused, as Windows refuses them
    // (Wine creates them).
    virtual bool LimitsFolderPaths() = 0;
    // Opens a top-level window of that class; it stays open as long as the world.
    virtual void OpenWindow(const std::string& ClassName) = 0;
    // The Windows error code of the file system's last failed call.
    virtual uint32_t LastError() = 0;
    // Makes the system give Path (ending in "\\") as its temporary folder, for as long as
    // the world lives.
    virtual void SetTempFolder(const std::string& Path) = 0;
    // Who besides the administrators and the system may write, rename or delete in the
    // folder, whatever its parent allows: no one else (Administrators), the current user
    // as well (CurrentUser); empty when others may.
    virtual std::optional<TPrivateTo> PrivateTo(const std::string& Path) = 0;
    // Whether the file system keeps the access lists it is given (Wine on a Linux file
    // system derives them from the owner and mode bits instead).
    virtual bool KeepsAccessLists() = 0;
    // Makes a link at Path to the absolute path Target, a folder link when Folder is set,
    // as a user could: a symbolic link or junction on Windows, a Unix symbolic link under
    // Wine (which maps those to links). False when this machine lets the test make none.
    virtual bool MakeLink(const std::string& Path, const std::string& Target, bool Folder) = 0;
};

std::unique_ptr<IConformanceWorld> MakeConformanceWorld();

} // namespace qe::test
