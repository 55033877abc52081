// The language of a run: the command line's, the installation's, the display language's,
// within the vendor's choice, and English or the vendor's first when none fits.
#include <gtest/gtest.h>

#include "language/Languages.h"

namespace qe {
namespace {

std::string Choose(const std::string& Display, std::vector<std::string> Offered = {}, const std::string& Option = "",
                   const std::string& Installed = "")
{
    return ChooseLanguage(TLanguageRequest{Option, Installed, Display, std::move(Offered)});
}

TEST(ChooseLanguage, TheDisplayLanguageByTagOrPrimaryLanguage)
{
    EXPECT_EQ(Choose("de-DE"), "de");
    EXPECT_EQ(Choose("de-AT"), "de");
    EXPECT_EQ(Choose("fr-CA"), "fr");
    EXPECT_EQ(Choose("es-419"), "es");
    EXPECT_EQ(Choose("pt-BR"), "pt-BR");
    EXPECT_EQ(Choose("pt-PT"), "pt-BR");
    EXPECT_EQ(Choose("RU-ru"), "ru");
    EXPECT_EQ(Choose("tr-TR"), "tr");
    EXPECT_EQ(Choose("ja-JP"), "ja");
    EXPECT_EQ(Choose("it"), "it");
    EXPECT_EQ(Choose("en-GB"), "en");
}

TEST(ChooseLanguage, ChineseOnlyInItsSimplifiedScript)
{
    for (const char* Simplified : {"zh-CN", "zh-SG", "zh-Hans", "zh-Hans-HK", "zh"})
        EXPECT_EQ(Choose(Simplified), "zh-CN") << Simplified;
    for (const char* Traditional : {"zh-TW", "zh-HK", "zh-MO", "zh-Hant", "zh-Hant-TW"})
        EXPECT_EQ(Choose(Traditional), "en") << Traditional;
}

TEST(ChooseLanguage, EnglishForALanguageItDoesNotSpeakOrNone)
{
    for (const char* Other : {"ko-KR", "pl-PL", "", "-", "x"})
        EXPECT_EQ(Choose(Other), "en") << Other;
}

TEST(ChooseLanguage, WithinTheVendorsChoice)
{
    EXPECT_EQ(Choose("de-DE", {"ru", "de"}), "de");
    // Not offered: English when the vendor offers it, else the vendor's first.
    EXPECT_EQ(Choose("ja-JP", {"de", "en"}), "en");
    EXPECT_EQ(Choose("ja-JP", {"ru", "de"}), "ru");
    // One language forces it.
    EXPECT_EQ(Choose("en-US", {"tr"}), "tr");
    // Codes are taken without regard to letter case and given in the program's spelling;
    // a code of no language is passed over, and with none left every language is offered.
    EXPECT_EQ(Choose("pt-BR", {"PT-br"}), "pt-BR");
    EXPECT_EQ(Choose("de-DE", {"xx", "ZH-cn"}), "zh-CN");
    EXPECT_EQ(Choose("de-DE", {"xx"}), "de");
}

TEST(ChooseLanguage, TheCommandLineThenTheInstallationOverTheDisplayLanguage)
{
    EXPECT_EQ(Choose("de-DE", {}, "ja"), "ja");
    EXPECT_EQ(Choose("de-DE", {}, "", "ru"), "ru");
    EXPECT_EQ(Choose("de-DE", {}, "FR", "ru"), "fr");
    // Only within the vendor's choice; an unknown code is passed over.
    EXPECT_EQ(Choose("de-DE", {"de", "en"}, "ja"), "de");
    EXPECT_EQ(Choose("de-DE", {}, "klingon", "it"), "it");
    // The command line names a code, not a display tag.
    EXPECT_EQ(Choose("en-US", {}, "de-DE"), "en");
}

} // namespace
} // namespace qe
