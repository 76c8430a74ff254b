#include <gtest/gtest.h>

#include "tests/app/AppTestSupport.h"

using namespace app;
using namespace app_testing;
using namespace testing_support;

namespace {

// A font with CFF outlines: the OpenType version, a CFF table and no glyf.
TBytes CffFont(const std::u16string& FullName)
{
    return MinimalFont()
        .Version(0x4F54544F)
        .Add("CFF ", {1, 0, 4, 1})
        .Add("name", NameTable({{3, 1, 0x409, 4, FullName}}))
        .Build();
}

std::vector<std::string> Formats(TInstalledFonts& Fonts)
{
    std::vector<std::string> Lines;
    for (std::size_t i = 0; i < Fonts.Count(); ++i)
        Lines.push_back(Describe(Fonts.Items(i)) + "|" + std::string(FormatName(Fonts.Items(i).Format)));
    return Lines;
}

}  // namespace

TEST(CollectionScan, CollectionsAndOpenTypeFontsAreNamedAsWindowsRegistersThem)
{
    TMachine M;
    const TBytes Pair = CollectionFile({NamedFont(u"Alpha"), NamedFont(u"Beta")});
    M.Files.PutFile(M.InFonts("pair.ttc"), Pair);
    M.Register("Alpha & Beta (TrueType)", "pair.ttc");
    // Stored under a .ttf name, a collection is still judged as one.
    M.Files.PutFile(M.InFonts("pair.ttf"), CollectionFile({NamedFont(u"Gamma"), NamedFont(u"Delta"),
                                                           NamedFont(u"Epsilon")}));
    M.Register("Gamma (TrueType)", "pair.ttf");
    M.Register("Gone & Away (TrueType)", "gone.ttc");
    M.Files.PutFile(M.InFonts("cff.otf"), CffFont(u"Cff"));
    M.Register("Cff (TrueType)", "cff.otf");
    M.Files.PutFile(M.InFonts("right.otf"), CffFont(u"Right"));
    M.Register("Right (OpenType)", "right.otf");
    M.Files.PutFile(M.InFonts("loose.otc"), CollectionFile({CffFont(u"One"), CffFont(u"Two")}));
    // A collection whose second font has no name has none.
    M.Files.PutFile(M.InFonts("half.ttc"), CollectionFile({NamedFont(u"Half"), NamedFont(u"")}));
    M.Register("Half (TrueType)", "half.ttc");
    M.Register("Bitmap", "bitmap.fon");

    TNoScanProgress Progress;
    TInstalledFonts Fonts(M.Services, Progress);
    Fonts.Refresh();
    EXPECT_EQ(Formats(Fonts), (std::vector<std::string>{
                                  "2||Gone & Away (TrueType)|" + M.InFonts("gone.ttc") + "|collection",
                                  "4|One & Two||" + M.InFonts("loose.otc") + "|collection",
                                  "6||Half (TrueType)|" + M.InFonts("half.ttc") + "|collection",
                                  "6|Cff|Cff (TrueType)|" + M.InFonts("cff.otf") + "|opentype",
                                  "6|Gamma & Delta & Epsilon|Gamma (TrueType)|" + M.InFonts("pair.ttf") + "|collection",
                                  "0|Alpha & Beta|Alpha & Beta (TrueType)|" + M.InFonts("pair.ttc") + "|collection",
                                  "0|Right|Right (OpenType)|" + M.InFonts("right.otf") + "|opentype",
                              }));

    // Registered and renamed under the names Windows' installer gives them.
    std::vector<TFontInfo*> Selected;
    for (std::size_t i = 0; i < Fonts.Count(); ++i)
        if (Fonts.Items(i).Problem == fpNoRegistryKey || Fonts.Items(i).FontName == "Cff" ||
            Fonts.Items(i).FontName.starts_with("Gamma"))
            Selected.push_back(&Fonts.Items(i));
    TFontRepair(M.Services, Fonts, nullptr).RepairSelectedItems(Selected);
    EXPECT_EQ(M.Registry.StringValue(FontsKey, "One & Two (OpenType)"), "loose.otc");
    EXPECT_EQ(M.Registry.StringValue(FontsKey, "Cff (OpenType)"), "cff.otf");
    EXPECT_EQ(M.Registry.StringValue(FontsKey, "Gamma & Delta & Epsilon (TrueType)"), "pair.ttf");
    EXPECT_EQ(M.Registry.StringValue(FontsKey, "Cff (TrueType)"), std::nullopt);
}

TEST(CollectionScan, HostileCollectionsCostLittleAndAreNoFonts)
{
    TMachine M;
    // A header claiming 65535 fonts in a file that holds one: refused.
    TBytes Claims = CollectionFile({NamedFont(u"Claims")});
    Claims[10] = Claims[11] = 0xFF;
    M.Files.PutFile(M.InFonts("claims.ttc"), Claims);
    M.Register("Claims (TrueType)", "claims.ttc");
    // More fonts than a scan names, each only a copy of the first one's
    // directory: a valid file, but it gets no name.
    M.Files.PutFile(M.InFonts("many.ttc"),
                    CollectionFile({NamedFont(u"Many")}, 0x00010000, TInstalledFonts::MaxCollectionFonts));
    M.Register("Many (TrueType)", "many.ttc");
    EXPECT_EQ(Scan(M), (std::vector<std::string>{
                           "1||Claims (TrueType)|" + M.InFonts("claims.ttc"),
                           "6||Many (TrueType)|" + M.InFonts("many.ttc"),
                       }));
}
