#include <gtest/gtest.h>

#include "base/ListError.h"
#include "tests/truetype/NameTestSupport.h"
#include "truetype/font/TrueTypeFont.h"
#include "truetype/sfnt/UnitWarningCollector.h"

using namespace truetype;
using namespace testing_support;
using namespace name_tests;

namespace {

// The 12 bytes of one record.
TByteWriter& Record(TByteWriter& W, std::uint16_t Platform, std::uint16_t Encoding, std::uint16_t Language,
                    std::uint16_t NameID, std::uint16_t Length, std::uint16_t Offset)
{
    return W.U16(Platform).U16(Encoding).U16(Language).U16(NameID).U16(Length).U16(Offset);
}

std::unique_ptr<TTableName> Table(const std::vector<TRecord>& Records, bool ShareStrings = true)
{
    auto Name = std::make_unique<TTableName>("name");
    Name->ShareStrings = ShareStrings;
    for (const auto& [Platform, Encoding, Language, NameID, Text] : Records)
        Name->Names.AddName(Platform, Encoding, Language, NameID, Text);
    return Name;
}

TBytes Saved(const std::vector<TRecord>& Records, bool ShareStrings = true)
{
    return SaveName(*Table(Records, ShareStrings));
}

}  // namespace

TEST(NameTree, FindsAddsAndReplacesByKeyInInsertionOrder)
{
    TNameList Names;
    Names.AddName(3, 1, 0x409, 4, u"Full");
    Names.AddName(1, 0, 0, 1, u"Mac");
    Names.AddName(3, 1, 0x407, 1, u"Familie");
    Names.AddName(3, 1, 0x409, 1, u"Family");
    Names.AddName(3, 1, 0x409, 4, u"Full again");
    ASSERT_EQ(Names.Count(), 2u);
    EXPECT_EQ(Names.Items(0).PlatformID, 3);
    EXPECT_EQ(Names.Items(1).PlatformID, 1);
    EXPECT_EQ(Names.FindPlatform(3, 1), &Names.Items(0));
    EXPECT_EQ(Names.FindPlatform(3, 0), nullptr);
    EXPECT_EQ(Names.FindPlatform(1, 3), nullptr);

    const TNamePlatformList& Windows = Names.Items(0);
    ASSERT_EQ(Windows.Count(), 2u);
    EXPECT_EQ(Windows.Items(0).LanguageID, 0x409);
    EXPECT_EQ(Windows.Items(1).LanguageID, 0x407);
    EXPECT_EQ(Windows.FindLanguage(0x407), &Windows.Items(1));
    EXPECT_EQ(Windows.Items(0).Count(), 2u);
    EXPECT_EQ(Windows.Items(0).Items(0).NameID, 4);
    EXPECT_EQ(Windows.Items(0).Items(0).Text, u"Full again");
    EXPECT_EQ(Windows.Items(0).FindName(1)->Text, u"Family");

    std::u16string Text = u"untouched";
    EXPECT_FALSE(Windows.GetName(0x409, 2, Text));
    EXPECT_FALSE(Windows.GetName(0x40C, 4, Text));
    EXPECT_EQ(Text, u"untouched");
    EXPECT_TRUE(Windows.GetName(0x407, 1, Text));
    EXPECT_EQ(Text, u"Familie");

    EXPECT_THROW(Names.Items(2), base::EListError);
    EXPECT_THROW(Windows.Items(-1), base::EListError);
    EXPECT_THROW(Windows.Items(0).Items(2), base::EListError);
    Names.Clear();
    EXPECT_EQ(Names.Count(), 0u);
    EXPECT_EQ(Names.FindPlatform(3, 1), nullptr);

    // Long lists are found through their index, before and after it exists.
    TNameLanguageList Language;
    for (std::uint16_t Round = 0; Round < 2; ++Round)
        for (std::uint16_t Id = 40; Id-- > 0;) {
            const auto NameID = static_cast<std::uint16_t>(Id * 1000);
            Language.SetName(NameID, std::u16string(Round + 1, static_cast<char16_t>(u'a' + Id % 26)));
            ASSERT_NE(Language.FindName(NameID), nullptr);
            EXPECT_EQ(Language.FindName(NameID)->Text.size(), Round + 1u);
            EXPECT_EQ(Language.FindName(static_cast<std::uint16_t>(NameID + 1)), nullptr);
        }
    EXPECT_EQ(Language.Count(), 40u);
    EXPECT_EQ(Language.Items(0).NameID, 39000);
    EXPECT_EQ(Language.Items(39).NameID, 0);
}

