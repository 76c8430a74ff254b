#include <gtest/gtest.h>

#include "base/TextConversion.h"
#include "tests/app/AppTestSupport.h"
#include "truetype/font/TrueTypeFont.h"

using namespace app;
using namespace app_testing;
using namespace testing_support;

namespace {

constexpr std::uint16_t English = 0x0409;
constexpr std::uint16_t German = 0x0407;

// The name ReadFontName chooses for the language, or "<none>".
std::string Chosen(const std::vector<TNameRecord>& Records, std::uint16_t Language)
{
    base::TMemoryStream Stream(MinimalFont().Add("name", NameTable(Records)).Build());
    std::u16string Name = u"<none>";
    TFontInfo::ReadFontName(Stream, Language, Name);
    return base::Utf16ToUtf8(Name);
}

TNameRecord Rec(std::uint16_t Language, std::uint16_t NameID, std::u16string Text, std::uint16_t Encoding = 1)
{
    return {3, Encoding, Language, NameID, std::move(Text)};
}

}  // namespace

TEST(FontName, TheEnglishFullNameOfTheMicrosoftRecordsIsNeeded)
{
    EXPECT_EQ(Chosen({Rec(English, 4, u"Sans Bold")}, English), "Sans Bold");
    // Macintosh records alone give nothing.
    EXPECT_EQ(Chosen({{1, 0, 0, 4, u"Mac Name"}}, English), "<none>");
    EXPECT_EQ(Chosen({}, English), "<none>");
    // Names in other languages do not stand in for a missing English full name.
    EXPECT_EQ(Chosen({Rec(German, 4, u"Schrift Fett"), Rec(English, 1, u"Sans")}, German), "<none>");
    // The Symbol group is taken whenever it exists, even without the name.
    EXPECT_EQ(Chosen({Rec(English, 4, u"Symbol Name", 0), Rec(English, 4, u"Unicode Name")}, English), "Symbol Name");
    EXPECT_EQ(Chosen({Rec(English, 1, u"Symbol Family", 0), Rec(English, 4, u"Unicode Name")}, English), "<none>");
    // Text outside the code pages stays whole.
    EXPECT_EQ(Chosen({Rec(English, 4, u"Noten \U0001D11E \u4E2D")}, English), "Noten \xF0\x9D\x84\x9E \xE4\xB8\xAD");
}

TEST(FontName, TheSystemLanguageChoosesAmongTheNames)
{
    const TNameRecord Full = Rec(English, 4, u"Sans Bold");
    const TNameRecord Family = Rec(English, 1, u"Sans");
    EXPECT_EQ(Chosen({Full, Family, Rec(German, 4, u"Schrift Fett")}, German), "Schrift Fett");
    EXPECT_EQ(Chosen({Full, Family, Rec(German, 1, u"Schrift"), Rec(German, 2, u"Fett")}, German), "Schrift Fett");
    EXPECT_EQ(Chosen({Full, Family, Rec(German, 2, u"Fett")}, German), "Sans Fett");
    EXPECT_EQ(Chosen({Full, Rec(German, 2, u"Fett")}, German), "Sans Bold");
    EXPECT_EQ(Chosen({Full, Family, Rec(German, 1, u"Schrift")}, German), "Sans Bold");
    // On an English system the English full name wins over everything else.
    EXPECT_EQ(Chosen({Full, Family, Rec(German, 4, u"Schrift Fett"), Rec(English, 2, u"Bold")}, English), "Sans Bold");
}

TEST(FontName, ParseFileNamesFromTheSystemLocaleAndNeverFails)
{
    TMachine M;
    M.Files.PutFile(M.InFonts("german.ttf"),
                    NamedFont(u"Sans Bold", {Rec(German, 1, u"Schrift"), Rec(German, 2, u"Fett")}));
    const TBytes Whole = NamedFont(u"Broken");
    M.Files.PutFile(M.InFonts("broken.ttf"), TBytes(Whole.begin(), Whole.begin() + 40));
    // The sort-order bits above the language are not part of it.
    M.System.Locale = 0x00010407;
    TNoScanProgress Progress;
    TFontInfo Entry;
    Entry.ParseFile(M.Services, Progress, M.InFonts("german.ttf"));
    EXPECT_EQ(Entry.FontName, "Schrift Fett");
    EXPECT_EQ(Entry.FileName, M.InFonts("german.ttf"));
    Entry.ParseFile(M.Services, Progress, M.InFonts("broken.ttf"));
    EXPECT_EQ(Entry.FontName, "");
    Entry.ParseFile(M.Services, Progress, M.InFonts("missing.ttf"));
    EXPECT_EQ(Entry.FontName, "");
    EXPECT_EQ(Entry.FileName, M.InFonts("missing.ttf"));
}
