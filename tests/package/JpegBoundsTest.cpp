// The banner is decoded within bounds of pixels and scans, whatever the file holds: a
// picture over them is refused by the image and is no banner to the models.
#include <gtest/gtest.h>

#include "package/EncDec.h"
#include "package/JpegImage.h"
#include "package/QeClasses.h"
#include "package/QeUninstall.h"
#include "platform/sim/SimPlatform.h"
#include "tests/package/ManyScanJpeg.h"

namespace qe {
namespace {

TEST(JpegBounds, ManyScansAreRefusedAndTheFewAllowedStillDecode)
{
    for (const int Scans : {470, 5000}) {
        TJpegImage Image;
        try {
            Image.LoadFromBytes(test::ManyScanJpeg(1024, 1024, Scans));
            FAIL() << Scans << " scans decoded";
        } catch (const EJpegBoundsError& Error) {
            EXPECT_EQ(Error.Message(), "The picture has more than 64 scans");
        }
        EXPECT_TRUE(Image.Empty());
    }
    TJpegImage Image;
    Image.LoadFromBytes(test::ManyScanJpeg(1024, 1024, MaxJpegScans));
    EXPECT_EQ(Image.Width(), 1024);
    const TRgbPicture Picture = Image.Decode();
    ASSERT_EQ(Picture.Pixels.size(), 1024u * 1024u * 3u);
    EXPECT_EQ(Picture.Pixels[12345], 128);
}

TEST(JpegBounds, PixelsBeyondABannerAreRefusedBeforeDecoding)
{
    TJpegImage Image;
    Image.LoadFromBytes(test::ManyScanJpeg(1024, 1024, 2));
    try {
        Image.LoadFromBytes(test::ManyScanJpeg(1025, 1024, 2));
        FAIL() << "decoded";
    } catch (const EJpegBoundsError& Error) {
        EXPECT_EQ(Error.Message(), "The picture of 1025x1024 pixels is too large");
    }
    EXPECT_EQ(Image.Width(), 1024); // the previous picture stays
}

// A record that carries Banner between two names, in the framing both formats share.
TMemoryStream RecordWithBanner(uint32_t Signature, int32_t BannerId, const std::string& Banner)
{
    TMemoryStream File(std::vector<uint8_t>(200, 0));
    File.Seek(0, TSeekOrigin::soEnd);
    WritePackageOffset(File, 200);
    File.Seek(0, TSeekOrigin::soEnd);
    TTagStreamAdapter Tags(File);
    Tags.WriteSignature(Signature);
    Tags.WriteString(2, EncodeString("Before"));
    TMemoryStream Source(std::vector<uint8_t>(Banner.begin(), Banner.end()));
    Tags.WriteStream(BannerId, Source, static_cast<int32_t>(Banner.size()));
    Tags.WriteString(7, EncodeString("After"));
    return File;
}

TEST(JpegBounds, ABannerOverTheBoundsIsNoBannerToBothModels)
{
    sim::TSimPlatform Machine;
    const std::string Slow = test::ManyScanJpeg(1024, 1024, 5000);
    {
        TQeInstall Model(Machine.Platform());
        TMemoryStream File = RecordWithBanner(PackageSignature, 19, Slow);
        Model.LoadFromStream(File);
        EXPECT_TRUE(Model.Banner->Empty());
        EXPECT_EQ(Model.ProgramName, "Before");
        EXPECT_EQ(Model.Publisher, "After");
    }
    {
        TQeUninstall Model(Machine.Platform());
        TMemoryStream File = RecordWithBanner(UninstallSignature, 12, Slow);
        Model.LoadFromStream(File);
        EXPECT_TRUE(Model.Banner->Empty());
        EXPECT_EQ(Model.Publisher, "After");
    }
}

} // namespace
} // namespace qe
