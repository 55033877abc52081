#include "app/SetupLog.h"

#include <cstdio>

#include "app/ExitCodes.h"
#include "platform/Paths.h"

namespace qe {

void TSetupLog::Open(const std::string& File)
{
    IFileSystem& Fs = *FPlatform.FileSystem;
    const std::string Dir = ExtractFileDir(File);
    FFolders = std::make_unique<TFolderHolds>(Fs);
    // A name relative to the current folder is taken as its invoker gave it.
    if (Dir.size() >= 2 && Dir[1] == ':')
        if (const TWayCheck Way = FFolders->HoldWay(Dir); !Way.Clear())
            throw ELinkOnTheWay(Way);
    try {
        FFile = Fs.CreateNewForWriting(File);
        return;
    } catch (const EFCreateError&) {
        uint32_t Attributes = 0;
        if (!Fs.GetAttributes(File, Attributes) || !Fs.RemoveFile(File))
            throw;
    }
    // The old log (or a link in its place, removed as itself) is gone; whatever takes the
    // name now makes the creation fail rather than be written through.
    FFile = Fs.CreateNewForWriting(File);
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
