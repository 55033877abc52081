#include "tools/qepack/StubCheck.h"

#include <vector>

#include "package/PeImage.h"
#include "package/QeClasses.h"
#include "platform/Exceptions.h"

namespace qe {

void CheckStub(TStream& Stub, const std::string& Path)
{
    std::vector<uint8_t> Header(4096);
    Stub.Seek(0, TSeekOrigin::soBeginning);
    Header.resize(static_cast<size_t>(std::max(Stub.Read(Header.data(), static_cast<int32_t>(Header.size())), 0)));
    Stub.Seek(0, TSeekOrigin::soBeginning);
    if (Header.size() < 0x40 || Header[0] != 'M' || Header[1] != 'Z')
        throw Exception("The stub \"" + Path + "\" is not a Windows executable");
    const uint32_t PeStart = GetLE32(&Header[0x3C]);
    if (PeStart < PackageOffsetField + 4)
        throw Exception("The stub \"" + Path + "\" has no free space at bytes 136 to 139");
    for (uint32_t I = 0; I < 4; ++I)
        if (Header[PackageOffsetField + I] != 0)
            throw Exception("The stub \"" + Path + "\" already carries a package; use the bare setup.exe");
    // A signature covers the file as it is: packing would break it, so the finished
    // installer is signed instead.
    const auto Signature = FindSignatureFields(Stub);
    Stub.Seek(0, TSeekOrigin::soBeginning);
    if (Signature && Signature->Signed())
        throw Exception("The stub \"" + Path +
                        "\" carries a signature; build from the unsigned setup.exe and sign the finished "
                        "installer (see docs/manifest.md)");
}

} // namespace qe
