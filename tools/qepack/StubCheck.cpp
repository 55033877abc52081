#include "tools/qepack/StubCheck.h"

#include "package/QeClasses.h"
#include "platform/Exceptions.h"

namespace qe {

void CheckStub(TStream& Stub, const std::string& Path)
{
    uint8_t Header[256] = {};
    Stub.Seek(0, TSeekOrigin::soBeginning);
    const int32_t Got = Stub.Read(Header, sizeof Header);
    Stub.Seek(0, TSeekOrigin::soBeginning);
    if (Got < 0x40 || Header[0] != 'M' || Header[1] != 'Z')
        throw Exception("The stub \"" + Path + "\" is not a Windows executable");
    const uint32_t PeStart =
        Header[0x3C] | Header[0x3D] << 8 | Header[0x3E] << 16 | static_cast<uint32_t>(Header[0x3F]) << 24;
    if (PeStart < PackageOffsetField + 4)
        throw Exception("The stub \"" + Path + "\" has no free space at bytes 136 to 139");
    for (int I = 0; I < 4; ++I)
        if (Header[PackageOffsetField + I] != 0)
            throw Exception("The stub \"" + Path + "\" already carries a package; use the bare setup.exe");
}

} // namespace qe
