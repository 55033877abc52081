// The data model of an install package and of an uninstall record: the product's data,
// its documents, the payload key and the files to install, with the progress protocol
// that the install and uninstall runs report through.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "language/TextTable.h"
#include "package/JpegImage.h"
#include "package/PackageFormat.h"
#include "package/ProductFields.h"
#include "platform/Platform.h"

namespace qe {

// The offset of the package or uninstall record, stored at byte 136 of the executable.
// Reading fails only when the stream is too short to hold the field.
bool ReadPackageOffset(TStream& Stream, uint32_t& Offset);
void WritePackageOffset(TStream& Stream, uint32_t Offset);
// The languages record's value: codes joined by commas, and split again (blanks around a
// code and empty codes dropped).
std::string JoinLanguageCodes(const std::vector<std::string>& Codes);
std::vector<std::string> SplitLanguageCodes(const std::string& Value);

// Follows the offset field to the record and checks its signature; false when the
// stream holds no record of that kind.
bool LocateRecord(TStream& Stream, TTagStreamAdapter& Tags, uint32_t Signature);

// Whom an installation is for: every user of the machine (the program folder under
// Program Files, the all-users Start Menu, the entry under HKEY_LOCAL_MACHINE) or the
// current user only (their own program folder, Start Menu and HKEY_CURRENT_USER).
enum class TInstallScope { Machine, CurrentUser };

class TQeData;
using TProgressEvent = std::function<void(TQeData& Sender, const std::string& Text, int32_t Percent)>;

// The product's fields (TProductFields) with what every model adds: its file, its
// banner and the progress of its run.
class TQeData : public TProductFields {
public:
    explicit TQeData(const TPlatform& Platform);
    virtual ~TQeData() = default;
    TQeData(const TQeData&) = delete;
    TQeData& operator=(const TQeData&) = delete;

    virtual void Clear();
    virtual void LoadFromStream(TStream& Stream) = 0;
    // The run of the model, its install or uninstall run. The runs live in engine/ and are
    // not virtual, so that programs that only read models (the producer) link no engine;
    // this one picks the run by the model's class.
    void Execute();

    // Opens FileName read-only, loads it and then remembers FileName; the file stays open
    // as the model's own (ProgramFile).
    void LoadFromFile(const std::string& FileName);
    // Loads from File, the file named FileName that the caller opened (the running
    // program, opened once as itself), and keeps it open as the model's own.
    void LoadFromFile(std::unique_ptr<TStream> File, const std::string& FileName);
    // The file the model was loaded from, open since: the install run reads the payloads
    // and copies the program from it and never opens the file by its name again, so that
    // a file put in its place meanwhile goes unread. Raises when there is none.
    TStream& ProgramFile();
    void DoProgress(const std::string& Text, int32_t Steps);
    // ProgressPosition * 100 / ProgressMax, rounded; -1 when ProgressMax is 0.
    int32_t ProgressPercent() const;

    std::string FileName;
    // The install run installs for it, the uninstall record keeps it, and the uninstall
    // run removes the installation from there. Loading a package leaves it as it is.
    TInstallScope Scope = TInstallScope::Machine;
    int32_t ProgressPosition = 0;
    int32_t ProgressMax = 0;
    std::unique_ptr<TJpegImage> Banner;
    TProgressEvent OnProgress;
    // The language of the run, by code (empty until the wizard chooses one), and its texts,
    // in which the run reports its steps: English until the wizard sets others; they must
    // outlive the run. The uninstall record keeps the code, so that the uninstaller speaks
    // as the installer did.
    std::string Language;
    const TTextTable* Texts;

protected:
    // Reads a binary value of JPEG contents into Banner; an empty value, or a picture
    // over the bounds of a banner, means no banner.
    void ReadBanner(TTagStreamAdapter& Tags);
    // Clears the model and reads the record of this signature (LocateRecord) with
    // ReadRecords; its strings end up in UTF-8 whether the load ends or fails halfway. A
    // stream without the record leaves the model cleared.
    void LoadRecord(TStream& Stream, uint32_t Signature);
    // The record's entries, their strings as stored; Utf8 tells whether they are UTF-8.
    virtual void ReadRecords(TTagStreamAdapter& Tags, bool& Utf8) = 0;
    // Brings the strings read as stored to UTF-8 (StoredText, package/ProductFields.h),
    // when a load ends and also when it fails halfway: what was read stays, in UTF-8.
    virtual void MakeStringsUtf8(bool Utf8);

