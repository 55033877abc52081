#include "app/SetupLog.h"

#include <cstdio>

#include "app/ExitCodes.h"

namespace qe {

void TSetupLog::Open(const std::string& File)
{
    FFile = FPlatform.FileSystem->CreateForWriting(File);
}

void TSetupLog::Add(const std::string& Line)
{
    if (!FFile)
        return;
    const TSystemTime T = FPlatform.System->LocalTime();
    char Time[48];
    std::snprintf(Time, sizeof(Time), "%04u-%02u-%02u %02u:%02u:%02u.%03u ", T.Year, T.Month, T.Day, T.Hour, T.Minute,
                  T.Second, T.Milliseconds);
    try {
        FFile->WriteString(Time + Line + "\r\n");
        FFile->Flush();
    } catch (const std::exception&) {
        FFile.reset();
    }
}

void TSetupLog::AddResult(int ExitCode)
{
    Add("Result: " + ExitCodeMeaning(ExitCode) + " (exit code " + std::to_string(ExitCode) + ")");
}

} // namespace qe