TEST(NameTable, LoadsTheRecordsIntoTheTreeAndTheLastOfARepeatedKeyWins)
{
    auto Name = LoadName(NameTable({{3, 1, 0x409, 1, u"First"},
                                    {1, 0, 0, 4, u"Mac Full"},
                                    {0, 3, 0, 4, u"Uni\u20ACcode"},
                                    {3, 1, 0x409, 1, u"Second"}}));
    EXPECT_EQ(Flatten(Name->Names), (std::vector<TRecord>{{3, 1, 0x409, 1, u"Second"},
                                                           {1, 0, 0, 4, u"Mac Full"},
                                                           {0, 3, 0, 4, u"Uni\u20ACcode"}}));
    EXPECT_EQ(Name->FindPlatform(0, 3), &Name->Names.Items(2));
    const TBytes Bytes = SaveName(*Name);
    EXPECT_EQ(Bytes[3], 3);  // count: one less than the file had
}

TEST(NameTable, StringsOutsideTheStreamComeBackShortenedAndOddLengthsLoseTheirLastByte)
{
    TByteWriter W;
    W.U16(0).U16(3).U16(42);
    Record(W, 3, 1, 0x409, 1, 5, 0);       // odd: two code units
    Record(W, 3, 1, 0x409, 2, 40, 4);      // runs past the end: what is there
    Record(W, 1, 0, 0, 1, 0xFFFF, 0xFFF0);  // starts past the end: empty
    W.Utf16(u"ABCDEF");
    auto Name = LoadName(W);
    EXPECT_EQ(Flatten(Name->Names),
              (std::vector<TRecord>{{3, 1, 0x409, 1, u"AB"}, {3, 1, 0x409, 2, u"CDEF"}, {1, 0, 0, 1, u""}}));

    // Saved again, the odd length becomes even.
    TMemoryStream Again(SaveName(*Name));
    TTableName Reloaded("name");
    Reloaded.LoadFromStream(Again);
    EXPECT_EQ(Flatten(Reloaded.Names),
              (std::vector<TRecord>{{1, 0, 0, 1, u""}, {3, 1, 0x409, 1, u"AB"}, {3, 1, 0x409, 2, u"CDEF"}}));
    EXPECT_EQ(Again.Bytes()[6 + 12 + 8 + 1], 4);
}

TEST(NameTable, OtherFormatsLoadEmptyWithALowLevelWarning)
{
    TWarningCollector::Clear();
    TByteWriter W;
    W.U16(1).U16(1).U16(18);
    Record(W, 3, 1, 0x409, 1, 2, 0).U16('A');
    TTableName Name("name");
    Name.Names.AddName(3, 1, 0x409, 4, u"left over");
    TMemoryStream S(W);
    Name.LoadFromStream(S);
    EXPECT_EQ(Name.Names.Count(), 0u);
    EXPECT_EQ(Name.FindPlatform(3, 1), nullptr);
    EXPECT_EQ(TWarningCollector::Warnings(),
              std::vector<std::string>{"(Warning level: low) FormatSelector is supposed to be zero but is 1"});
    EXPECT_THROW(TTableName("nam"), FontException);
}

TEST(NameTable, SavesRecordsSortedByTheirFourKeys)
{
    const TBytes Expected = TByteWriter()
                                .U16(0).U16(3).U16(42)
                                .U16(1).U16(0).U16(0).U16(1).U16(3).U16(0)
                                .U16(3).U16(1).U16(0x409).U16(1).U16(6).U16(3)
                                .U16(3).U16(1).U16(0x409).U16(4).U16(4).U16(9)
                                .Text("Mac").Utf16(u"Fam").Utf16(u"Fu");
    EXPECT_EQ(Saved({{3, 1, 0x409, 4, u"Fu"}, {3, 1, 0x409, 1, u"Fam"}, {1, 0, 0, 1, u"Mac"}}), Expected);
    EXPECT_EQ(Saved({}), (TBytes{0, 0, 0, 0, 0, 6}));
}

