// The system services of Windows through the wide API.
#pragma once

#include "platform/System.h"

namespace qe::win32 {

class TWin32System : public ISystem {
public:
    std::string WindowsFolder() override;
    std::string SystemWindowsFolder() override;
    std::string SystemFolder() override;
    std::string TempFolder() override;
    std::string ExpandEnvironment(const std::string& Text) override;
    bool TopLevelWindowExists(const std::string& ClassName) override;
    bool StartHiddenIdleProcess(const std::string& CommandLine, const std::string& CurrentFolder,
                                const std::vector<std::string>& Environment) override;
    bool IsElevated() override;
    bool RandomBytes(uint8_t* Buffer, size_t Size) override;
    TSystemTime LocalTime() override;
    std::string DisplayLanguage() override;
    bool Md5(const void* Data, size_t Size, std::array<uint8_t, 16>& Digest) override;
};

} // namespace qe::win32
