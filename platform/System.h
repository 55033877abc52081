// What the system takes from Windows besides files, the registry and the shell: its
// folders and environment, top-level windows, processes, the clock, and the digest that
// names a terminal's data folder.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qe {

struct TSystemTime {
    uint16_t Year = 0;
    uint16_t Month = 0;
    uint16_t DayOfWeek = 0;
    uint16_t Day = 0;
    uint16_t Hour = 0;
    uint16_t Minute = 0;
    uint16_t Second = 0;
    uint16_t Milliseconds = 0;
};

class ISystem {
public:
    virtual ~ISystem() = default;

    // The Windows, system and temporary folders as the system gives them; the
    // temporary folder ends in "\".
    virtual std::string WindowsFolder() = 0;
    // The Windows folder that all users share. On a terminal server the Windows folder of
    // a program that is not marked aware of it is a folder of the user's own.
    virtual std::string SystemWindowsFolder() = 0;
    virtual std::string SystemFolder() = 0;
    virtual std::string TempFolder() = 0;
    // Text with every %NAME% of a defined environment variable replaced by its value.
    virtual std::string ExpandEnvironment(const std::string& Text) = 0;
    // A top-level window of this exact class name exists (its title is not looked at).
    virtual bool TopLevelWindowExists(const std::string& ClassName) = 0;
    // Starts CommandLine as a hidden process at idle priority with CurrentFolder as its
    // current folder (the caller's when empty); false when it could not be started.
    // Environment holds "NAME=value" entries: the process gets exactly these, or the
    // caller's environment when the list is empty.
    virtual bool StartHiddenIdleProcess(const std::string& CommandLine, const std::string& CurrentFolder,
                                        const std::vector<std::string>& Environment) = 0;
    // The program runs with an administrator's full rights: elevated, or as an
    // administrator on a system without elevation.
    virtual bool IsElevated() = 0;
    // Fills Buffer with Size bytes from the system's cryptographic random source; false
    // when it cannot.
    virtual bool RandomBytes(uint8_t* Buffer, size_t Size) = 0;
    virtual TSystemTime LocalTime() = 0;
    // The user's Windows display language as a language tag ("de-DE", "zh-CN"); empty
    // when the system does not say.
    virtual std::string DisplayLanguage() = 0;

    // The MD5 digest of Size bytes; false when the system cannot make one.
    virtual bool Md5(const void* Data, size_t Size, std::array<uint8_t, 16>& Digest) = 0;
};

// Bytes random bytes from the system's cryptographic source as twice as many lowercase
// hexadecimal digits: a name no other program can guess ahead. Raises when the system
// gives no random bytes.
std::string RandomName(ISystem& System, size_t Bytes);

} // namespace qe