TEST(NameTable, SharesAStringThatOccursInsideAnotherOfTheSameWidth)
{
    // The style shares the full name's bytes from character 10 on; the
    // storage holds the full name alone.
    const TBytes Shared = TByteWriter()
                              .U16(0).U16(2).U16(30)
                              .U16(3).U16(1).U16(0x409).U16(2).U16(8).U16(20)
                              .U16(3).U16(1).U16(0x409).U16(4).U16(28).U16(0)
                              .Utf16(u"Test Sans Bold");
    EXPECT_EQ(Saved({{3, 1, 0x409, 4, u"Test Sans Bold"}, {3, 1, 0x409, 2, u"Bold"}}), Shared);

    // Without sharing, every string has its own bytes, in record order.
    const TBytes Packed = TByteWriter()
                              .U16(0).U16(2).U16(30)
                              .U16(3).U16(1).U16(0x409).U16(2).U16(8).U16(0)
                              .U16(3).U16(1).U16(0x409).U16(4).U16(28).U16(8)
                              .Utf16(u"Bold").Utf16(u"Test Sans Bold");
    EXPECT_EQ(Saved({{3, 1, 0x409, 4, u"Test Sans Bold"}, {3, 1, 0x409, 2, u"Bold"}}, false), Packed);

    // Identical texts: one owns the bytes, the other points at them.
    const TBytes Same = TByteWriter()
                            .U16(0).U16(2).U16(30)
                            .U16(3).U16(1).U16(0x409).U16(1).U16(4).U16(0)
                            .U16(3).U16(1).U16(0x409).U16(16).U16(4).U16(0)
                            .Utf16(u"Ab");
    EXPECT_EQ(Saved({{3, 1, 0x409, 16, u"Ab"}, {3, 1, 0x409, 1, u"Ab"}}), Same);

    // One-byte and two-byte platforms never share, whatever their texts.
    const TBytes Apart = TByteWriter()
                             .U16(0).U16(2).U16(30)
                             .U16(1).U16(0).U16(0).U16(2).U16(4).U16(0)
                             .U16(3).U16(1).U16(0x409).U16(2).U16(8).U16(4)
                             .Text("Bold").Utf16(u"Bold");
    EXPECT_EQ(Saved({{3, 1, 0x409, 2, u"Bold"}, {1, 0, 0, 2, u"Bold"}}), Apart);

    // One-byte strings share by byte positions.
    const TBytes OneByte = TByteWriter()
                               .U16(0).U16(2).U16(30)
                               .U16(1).U16(0).U16(0).U16(2).U16(4).U16(10)
                               .U16(1).U16(0).U16(0).U16(4).U16(14).U16(0)
                               .Text("Test Sans Bold");
    EXPECT_EQ(Saved({{1, 0, 0, 4, u"Test Sans Bold"}, {1, 0, 0, 2, u"Bold"}}), OneByte);

    // An empty text has zero bytes of its own at the running offset.
    const TBytes Empty = TByteWriter()
                             .U16(0).U16(3).U16(42)
                             .U16(3).U16(1).U16(0x409).U16(1).U16(4).U16(0)
                             .U16(3).U16(1).U16(0x409).U16(2).U16(0).U16(4)
                             .U16(3).U16(1).U16(0x409).U16(3).U16(4).U16(4)
                             .Utf16(u"ABCD");
    EXPECT_EQ(Saved({{3, 1, 0x409, 1, u"AB"}, {3, 1, 0x409, 2, u""}, {3, 1, 0x409, 3, u"CD"}}), Empty);
}

TEST(NameTable, SharingPicksTheFirstLongerStringAndResolvesOffsetsThroughIt)
{
    TNameList Names;
    Names.AddName(3, 1, 0x409, 1, u"xxBoldyy");
    Names.AddName(3, 1, 0x409, 2, u"Bold");
    Names.AddName(3, 1, 0x409, 3, u"Extra Bold Sans");
    TExtendedNameFieldList Fields(Names);
    Fields.PrepareStorage(true);
    ASSERT_EQ(Fields.Count(), 3u);
    const TExtendedNameField& Bold = Fields.Items(1);
    EXPECT_EQ(Bold.NameID, 2);
    // The longest string that holds it comes first when sorted by length.
    ASSERT_EQ(Bold.SharedWith, &Fields.Items(2));
    EXPECT_EQ(Bold.SharedOffset, 6);
    EXPECT_EQ(Fields.Items(2).StorageOffset, 16);
    EXPECT_EQ(Bold.GetStringOffset(), 16u + 12u);
    EXPECT_EQ(Fields.StorageSize(), 16u + 30u);

    // A chain built by hand resolves through every link.
    TExtendedNameField Inner(3, 1, 0x409, 9, u"ol");
    Inner.SharedWith = &Bold;
    Inner.SharedOffset = 1;
    EXPECT_EQ(Inner.GetStringOffset(), 16u + 12u + 2u);

    // Length follows the text and the platform.
    Inner.SetText(u"abc");
    EXPECT_EQ(Inner.Length(), 6);
    Inner.SetPlatformID(1);
    EXPECT_EQ(Inner.Length(), 3);
    EXPECT_EQ(Inner.Bytes(), "abc");
}

