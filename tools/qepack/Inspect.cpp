#include "tools/qepack/Inspect.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "package/ModelLoader.h"
#include "package/PayloadCipher.h"
#include "package/SubStreams.h"
#include "tools/qepack/AnsiText.h"

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

TJson S(const std::string& Bytes)
{
    return BytesToLatin1Utf8(Bytes);
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

// Counts what is written to it and keeps nothing.
class TNullStream : public TStream {
public:
    int32_t Read(void*, int32_t) override { return 0; }
    int32_t Write(const void*, int32_t Count) override
    {
        FSize += Count;
        return Count;
    }
    int64_t Seek(int64_t, TSeekOrigin) override { return FSize; }
    int64_t Written() const { return FSize; }

private:
    int64_t FSize = 0;
};

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

bool VerifyFile(const std::string& Path, TStdioFiles& Files, std::ostream& Out)
{
    auto Stream = Files.OpenForReading(Path);
    const TPlatform FilesOnly; // the model is only loaded here, never run
    TQeInstall Model(FilesOnly);
    Model.LoadFromStream(*Stream);
    if (RecordSignature(*Stream) != "QEIN") {
        Out << Path << ": no install package\n";
        return false;
    }
    const int64_t FileSize = Stream->GetSize();
    bool Sound = true;
    for (const auto& F : Model.Files) {
        std::string Fault;
        // The window's last byte as the installer computes it: within 32-bit offsets.
        const int64_t Last = static_cast<int64_t>(F->PayloadOffset) + F->PayloadSize - 1;
        if (F->PayloadOffset < 0)
            Fault = "its payload offset is negative";
        else if (F->PayloadSize < 16)
            Fault = "its payload is shorter than one block";
        else if (Last > INT32_MAX)
            Fault = "its payload window ends beyond the first 2 GiB";
        else if (Last >= FileSize)
            Fault = "its payload window runs past the end of the file";
        else if (F->PayloadSize % 16 != 0)
            Fault = "its payload size is not a whole number of blocks";
        int64_t Size = 0;
        if (Fault.empty()) {
            try {
                TSubStream Window(*Stream, F->PayloadOffset, Last);
                Window.Seek(0, TSeekOrigin::soBeginning);
                TNullStream Sink;
                CipherStream(Window, Sink, Model.PayloadKey.data(), 16, false);
                Size = Sink.Written();
            } catch (const Exception& Error) {
                Fault = Error.Message();
            }
        }
        if (Fault.empty()) {
            Out << "ok     " << F->Target << " (" << Size << " bytes)\n";
        } else {
            Out << "FAULT  " << F->Target << ": " << Fault << "\n";
            Sound = false;
        }
    }
    Out << Model.Files.size() << " files, " << (Sound ? "all sound" : "faults found") << "\n";
    return Sound;
}

} // namespace qe
