// The log a deployment asks for with /LOG="file": every progress line, each decision
// (terminals found, folders chosen, whom the installation is for) and the result, one
// line each after the local time, in UTF-8. Without a file the lines go nowhere.
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace qe {

class TSetupLog {
public:
    explicit TSetupLog(const TPlatform& Platform) : FPlatform(Platform) {}

    // Creates File anew, replacing an existing file as itself; raises EFCreateError when it
    // cannot, and ELinkOnTheWay when a folder on the way to a full path is a link. The log
    // may go to a folder that others may change, and an elevated program must not write
    // through a link planted there: the file is created only as new, and its folders are
    // held as themselves while the log is open.
    void Open(const std::string& File);
    bool IsOpen() const { return FFile != nullptr; }
    // Writes Line (program text, UTF-8 as the log's) at once, so that a run that ends
    // abruptly leaves every line before. A log that cannot be written any more is closed:
    // the installation does not fail for its log.
    void Add(const std::string& Line);
    // The last line: what the program ended with, and its exit code.
    void AddResult(int ExitCode);

private:
    const TPlatform& FPlatform;
    std::unique_ptr<TFolderHolds> FFolders;
    std::unique_ptr<TStream> FFile;
};

} // namespace qe
