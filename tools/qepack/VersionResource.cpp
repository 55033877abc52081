#include "tools/qepack/VersionResource.h"

#include <algorithm>

#include "platform/Exceptions.h"
#include "platform/Unicode.h"

namespace qe {
namespace {

constexpr uint16_t RtVersion = 16;

void Put16(std::string& Out, uint16_t Value)
{
    Out += static_cast<char>(Value & 0xFF);
    Out += static_cast<char>(Value >> 8);
}

void Put32(std::string& Out, uint32_t Value)
{
    Put16(Out, static_cast<uint16_t>(Value & 0xFFFF));
    Put16(Out, static_cast<uint16_t>(Value >> 16));
}

void PutText(std::string& Out, const std::u16string& Text)
{
    for (const char16_t C : Text)
        Put16(Out, C);
    Put16(Out, 0);
}

void Align4(std::string& Out)
{
    while (Out.size() % 4 != 0)
        Out += '\0';
}

// One node of the version tree: header, key, value, then the children, each on a
// 32-bit boundary; wLength counts all of it but the padding after the last child.
std::string Node(const std::u16string& Key, const std::string& Value, uint16_t ValueLength, bool IsText,
                 const std::string& Children = {})
{
    std::string Body;
    PutText(Body, Key);
    // The header is 6 bytes long, so the key's padding is counted from the node's start.
    std::string Node(6, '\0');
    Node += Body;
    Align4(Node);
    Node += Value;
    if (!Children.empty()) {
        Align4(Node);
        Node += Children;
    }
    const auto Length = static_cast<uint16_t>(Node.size());
    Node[0] = static_cast<char>(Length & 0xFF);
    Node[1] = static_cast<char>(Length >> 8);
    Node[2] = static_cast<char>(ValueLength & 0xFF);
    Node[3] = static_cast<char>(ValueLength >> 8);
    Node[4] = static_cast<char>(IsText ? 1 : 0);
    return Node;
}

std::string StringValue(const std::u16string& Key, const std::string& Text)
{
    std::string Value;
    const std::u16string Wide = Utf8ToUtf16(Text);
    PutText(Value, Wide);
    std::string Result = Node(Key, Value, static_cast<uint16_t>(Wide.size() + 1), true);
    Align4(Result);
    return Result;
}

uint16_t Clamp16(int32_t Value)
{
    return static_cast<uint16_t>(std::clamp<int32_t>(Value, 0, 0xFFFF));
}

uint32_t Get32(const std::string& Image, size_t At, const std::string& Name)
{
    if (At + 4 > Image.size())
        throw Exception("The stub \"" + Name + "\" is cut short inside its headers");
    return static_cast<uint8_t>(Image[At]) | static_cast<uint8_t>(Image[At + 1]) << 8 |
           static_cast<uint8_t>(Image[At + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(Image[At + 3])) << 24;
}

uint16_t Get16(const std::string& Image, size_t At, const std::string& Name)
{
    return static_cast<uint16_t>(Get32(Image, At, Name) & 0xFFFF);
}

} // namespace

std::string VersionInfoBlock(const TVersionInfo& Info)
{
    const std::string Version = std::to_string(Info.Major) + "." + std::to_string(Info.Minor);
    const std::string FullVersion = Version + "." + std::to_string(Info.Build) + "." + std::to_string(Info.Release);
    std::string Strings;
    const std::pair<const char16_t*, std::string> Values[] = {
        {u"CompanyName", Info.CompanyName},
        {u"FileDescription", Info.FileDescription},
        {u"FileVersion", FullVersion},
        {u"InternalName", "setup"},
        {u"LegalCopyright", Info.LegalCopyright},
        {u"OriginalFilename", Info.OriginalFilename},
        {u"ProductName", Info.ProductName},
        {u"ProductVersion", Version},
    };
    for (const auto& [Key, Text] : Values)
        if (!Text.empty())
            Strings += StringValue(Key, Text);
    // US English (0x0409) in code page 1252 (0x04E4).
    const std::string Table = Node(u"040904E4", {}, 0, true, Strings);
    std::string StringFileInfo = Node(u"StringFileInfo", {}, 0, true, Table);
    Align4(StringFileInfo);
    std::string Translation;
    Put16(Translation, 0x0409);
    Put16(Translation, 1252);
    const std::string VarFileInfo = Node(u"VarFileInfo", {}, 0, true, Node(u"Translation", Translation, 4, false));

    std::string Fixed;
    const uint32_t High = static_cast<uint32_t>(Clamp16(Info.Major)) << 16 | Clamp16(Info.Minor);
    const uint32_t Low = static_cast<uint32_t>(Clamp16(Info.Build)) << 16 | Clamp16(Info.Release);
    for (const uint32_t Field : {0xFEEF04BDu, 0x00010000u, High, Low, High, Low, 0x3Fu, 0u,
                                 0x00040004u /* NT, 32-bit */, 1u /* application */, 0u, 0u, 0u})
        Put32(Fixed, Field);
    return Node(u"VS_VERSION_INFO", Fixed, static_cast<uint16_t>(Fixed.size()), false, StringFileInfo + VarFileInfo);
}

std::optional<TVersionResourcePlace> FindVersionResource(const std::string& Image, const std::string& Name)
{
    if (Image.size() < 0x40 || Image[0] != 'M' || Image[1] != 'Z')
        return std::nullopt;
    const uint32_t Pe = Get32(Image, 0x3C, Name);
    if (static_cast<uint64_t>(Pe) + 4 > Image.size() || Get32(Image, Pe, Name) != 0x00004550)
        return std::nullopt;
    const uint16_t Sections = Get16(Image, Pe + 6, Name);
    const uint16_t OptionalSize = Get16(Image, Pe + 20, Name);
    const size_t Optional = Pe + 24;
    const uint16_t Magic = Get16(Image, Optional, Name);
    const size_t Directories = Optional + (Magic == 0x20B ? 112 : 96);
    const uint32_t DirectoryCount = Get32(Image, Directories - 4, Name);
    if (DirectoryCount < 3)
        return std::nullopt;
    const uint32_t ResourceRva = Get32(Image, Directories + 2 * 8, Name);
    if (ResourceRva == 0)
        return std::nullopt;

    const size_t SectionTable = Optional + OptionalSize;
    const auto FileOffset = [&](uint32_t Rva) -> size_t {
        for (uint16_t I = 0; I < Sections; ++I) {
            const size_t S = SectionTable + I * 40u;
            const uint32_t Start = Get32(Image, S + 12, Name);
            const uint32_t Size = std::max(Get32(Image, S + 8, Name), Get32(Image, S + 16, Name));
            if (Rva >= Start && Rva - Start < Size)
                return Get32(Image, S + 20, Name) + (Rva - Start);
        }
        throw Exception("The stub \"" + Name + "\" has a resource outside its sections");
    };
    const size_t Root = FileOffset(ResourceRva);
    // The entry of the directory at Root + Offset with Id, or its first entry; 0 for none.
    const auto Entry = [&](uint32_t Offset, int Id) -> uint32_t {
        const size_t Dir = Root + Offset;
        const uint16_t Named = Get16(Image, Dir + 12, Name), Ids = Get16(Image, Dir + 14, Name);
        for (uint32_t I = 0; I < static_cast<uint32_t>(Named) + Ids; ++I) {
            const size_t E = Dir + 16 + I * 8;
            if (Id < 0 || Get32(Image, E, Name) == static_cast<uint32_t>(Id))
                return Get32(Image, E + 4, Name);
        }
        return 0;
    };
    const uint32_t Types = Entry(0, RtVersion);
    if (Types == 0)
        return std::nullopt;
    const uint32_t Languages = Entry(Types & 0x7FFFFFFF, -1);
    const uint32_t Data = Languages == 0 ? 0 : Entry(Languages & 0x7FFFFFFF, -1);
    if ((Types & Languages & 0x80000000) == 0 || Data == 0 || (Data & 0x80000000) != 0)
        throw Exception("The stub \"" + Name + "\" has a damaged resource directory");
    TVersionResourcePlace Place;
    Place.SizeField = static_cast<uint32_t>(Root + Data + 4);
    Place.DataOffset = static_cast<uint32_t>(FileOffset(Get32(Image, Root + Data, Name)));
    Place.Size = Get32(Image, Place.SizeField, Name);
    if (static_cast<uint64_t>(Place.DataOffset) + Place.Size > Image.size())
        throw Exception("The stub \"" + Name + "\" has a version resource beyond its end");
    return Place;
}

bool WriteVersionResource(std::string& Image, const std::string& Name, const TVersionInfo& Info)
{
    const auto Found = FindVersionResource(Image, Name);
    if (!Found)
        return false;
    const TVersionResourcePlace& Place = *Found;
    const std::string Block = VersionInfoBlock(Info);
    if (Block.size() > Place.Size)
        throw Exception("The version information takes " + std::to_string(Block.size()) + " bytes, and the stub \"" +
                        Name + "\" holds " + std::to_string(Place.Size) +
                        ": shorten the product's name, description or copyright, or the publisher's name");
    std::copy(Block.begin(), Block.end(), Image.begin() + Place.DataOffset);
    std::fill(Image.begin() + Place.DataOffset + static_cast<long>(Block.size()),
              Image.begin() + Place.DataOffset + Place.Size, '\0');
    std::string Size;
    Put32(Size, static_cast<uint32_t>(Block.size()));
    std::copy(Size.begin(), Size.end(), Image.begin() + Place.SizeField);
    return true;
}

} // namespace qe