    const TPlatform& FPlatform;

private:
    std::unique_ptr<TStream> FProgramFile;
};

class TQeInstallFile {
public:
    std::string Target;
    uint64_t CreationTime = 0;
    uint64_t WriteTime = 0;
    std::string ShortcutName;
    int32_t PayloadSize = 0;
    int32_t PayloadOffset = 0;
};

// One path the install run created: a folder or a file.
struct TInstallLogEntry {
    std::string Path;
    bool IsFolder = false;
};

class TQeInstall : public TQeData {
public:
    explicit TQeInstall(const TPlatform& Platform);

    void Clear() override;
    void LoadFromStream(TStream& Stream) override;
    // The install run (engine/InstallRun.cpp).
    void Execute();

    TQeInstallFile& AddFile();

    std::vector<TInstallLogEntry> InstallLog;
    std::vector<std::unique_ptr<TQeInstallFile>> Files;
    std::vector<std::string> TargetFolders;
    std::string ExpertsOverride;
    // RTF or UTF-8 text (package/Documents.h).
    std::string License;
    std::string Readme;
    std::string WhatsNew;
    TPayloadKey PayloadKey{};
    // Every file aimed at a terminal goes into the data folder of each chosen terminal
    // that has one for the current user, too; the folder page also lists the terminals
    // outside Program Files that a data folder names.
    bool UseDataFolders = false;
    // The wizard's languages the vendor offers, by code; empty: every one.
    std::vector<std::string> Languages;

    // Steps of the install run (engine/).
    void InstallTextFile(const std::string& FilePath, const std::string& LinkPath, const std::string& Text);
    void CreateUrlShortcut(const std::string& Path, const std::string& Url);
    void OverrideExpertsIni(const std::string& Folder);
    void CreateUninstaller(const std::string& ExePath, const std::string& LinkPath);
    // Appends the uninstall record of this installation (product fields, banner and
    // InstallLog) at Stream's position and points the offset field at it.
    void WriteUninstallRecord(TStream& Stream);

protected:
    void ReadRecords(TTagStreamAdapter& Tags, bool& Utf8) override;
    void MakeStringsUtf8(bool Utf8) override;

private:
    // The install run's steps; Execute words what they raise for the user.
    void ExecuteSteps();
    void ReadFileEntry(TTagStreamAdapter& Tags, TQeInstallFile& File);
    // Logs the folders the run made (or an earlier install of the product did), so that
    // the uninstall removes them again once they are empty; not those in a terminal
    // folder or its data folder, which are the terminal's own trees.
    void LogMadeFolders(const std::vector<std::string>& Made);
    // Makes Dir ready through Folders(), logging what it made.
    void MakeLoggedFolders(const std::string& Dir);
    // Writes one packaged file to Path from the open package, with its times and its
    // Start Menu shortcut below MenuDir.
    void InstallPackagedFile(TStream& Package, const TQeInstallFile& File, const std::string& Path,
                             const std::string& MenuDir);
    // The folders the run writes into with an administrator's rights that others may
    // change: the chosen terminal folders and their data folders, the program folder and
    // the Start Menu folder. Every folder on the way to what the run writes there is
    // opened as itself.
    std::vector<std::string> GuardedFolders() const;
    // The run's folder maker, guarding GuardedFolders(); made when first asked for.
    TFolderMaker& Folders();

    // Writes the entry of the list of installed programs for the uninstaller ExePath.
    void RegisterUninstaller(const std::string& ExePath);

    std::unique_ptr<TFolderMaker> FFolders;
    // The data folder of each of TargetFolders during a run; "" where there is none.
    std::vector<std::string> FDataFolders;
    // The bytes of the files a run has written so far, its shortcuts aside.
    int64_t FInstalledBytes = 0;
};

} // namespace qe
