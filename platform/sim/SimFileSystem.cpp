#include "platform/sim/SimFileSystem.h"

#include <algorithm>
#include <cstring>

#include "platform/Exceptions.h"
#include "platform/Paths.h"
#include "platform/Unicode.h"
#include "platform/sim/SimCase.h"
#include "platform/sim/SimErrors.h"

namespace qe::sim {
namespace {

// Sets the times that Times gives; a time of 0 leaves that time as it is.
void ApplyTimes(TFileTimes& Target, const TFileTimes& Times)
{
    if (Times.CreationTime != 0)
        Target.CreationTime = Times.CreationTime;
    if (Times.LastAccessTime != 0)
        Target.LastAccessTime = Times.LastAccessTime;
    if (Times.LastWriteTime != 0)
        Target.LastWriteTime = Times.LastWriteTime;
}

// An open file of the simulated disk: a memory stream over the file's bytes, which every
// stream open on the file shares. TBufferedStream buffers it as it buffers a real one.
class TSimFileStream : public TMemoryStream {
public:
    TSimFileStream(std::shared_ptr<TSimEntry> Entry, bool Writing, const uint64_t& Now)
        : TMemoryStream(&Entry->Bytes), FEntry(std::move(Entry)), FWriting(Writing), FNow(Now)
    {
        (FWriting ? FEntry->OpenWriters : FEntry->OpenReaders) += 1;
    }
    ~TSimFileStream() override { (FWriting ? FEntry->OpenWriters : FEntry->OpenReaders) -= 1; }

