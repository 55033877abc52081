// Every language the program carries gives every text, with the placeholders of the English
// text, and the program carries every file of language/texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "language/Languages.h"

namespace qe {
namespace {

std::string ReadSource(const std::string& Name)
{
    std::ifstream In(std::string(QE_SOURCE_DIR) + "/language/texts/" + Name, std::ios::binary);
    std::stringstream Text;
    Text << In.rdbuf();
    return Text.str();
}

TEST(LanguageFiles, TheProgramCarriesEveryFileOfTheTextsFolderWithoutItsComments)
{
    std::set<std::string> OnDisk;
    for (const auto& Entry : std::filesystem::directory_iterator(std::string(QE_SOURCE_DIR) + "/language/texts"))
        OnDisk.insert(Entry.path().filename().string());
    std::set<std::string> Carried;
    for (const TLanguageFile& File : LanguageFiles()) {
        const std::string Name = std::string(File.Code) + ".txt";
        Carried.insert(Name);
        const TTextTable FromDisk = TTextTable::Parse(ReadSource(Name), Name);
        const TTextTable Built = TTextTable::Parse(File.Source, Name);
        for (size_t I = 0; I < TextCount; ++I)
            EXPECT_EQ(Built.Raw(static_cast<TText>(I)), FromDisk.Raw(static_cast<TText>(I))) << Name;
        // No comment line comes along.
        EXPECT_FALSE(File.Source.starts_with('#') || File.Source.find("\n#") != std::string_view::npos) << Name;
    }
    EXPECT_EQ(Carried, OnDisk);
    EXPECT_EQ(LanguageCodes(), "en, de, fr, es, pt-BR, it, ru, tr, zh-CN, ja");
}

TEST(LanguageFiles, EveryLanguageGivesEveryTextWithTheEnglishPlaceholders)
{
    const TTextTable& English = EnglishTexts();
    for (const TLanguageFile& File : LanguageFiles()) {
        SCOPED_TRACE(File.Code);
        // Without a fallback, a text the file lacks stays missing.
        const TTextTable Texts = TTextTable::Parse(File.Source, std::string(File.Code) + ".txt");
        for (const TText Id : Texts.Missing())
            ADD_FAILURE() << File.Code << ".txt lacks " << TextName(Id);
        for (size_t I = 0; I < TextCount; ++I) {
            const auto Id = static_cast<TText>(I);
            EXPECT_FALSE(Texts.Raw(Id).empty()) << TextName(Id);
            EXPECT_EQ(PlaceholdersOf(Texts.Raw(Id)), PlaceholdersOf(English.Raw(Id))) << TextName(Id);
            // A message's lines, and the welcome and finish texts' paragraphs, as in English.
            const auto Count = [](const std::string& Text, const std::string& What) {
                size_t N = 0;
                for (size_t At = Text.find(What); At != std::string::npos; At = Text.find(What, At + 1))
                    ++N;
                return N;
            };
            EXPECT_EQ(Count(Texts.Raw(Id), "%n"), Count(English.Raw(Id), "%n")) << TextName(Id);
            EXPECT_EQ(Count(Texts.Raw(Id), "<br>"), Count(English.Raw(Id), "<br>")) << TextName(Id);
        }
    }
}

TEST(LanguageFiles, EachLanguageHasItsOwnButtons)
{
    // The buttons are what a user of each language reads first; a file copied from English
    // and left untranslated shows here.
    std::set<std::string> Nexts;
    for (const TLanguageFile& File : LanguageFiles())
        Nexts.insert(LoadTexts(File.Code).Raw(TText::ButtonNext));
    EXPECT_EQ(Nexts.size(), LanguageFiles().size());
    EXPECT_EQ(LoadTexts("de").Format(TText::ButtonNext), "Weiter >");
    EXPECT_EQ(LoadTexts("de").Format(TText::ButtonPrev), "< Zurück");
    EXPECT_EQ(LoadTexts("de").Format(TText::ButtonCancel), "Abbrechen");
    EXPECT_EQ(LoadTexts("de").Format(TText::ButtonFinish), "Fertig stellen");
    EXPECT_EQ(LoadTexts("DE").Language(), "de");
    EXPECT_EQ(LoadTexts("xx").Language(), "en");
}

} // namespace
} // namespace qe
