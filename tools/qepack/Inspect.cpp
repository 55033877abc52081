#include "tools/qepack/Inspect.h"

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "package/ModelLoader.h"
#include "package/PayloadCipher.h"
#include "package/SubStreams.h"
#include "platform/Unicode.h"
#include "platform/stdio/FileTimes.h"
#include "platform/stdio/Utf8Path.h"
#include "tools/qepack/TargetRules.h"

namespace qe {
namespace {

using TJson = nlohmann::ordered_json;

// Which record the file's offset field leads to: "QEIN", "QEUN" or nothing.
std::string RecordSignature(TStream& Stream)
{
    TTagStreamAdapter Tags(Stream);
    for (const uint32_t Signature : {PackageSignature, UninstallSignature})
        if (LocateRecord(Stream, Tags, Signature))
            return Signature == PackageSignature ? "QEIN" : "QEUN";
    return {};
}

std::string Hex(const TPayloadKey& Key)
{
    std::string Text;
    char Digits[3];
    for (const uint8_t Byte : Key) {
        std::snprintf(Digits, sizeof Digits, "%02x", Byte);
        Text += Digits;
    }
    return Text;
}

// A text of the model as the output shows it: the model's UTF-8 as it is. An RTF document
// with bytes of its own code page, which are no UTF-8, has each byte written as the
// character of the same code, so that exact bytes survive.
std::string S(const std::string& Text)
{
    if (IsValidUtf8(Text))
        return Text;
    std::string Result;
    for (const char C : Text)
        AppendUtf8(Result, static_cast<uint8_t>(C));
    return Result;
}

TJson CommonFields(const TQeData& M, const std::string& Record)
{
    TJson J;
    J["Record"] = Record;
    J["FileName"] = S(M.FileName);
    J["ShowNotice"] = M.ShowNotice;
    J["ProgramName"] = S(M.ProgramName);
    J["MajorVersion"] = M.MajorVersion;
    J["MinorVersion"] = M.MinorVersion;
    J["BuildNumber"] = M.BuildNumber;
    J["ReleaseNumber"] = M.ReleaseNumber;
    J["Publisher"] = S(M.Publisher);
    J["Website"] = S(M.Website);
    J["Address"] = S(M.Address);
    J["ContactName"] = S(M.ContactName);
    J["Email"] = S(M.Email);
    J["Banner"] = {{"Size", M.Banner->Bytes().size()}, {"Width", M.Banner->Width()}, {"Height", M.Banner->Height()}};
    return J;
}

TJson InstallModel(const TQeInstall& M, const std::string& Record)
{
    TJson J = CommonFields(M, Record);
    J["License"] = S(M.License);
    J["Readme"] = S(M.Readme);
    J["WhatsNew"] = S(M.WhatsNew);
    J["ExpertsOverride"] = S(M.ExpertsOverride);
    J["UseDataFolders"] = M.UseDataFolders;
    // The vendor's languages; empty: every one.
    J["Languages"] = TJson::array();
    for (const std::string& Code : M.Languages)
        J["Languages"].push_back(S(Code));
    J["PayloadKey"] = Hex(M.PayloadKey);
    J["Files"] = TJson::array();
    for (const auto& F : M.Files)
        J["Files"].push_back({{"Target", S(F->Target)},
                              {"CreationTime", F->CreationTime},
                              {"WriteTime", F->WriteTime},
                              {"ShortcutName", S(F->ShortcutName)},
                              {"PayloadSize", F->PayloadSize},
                              {"PayloadOffset", F->PayloadOffset}});
    return J;
}

TJson UninstallModel(const TQeUninstall& M, const std::string& Record)
{
    TJson J = CommonFields(M, Record);
    // The language the installation ran in, which the uninstaller speaks.
    J["Language"] = S(M.Language);
    J["Files"] = TJson::array();
    for (const std::string& Path : M.Files)
        J["Files"].push_back(S(Path));
    J["Folders"] = TJson::array();
    for (const std::string& Path : M.Folders)
        J["Folders"].push_back(S(Path));
    return J;
}

void PrintText(const TJson& J, std::ostream& Out)
{
    for (const auto& [Key, Value] : J.items()) {
        if ((Key == "Files" || Key == "Folders") && (Value.empty() || Value[0].is_string())) {
            Out << Key << ": " << Value.size() << "\n";
            for (const auto& Path : Value)
                Out << "  " << Path.get<std::string>() << "\n";
        } else if (Key == "Files") {
            Out << "Files: " << Value.size() << "\n";
            for (const auto& F : Value) {
                Out << "  " << F["Target"].get<std::string>() << "\n";
                for (const auto& [FKey, FValue] : F.items())
                    if (FKey != "Target")
                        Out << "    " << FKey << ": "
                            << (FValue.is_string() ? FValue.get<std::string>() : FValue.dump()) << "\n";
            }
        } else if (Value.is_string() && Value.get<std::string>().size() > 60) {
            Out << Key << ": (" << Value.get<std::string>().size() << " characters)\n";
        } else {
            Out << Key << ": " << (Value.is_string() ? Value.get<std::string>() : Value.dump()) << "\n";
        }
    }
}

} // namespace

void InspectFile(const std::string& Path, TStdioFiles& Files, bool Json, std::ostream& Out)
{
    auto Stream = Files.OpenForReading(Path);
    const std::string Record = RecordSignature(*Stream);
    const TPlatform FilesOnly; // the model is only loaded here, never run
    const TProgramModel Model = LoadModel(FilesOnly, Path, *Stream);
    const TJson J =
        Model.IsUninstall() ? UninstallModel(*Model.Uninstall, Record) : InstallModel(*Model.Install, Record);
    if (Json)
        Out << J.dump(2) << "\n";
    else
        PrintText(J, Out);
}

} // namespace qe

