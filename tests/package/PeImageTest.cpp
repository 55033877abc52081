// The signature's fields of a program's header, found and cleared.
#include <gtest/gtest.h>

#include "package/PeImage.h"
#include "tests/package/PeHeaderBytes.h"

namespace qe::test {
namespace {

TMemoryStream StreamOf(const std::string& Bytes)
{
    return TMemoryStream(std::vector<uint8_t>(Bytes.begin(), Bytes.end()));
}

std::string BytesOf(TMemoryStream& Stream)
{
    return std::string(Stream.Bytes().begin(), Stream.Bytes().end());
}

// The checksums are those another implementation of Windows' algorithm gives for the
// same bytes (the even and the odd length tell how the last byte counts).
TEST(PeImage, ASignedProgramLosesItsCertificateEntryAndGetsItsChecksumAndNothingElse)
{
    const struct {
        bool Plus;
        size_t Size;
        uint32_t CheckSum;
    } Cases[] = {{false, 4000, 0x1614}, {false, 4001, 0x1635}, {true, 4000, 0x1724}, {true, 4001, 0x1745}};
    for (const auto& Case : Cases) {
        const TPeHeaderLayout Layout{Case.Plus};
        const std::string Signed = PeHeaderBytes(Case.Size, Layout, 0x9000, 0x1A28);
        TMemoryStream Image = StreamOf(Signed);
        const auto Fields = FindSignatureFields(Image);
        ASSERT_TRUE(Fields.has_value()) << (Case.Plus ? "PE32+" : "PE32");
        EXPECT_EQ(Fields->CheckSumAt, static_cast<int64_t>(Layout.CheckSumAt()));
        EXPECT_EQ(Fields->CertificateTableAt, static_cast<int64_t>(Layout.CertificateTableAt()));
        EXPECT_EQ(Fields->CertificateTableSize, 0x1A28u);
        EXPECT_TRUE(Fields->Signed());

        MakeUnsigned(Image);
        std::string Expected = Signed;
        Put32(Expected, Layout.CheckSumAt(), Case.CheckSum);
        Put32(Expected, Layout.CertificateTableAt(), 0);
        Put32(Expected, Layout.CertificateTableAt() + 4, 0);
        EXPECT_EQ(BytesOf(Image), Expected) << std::hex << Get32(BytesOf(Image), Layout.CheckSumAt());
        EXPECT_FALSE(FindSignatureFields(Image)->Signed());
        // The checksum field itself does not count.
        EXPECT_EQ(PeCheckSum(Image, *FindSignatureFields(Image)), Case.CheckSum);
    }
    // An unsigned program is found unsigned.
    TMemoryStream Unsigned = StreamOf(PeHeaderBytes(2000, {}));
    EXPECT_FALSE(FindSignatureFields(Unsigned)->Signed());
}

TEST(PeImage, WhatIsNoProgramHeaderStaysAsItIs)
{
    std::vector<std::string> Foreign;
    Foreign.push_back(std::string("MZ") + std::string(1000, '\x07')); // a DOS header pointing nowhere sensible
    Foreign.push_back(std::string(20, 'M'));                          // too short for a DOS header
    std::string NoPe = PeHeaderBytes(2000, {});
    NoPe[TPeHeaderLayout::PeStart] = 'N';
    Foreign.push_back(NoPe);
    std::string Beyond = PeHeaderBytes(2000, {});
    Put32(Beyond, 0x3C, 0x7FFFFFF0); // the PE header past the end
    Foreign.push_back(Beyond);
    std::string FewEntries = PeHeaderBytes(2000, {}, 0x900, 0x100);
    Put32(FewEntries, TPeHeaderLayout::Optional + 92, 4); // no certificate table entry
    Foreign.push_back(FewEntries);
    std::string ShortOptional = PeHeaderBytes(2000, {}, 0x900, 0x100);
    ShortOptional[TPeHeaderLayout::PeStart + 20] = 96; // the entries lie outside the optional header
    Foreign.push_back(ShortOptional);
    std::string Rom = PeHeaderBytes(2000, {}, 0x900, 0x100);
    Rom[TPeHeaderLayout::Optional + 1] = 7; // neither PE32 nor PE32+
    Foreign.push_back(Rom);
    for (const std::string& Bytes : Foreign) {
        TMemoryStream Image = StreamOf(Bytes);
        EXPECT_FALSE(FindSignatureFields(Image).has_value());
        MakeUnsigned(Image);
        EXPECT_EQ(BytesOf(Image), Bytes);
    }
}

} // namespace
} // namespace qe::test