TEST(NameTable, RoundTripsThroughSaveAndLoad)
{
    std::vector<TRecord> Records;
    const std::uint16_t Platforms[] = {0, 1, 3, 4};
    const std::uint16_t Languages[] = {0, 0x409, 0x40C};
    const std::uint16_t NameIDs[] = {0, 1, 2, 3, 4, 5, 6, 16, 17, 256};
    for (const std::uint16_t Platform : Platforms)
        for (const std::uint16_t Language : Languages)
            for (const std::uint16_t NameID : NameIDs)
                Records.emplace_back(Platform, 1, Language, NameID,
                                     u"Name " + std::u16string(NameID % 7, u'x') + u" Caf\u00E9 \u20AC" +
                                         (NameID == 3 ? u"" : u"Regular"));
    for (const bool Share : {true, false}) {
        const auto Name = Table(Records, Share);
        const TBytes Bytes = SaveName(*Name);
        auto Again = LoadName(Bytes);
        EXPECT_EQ(Flatten(Again->Names), Flatten(Name->Names));
        Again->ShareStrings = Share;
        EXPECT_EQ(SaveName(*Again), Bytes);
    }
    EXPECT_LT(Saved(Records, true).size(), Saved(Records, false).size());
}

TEST(NameTable, SavingRefusesWhatSixteenBitOffsetsCannotHold)
{
    // 5460 records: the strings start at 65526, still addressable.
    std::vector<TRecord> Many;
    for (std::uint16_t i = 0; i < 5460; ++i)
        Many.emplace_back(3, 1, 0x409, i, u"");
    EXPECT_EQ(Saved(Many).size(), 65526u);
    Many.emplace_back(3, 1, 0x409, 5460, u"");
    EXPECT_THROW(Saved(Many), FontException);

    // Texts longer than a 16-bit length are cut so that record and storage agree.
    const std::u16string Long(40000, u'L');
    auto Again = LoadName(Saved({{3, 1, 0x409, 1, Long}, {1, 0, 0, 1, std::u16string(70000, u'S')}}));
    const std::vector<TRecord> Cut{{1, 0, 0, 1, std::u16string(65535, u'S')},
                                   {3, 1, 0x409, 1, std::u16string(32767, u'L')}};
    EXPECT_TRUE(Flatten(Again->Names) == Cut);

    // A third distinct long string would start past 65535: refused, shared
    // or not.
    std::vector<TRecord> Three;
    for (std::uint16_t i = 0; i < 3; ++i)
        Three.emplace_back(3, 1, 0x409, i, std::u16string(30000, static_cast<char16_t>(u'a' + i)));
    EXPECT_NO_THROW(Saved({Three[0], Three[1]}));
    EXPECT_THROW(Saved(Three), FontException);
    EXPECT_THROW(Saved(Three, false), FontException);

    // Sharing is what makes these fit: A, B and C live inside D.
    std::vector<TRecord> Parts;
    std::u16string All;
    for (std::uint16_t i = 0; i < 3; ++i) {
        Parts.emplace_back(3, 1, 0x409, i, std::u16string(10000, static_cast<char16_t>(u'A' + i)));
        All += std::get<4>(Parts.back());
    }
    Parts.emplace_back(3, 1, 0x409, 3, All);
    Parts.emplace_back(3, 1, 0x409, 4, std::u16string(10000, u'E'));
    EXPECT_THROW(Saved(Parts, false), FontException);
    EXPECT_EQ(Saved(Parts).size(), 6u + 12u * 5u + 80000u);
}

TEST(NameTable, TheLoaderCreatesItAndThePlatformThreeNamesAreFound)
{
    TTrueTypeFont Font(false);
    TMemoryStream S(MinimalFont()
                        .Add("name", NameTable({{1, 0, 0, 4, u"Mac"},
                                                {3, 1, 0x409, 1, u"Family"},
                                                {3, 1, 0x409, 4, u"Family Bold"},
                                                {3, 1, 0x407, 2, u"Fett"}}))
                        .Build());
    Font.LoadFromStream(S);
    ASSERT_NE(Font.NameTable(), nullptr);
    EXPECT_EQ(Font.NameTable()->FindPlatform(3, 0), nullptr);
    const TNamePlatformList* Windows = Font.NameTable()->FindPlatform(3, 1);
    ASSERT_NE(Windows, nullptr);
    std::u16string Text;
    EXPECT_TRUE(Windows->GetName(0x409, 4, Text));
    EXPECT_EQ(Text, u"Family Bold");
    EXPECT_TRUE(Windows->GetName(0x407, 2, Text));
    EXPECT_EQ(Text, u"Fett");
    EXPECT_FALSE(Windows->GetName(0x407, 4, Text));

    TTrueTypeFont Unnamed(false);
    TMemoryStream Plain(MinimalFont().Build());
    Unnamed.LoadFromStream(Plain);
    EXPECT_EQ(Unnamed.NameTable(), nullptr);
}