namespace qe {

void ExtractFile(const std::string& Path, const std::string& Dir, TStdioFiles& Files, std::ostream& Out)
{
    namespace fs = std::filesystem;
    auto Stream = Files.OpenForReading(Path);
    const TPlatform FilesOnly; // the model is only loaded here, never run
    TQeInstall Model(FilesOnly);
    Model.LoadFromStream(*Stream);
    if (RecordSignature(*Stream) != "QEIN")
        throw Exception("\"" + Path + "\" holds no install package");
    // Every target is checked before anything is written.
    std::vector<fs::path> Places;
    for (const auto& F : Model.Files) {
        fs::path Place = PathOf(Dir);
        for (size_t Start = 0; Start <= F->Target.size();) {
            const size_t End = std::min(F->Target.find('\\', Start), F->Target.size());
            const std::string Name = F->Target.substr(Start, End - Start);
            if (const auto Fault = NameFault(Name))
                throw Exception("the target \"" + F->Target + "\" would leave \"" + Dir +
                                "\" or cannot be a file name there (" + *Fault + "); nothing was extracted");
            Place /= PathOf(Name);
            Start = End + 1;
        }
        Places.push_back(Place);
    }
    for (size_t I = 0; I < Places.size(); ++I) {
        const TQeInstallFile& F = *Model.Files[I];
        fs::create_directories(Places[I].parent_path());
        {
            auto Target = Files.CreateForWriting(TextOf(Places[I]));
            TSubStream Window(*Stream, F.PayloadOffset, static_cast<int64_t>(F.PayloadOffset) + F.PayloadSize - 1);
            Window.Seek(0, TSeekOrigin::soBeginning);
            try {
                CipherStream(Window, *Target, Model.PayloadKey.data(), PayloadKeySize, false);
            } catch (const ECipherException& Error) {
                throw Exception("the payload of \"" + F.Target + "\" is damaged: " + Error.Message());
            }
            Target->Flush();
        }
        SetFileTimes(TextOf(Places[I]), {F.CreationTime, F.WriteTime});
        Out << TextOf(Places[I]) << " (" << fs::file_size(Places[I]) << " bytes)\n";
    }
    Out << Places.size() << " files extracted\n";
}

} // namespace qe