    int32_t Write(const void* Buffer, int32_t Count) override
    {
        if (!FWriting)
            return 0;
        const int32_t Written = TMemoryStream::Write(Buffer, Count);
        if (Written > 0)
            FEntry->Times.LastWriteTime = FNow;
        return Written;
    }
    bool SetFileTimes(const TFileTimes& Times) override
    {
        ApplyTimes(FEntry->Times, Times);
        return true;
    }

private:
    std::shared_ptr<TSimEntry> FEntry;
    bool FWriting;
    const uint64_t& FNow;
};

bool ValidName(const std::string& Name)
{
    for (const char C : Name)
        if (static_cast<unsigned char>(C) < 32 || std::strchr("<>:\"|?*", C) != nullptr)
            return false;
    return true;
}

} // namespace

TSimFileSystem::TSimFileSystem()
{
    AddDrive('C');
}

TSimFileSystem::TSimFileSystem(const TSimFileSystem& Other)
    : FNodes(Other.FNodes), FCurrentFolder(Other.FCurrentFolder), FExecutablePath(Other.FExecutablePath),
      FNow(Other.FNow), FLastError(Other.FLastError), FCallerIsAdministrator(Other.FCallerIsAdministrator)
{
    for (auto& [Key, Node] : FNodes) {
        Node.Entry = std::make_shared<TSimEntry>(*Node.Entry);
        Node.Entry->OpenReaders = 0;
        Node.Entry->OpenWriters = 0;
        Node.Entry->Holds = 0;
    }
}

void TSimFileSystem::AddDrive(char Letter)
{
    const std::string Key = FoldCase(std::string(1, Letter)) + ":";
    auto Entry = std::make_shared<TSimEntry>();
    Entry->IsFolder = true;
    Entry->Attributes = faDirectory;
    FNodes[Key] = TNode{Key + "\\", Entry};
}

bool TSimFileSystem::Fail(uint32_t Code)
{
    FLastError = Code;
    return false;
}

bool TSimFileSystem::Resolve(const std::string& Path, TResolved& Resolved, bool FollowLast)
{
    std::string P = Path;
    std::replace(P.begin(), P.end(), '/', '\\');
    // Windows counts UTF-16 units.
    if (Utf16Length(P) > 259)
        return Fail(ErrorFilenameExcedRange);
    if (P.empty() || P.rfind("\\\\", 0) == 0)
        return Fail(ErrorPathNotFound);

    // The current folder as drive and names.
    std::string Drive = FCurrentFolder.substr(0, 2);
    std::vector<std::string> Names;
    auto Split = [&Names](const std::string& Text) {
        size_t Start = 0;
        while (Start <= Text.size()) {
            size_t End = Text.find('\\', Start);
            if (End == std::string::npos)
                End = Text.size();
            std::string Name = Text.substr(Start, End - Start);
            // Windows drops trailing blanks and dots of a name.
            while (!Name.empty() && (Name.back() == ' ' || Name.back() == '.') && Name != "." && Name != "..")
                Name.pop_back();
            if (Name == "..") {
                if (!Names.empty())
                    Names.pop_back();
            } else if (!Name.empty() && Name != ".") {
                Names.push_back(Name);
            }
            Start = End + 1;
        }
    };
    // Takes Text's drive, if it names one, and its names.
    auto Take = [&](const std::string& Text) {
        std::string Rest = Text;
        if (Text.size() >= 2 && Text[1] == ':' && std::isalpha(static_cast<unsigned char>(Text[0]))) {
            const std::string NewDrive = FoldCase(Text.substr(0, 2));
            Rest = Text.substr(2);
            if (NewDrive != FoldCase(Drive) || (!Rest.empty() && Rest[0] == '\\'))
                Names.clear();
            Drive = NewDrive;
        } else if (!Text.empty() && Text[0] == '\\') {
            Names.clear();
        }
        Split(Rest);
    };
    Split(FCurrentFolder.substr(2));
    Take(P);
    for (const std::string& Name : Names)
        if (!ValidName(Name))
            return Fail(ErrorInvalidName);

    // Links on the way are followed, and the one at the end when asked: the names up to
    // a link give way to its target's.
    Resolved.ThroughLink = false;
    for (size_t Count = 1, Hops = 0; Count <= Names.size(); ++Count) {
        if (Count == Names.size() && !FollowLast)
            break;
        std::string Key = FoldCase(Drive);
        for (size_t I = 0; I < Count; ++I)
            Key += "\\" + FoldCase(Names[I]);
        const TNode* Node = Find(Key);
        if (Node == nullptr || !Node->Entry->IsLink())
            continue;
        if (++Hops > 31)
            return Fail(ErrorCantResolveFilename);
        const std::vector<std::string> After(Names.begin() + static_cast<ptrdiff_t>(Count), Names.end());
        Names.clear();
        Take(Node->Entry->LinkTarget);
        Names.insert(Names.end(), After.begin(), After.end());
        Resolved.ThroughLink = true;
        Count = 0;
    }

    const std::string DriveKey = FoldCase(Drive);
    if (Find(DriveKey) == nullptr)
        return Fail(ErrorPathNotFound);
    Resolved.Path = DriveKey;
    for (const std::string& Name : Names)
        Resolved.Path += "\\" + Name;
    Resolved.IsRoot = Names.empty();
    if (Resolved.IsRoot)
        Resolved.Path += "\\";
    Resolved.Key = Resolved.IsRoot ? DriveKey : FoldCase(Resolved.Path);
    Resolved.ParentKey = Resolved.IsRoot ? std::string() : Resolved.Key.substr(0, Resolved.Key.rfind('\\'));
    return true;
}

// The node of a path that exists; null, with the error set, when there is none.
TSimFileSystem::TNode* TSimFileSystem::FindExisting(const std::string& Path, TResolved& Resolved, bool FollowLast)
{
    if (!Resolve(Path, Resolved, FollowLast))
        return nullptr;
    TNode* Node = Find(Resolved.Key);
    if (Node == nullptr)
        Fail(ErrorFileNotFound);
    return Node;
}

TSimFileSystem::TNode* TSimFileSystem::Find(const std::string& Key)
{
    auto It = FNodes.find(Key);
    return It == FNodes.end() ? nullptr : &It->second;
}

bool TSimFileSystem::HasChildren(const std::string& Key) const
{
    const std::string Prefix = Key + "\\";
    auto It = FNodes.lower_bound(Prefix);
    return It != FNodes.end() && It->first.rfind(Prefix, 0) == 0;
}

bool TSimFileSystem::Refuses(const std::string& FolderKey) const
{
    if (FCallerIsAdministrator)
        return false;
    for (std::string Key = FolderKey;;) {
        auto It = FNodes.find(Key);
        if (It != FNodes.end() && It->second.Entry->PrivateTo == TPrivateTo::Administrators)
            return true;
        const size_t Slash = Key.rfind('\\');
        if (Slash == std::string::npos)
            return false;
        Key.resize(Slash);
    }
}

std::unique_ptr<TStream> TSimFileSystem::NewStream(const std::shared_ptr<TSimEntry>& Entry, bool Writing)
{
    return std::make_unique<TBufferedStream>(std::make_unique<TSimFileStream>(Entry, Writing, FNow));
}

std::unique_ptr<TStream> TSimFileSystem::OpenForReading(const std::string& Path)
{
    auto Refuse = [&](uint32_t Code) -> std::unique_ptr<TStream> {
        Fail(Code);
        throw EFOpenError(CannotOpenFileMessage(Path, SysErrorMessage(Code)));
    };
    TResolved R;
    if (!Resolve(Path, R, true))
        return Refuse(FLastError);
    TNode* Node = Find(R.Key);
    if (Node == nullptr) {
        TNode* Parent = R.IsRoot ? nullptr : Find(R.ParentKey);
        return Refuse(Parent != nullptr && Parent->Entry->IsFolder ? ErrorFileNotFound : ErrorPathNotFound);
    }
    const auto& Entry = Node->Entry;
    if (Entry->IsFolder)
        return Refuse(ErrorAccessDenied);
    if (Entry->InUse || Entry->OpenWriters > 0)
        return Refuse(ErrorSharingViolation);
    Entry->Times.LastAccessTime = FNow;
    return NewStream(Entry, false);
}

std::unique_ptr<TStream> TSimFileSystem::CreateForWriting(const std::string& Path)
{
    return Create(Path, false);
}

std::unique_ptr<TStream> TSimFileSystem::CreateNewForWriting(const std::string& Path)
{
    return Create(Path, true);
}

std::unique_ptr<TStream> TSimFileSystem::Create(const std::string& Path, bool MustBeNew)
{
    auto Refuse = [&](uint32_t Code) -> std::unique_ptr<TStream> {
        Fail(Code);
        throw EFCreateError(CannotCreateFileMessage(Path, SysErrorMessage(Code)));
    };
    TResolved R;
    // A new file never goes through a link of its name; a replaced one does, as on Windows.
    if (!Resolve(Path, R, !MustBeNew))
        return Refuse(FLastError);
    if (R.IsRoot)
        return Refuse(ErrorAccessDenied);
    TNode* Parent = Find(R.ParentKey);
    if (Parent == nullptr || !Parent->Entry->IsFolder)
        return Refuse(ErrorPathNotFound);
    if (Refuses(R.ParentKey))
        return Refuse(ErrorAccessDenied);
    if (TNode* Node = Find(R.Key)) {
        const auto& Entry = Node->Entry;
        if (MustBeNew)
            return Refuse(ErrorFileExists);
        // Replacing keeps the file's creation time, as Windows does.
        if (Entry->IsFolder || (Entry->Attributes & (faReadOnly | faHidden | faSystem)) != 0)
            return Refuse(ErrorAccessDenied);
        if (Entry->IsBusy())
            return Refuse(ErrorSharingViolation);
        Entry->Bytes.clear();
        Entry->Attributes = faArchive;
        Entry->Times.LastAccessTime = FNow;
        Entry->Times.LastWriteTime = FNow;
        return NewStream(Entry, true);
    }
    auto Entry = std::make_shared<TSimEntry>();
    Entry->Attributes = faArchive;
    Entry->Times = TFileTimes{FNow, FNow, FNow};
    FNodes[R.Key] = TNode{R.Path, Entry};
    return NewStream(Entry, true);
}

bool TSimFileSystem::SetFileTimes(const std::string& Path, const TFileTimes& Times)
{
    TResolved R;
    TNode* Node = FindExisting(Path, R, true);
    if (Node == nullptr)
        return false;
    // Changing times needs no access that another program's open file could deny.
    ApplyTimes(Node->Entry->Times, Times);
    return true;
}

bool TSimFileSystem::GetFileTimes(const std::string& Path, TFileTimes& Times)
{
    TResolved R;
    TNode* Node = FindExisting(Path, R);
    if (Node == nullptr)
        return false;
    Times = Node->Entry->Times;
    return true;
}

void TSimFileSystem::RenameFile(const std::string& From, const std::string& To)
{
    auto Refuse = [&](uint32_t Code) {
        Fail(Code);
        throw EFCreateError(CannotCreateFileMessage(To, SysErrorMessage(Code)));
    };
    TResolved Source;
    TNode* Moved = FindExisting(From, Source);
    if (Moved == nullptr)
        return Refuse(FLastError);
    TResolved Target;
    if (!Resolve(To, Target))
        return Refuse(FLastError);
    const auto Entry = Moved->Entry;
    if (Entry->IsFolder)
        return Refuse(ErrorAccessDenied);
    if (Entry->IsBusy())
        return Refuse(ErrorSharingViolation);
    TNode* Parent = Find(Target.ParentKey);
    if (Parent == nullptr || !Parent->Entry->IsFolder)
        return Refuse(ErrorPathNotFound);
    if (Refuses(Source.ParentKey) || Refuses(Target.ParentKey))
        return Refuse(ErrorAccessDenied);
    if (TNode* Old = Find(Target.Key)) {
        const auto& OldEntry = Old->Entry;
        if (OldEntry->IsFolder || (OldEntry->Attributes & faReadOnly) != 0)
            return Refuse(ErrorAccessDenied);
        if (OldEntry->IsBusy())
            return Refuse(ErrorSharingViolation);
    }
    FNodes.erase(Source.Key);
    FNodes[Target.Key] = TNode{Target.Path, Entry};
}

bool TSimFileSystem::RemoveFile(const std::string& Path)
{
    TResolved R;
    TNode* Node = FindExisting(Path, R);
    if (Node == nullptr)
        return false;
    if (R.ThroughLink)
        return Fail(ErrorAccessDenied);
    const auto& Entry = Node->Entry;
    if (Entry->IsFolder || (Entry->Attributes & faReadOnly) != 0 || Refuses(R.ParentKey))
        return Fail(ErrorAccessDenied);
    if (Entry->IsBusy())
        return Fail(ErrorSharingViolation);
    FNodes.erase(R.Key);
    return true;
}

bool TSimFileSystem::MakePrivateFolder(const std::string& Path, TPrivateTo To)
{
    if (!MakeFolder(Path))
        return false;
    TResolved R;
    FindExisting(Path, R)->Entry->PrivateTo = To;
    return true;
}

std::optional<TPrivateTo> TSimFileSystem::PrivateTo(const std::string& Path)
{
    TResolved R;
    TNode* Node = FindExisting(Path, R);
    return Node == nullptr ? std::nullopt : Node->Entry->PrivateTo;
}

void TSimFileSystem::ProtectFolder(const std::string& Path)
{
    TResolved R;
    TNode* Node = FindExisting(Path, R);
    if (Node == nullptr || !Node->Entry->IsFolder)
        throw Exception("No such folder: " + Path);
    Node->Entry->PrivateTo = TPrivateTo::Administrators;
}

bool TSimFileSystem::MakeFolder(const std::string& Path)
{
    TResolved R;
    if (!Resolve(Path, R))
        return false;
    // A folder must leave room for a file name of 8.3 characters below it.
    if (Utf16Length(R.Path) > MaxFolderPath)
        return Fail(ErrorFilenameExcedRange);
    if (Find(R.Key) != nullptr)
        return Fail(ErrorAlreadyExists);
    TNode* Parent = Find(R.ParentKey);
    if (Parent == nullptr || !Parent->Entry->IsFolder)
        return Fail(ErrorPathNotFound);
    if (Refuses(R.ParentKey))
        return Fail(ErrorAccessDenied);
    auto Entry = std::make_shared<TSimEntry>();
    Entry->IsFolder = true;
    Entry->Attributes = faDirectory;
    Entry->Times = TFileTimes{FNow, FNow, FNow};
    FNodes[R.Key] = TNode{R.Path, Entry};
    return true;
}

bool TSimFileSystem::RemoveFolder(const std::string& Path)
{
    TResolved R;
    TNode* Node = FindExisting(Path, R);
    if (Node == nullptr)
        return false;
    if (R.ThroughLink)
        return Fail(ErrorAccessDenied);
    if (!Node->Entry->IsFolder)
        return Fail(ErrorDirectory);
    if (R.IsRoot || (Node->Entry->Attributes & faReadOnly) != 0 || Refuses(R.ParentKey))
        return Fail(ErrorAccessDenied);
    if (HasChildren(R.Key))
        return Fail(ErrorDirNotEmpty);
    if (Node->Entry->IsBusy())
        return Fail(ErrorSharingViolation);
    if (FoldCase(ExcludeTrailingDelimiter(FCurrentFolder)) == R.Key)
        return Fail(ErrorSharingViolation);
    FNodes.erase(R.Key);
    return true;
}

bool TSimFileSystem::GetAttributes(const std::string& Path, uint32_t& Attributes)
{
    TResolved R;
    TNode* Node = FindExisting(Path, R);
    if (Node == nullptr)
        return false;
    Attributes = Node->Entry->Attributes;
    return true;
}

bool TSimFileSystem::SetAttributes(const std::string& Path, uint32_t Attributes)
{
    TResolved R;
    TNode* Node = FindExisting(Path, R);
    if (Node == nullptr)
        return false;
    Attributes &= faReadOnly | faHidden | faSystem | faArchive;
    if (Node->Entry->IsFolder)
        Attributes |= faDirectory;
    Node->Entry->Attributes = Attributes == 0 ? faNormal : Attributes;
    return true;
}

std::vector<TFolderEntry> TSimFileSystem::ListFolder(const std::string& Path)
{
    std::vector<TFolderEntry> Result;
    TResolved R;
    if (!Resolve(Path, R, true))
        return Result;
    TNode* Folder = Find(R.Key);
    if (Folder == nullptr || !Folder->Entry->IsFolder)
        return Result;
    const std::string Prefix = R.Key + "\\";
    for (auto It = FNodes.lower_bound(Prefix); It != FNodes.end() && It->first.rfind(Prefix, 0) == 0; ++It)
        if (It->first.find('\\', Prefix.size()) == std::string::npos)
            Result.push_back({ExtractFileName(It->second.Path), It->second.Entry->Attributes});
    return Result;
}

namespace {

// An entry of the simulated disk held as itself.
class TSimHold : public TEntryHold {
public:
    explicit TSimHold(std::shared_ptr<TSimEntry> Entry) : FEntry(std::move(Entry)) { ++FEntry->Holds; }
    ~TSimHold() override { --FEntry->Holds; }

private:
    std::shared_ptr<TSimEntry> FEntry;
};

} // namespace

std::unique_ptr<TEntryHold> TSimFileSystem::HoldAsItself(const std::string& Path, TEntryKind& Kind)
{
    TResolved R;
    if (!Resolve(Path, R)) {
        Kind = FLastError == ErrorPathNotFound ? TEntryKind::ekMissing : TEntryKind::ekUnknown;
        return nullptr;
    }
    const TNode* Node = Find(R.Key);
    if (Node == nullptr) {
        // Missing: but a missing entry reached through a link is still the link's.
        Kind = R.ThroughLink ? TEntryKind::ekLink : TEntryKind::ekMissing;
        return nullptr;
    }
    if (R.ThroughLink || Node->Entry->IsLink()) {
        Kind = TEntryKind::ekLink;
        return nullptr;
    }
    Kind = Node->Entry->IsFolder ? TEntryKind::ekFolder : TEntryKind::ekFile;
    return std::make_unique<TSimHold>(Node->Entry);
}

void TSimFileSystem::StartProgram()
{
    TResolved R;
    TNode* Node = FindExisting(FExecutablePath, R, true);
    if (Node == nullptr)
        throw Exception("No program file at " + FExecutablePath);
    FRunningImage = Node->Entry;
}

std::unique_ptr<TStream> TSimFileSystem::OpenRunningProgram()
{
    auto Stream = OpenForReading(FExecutablePath);
    TResolved R;
    const std::shared_ptr<TSimEntry> Entry = FindExisting(FExecutablePath, R, true)->Entry;
    if (!FRunningImage)
        FRunningImage = Entry;
    else if (FRunningImage != Entry)
        throw EFOpenError(CannotOpenFileMessage(FExecutablePath, RunningProgramReplaced));
    return Stream;
}

void TSimFileSystem::AddLink(const std::string& Path, const std::string& Target, bool Folder)
{
    const std::string Dir = ExtractFileDir(Path);
    if (!Dir.empty())
        AddFolders(Dir);
    TResolved R;
    if (!Resolve(Path, R) || R.IsRoot || Find(R.Key) != nullptr)
        throw Exception("Cannot seed link " + Path);
    auto Entry = std::make_shared<TSimEntry>();
    Entry->IsFolder = Folder;
    Entry->Attributes = (Folder ? faDirectory : faArchive) | faReparsePoint;
    Entry->Times = TFileTimes{FNow, FNow, FNow};
    Entry->LinkTarget = Target;
    FNodes[R.Key] = TNode{R.Path, Entry};
}

void TSimFileSystem::SetCurrentFolder(const std::string& Path)
{
    TResolved R;
    if (!Resolve(Path, R))
        throw Exception("No such folder: " + Path);
    FCurrentFolder = R.Path;
}

void TSimFileSystem::AddFolders(const std::string& Path)
{
    ForceFolders(*this, Path);
    if (!FolderExists(Path))
        throw Exception("Cannot seed folder " + Path);
}

void TSimFileSystem::AddFile(const std::string& Path, const std::string& Contents, uint32_t Attributes)
{
    const std::string Dir = ExtractFileDir(Path);
    if (!Dir.empty())
        AddFolders(Dir);
    {
        auto Stream = CreateForWriting(Path);
        Stream->WriteString(Contents);
        Stream->Flush();
    }
    SetAttributes(Path, Attributes);
}

std::string TSimFileSystem::FileContents(const std::string& Path)
{
    TResolved R;
    TNode* Node = Resolve(Path, R) ? Find(R.Key) : nullptr;
    if (Node == nullptr || Node->Entry->IsFolder || Node->Entry->IsLink())
        throw Exception("No such file: " + Path);
    const std::vector<uint8_t>& Bytes = Node->Entry->Bytes;
    return std::string(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
}

void TSimFileSystem::SetInUse(const std::string& Path, bool InUse)
{
    TResolved R;
    TNode* Node = Resolve(Path, R) ? Find(R.Key) : nullptr;
    if (Node == nullptr)
        throw Exception("No such file: " + Path);
    Node->Entry->InUse = InUse;
}

void TSimFileSystem::ForEachEntry(
    const std::function<void(const std::string& Path, const TSimEntry& Entry)>& Visit) const
{
    for (const auto& [Key, Node] : FNodes)
        Visit(Node.Path, *Node.Entry);
}

std::vector<std::string> TSimFileSystem::AllPaths() const
{
    std::vector<std::string> Result;
    for (const auto& [Key, Node] : FNodes)
        Result.push_back(Node.Path);
    return Result;
}

} // namespace qe::sim
