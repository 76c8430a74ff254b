#include "tests/fuzz/SeedFonts.h"

#include <algorithm>

namespace fuzzing {

using namespace testing_support;

namespace {

constexpr std::uint16_t GlyphCount = 3;

// Glyph 0 empty, glyph 1 a triangle, glyph 2 a scaled copy of glyph 1.
TBytes GlyfTable()
{
    TByteWriter W;
    W.S16(1).S16(-50).S16(0).S16(100).S16(100)      // contours, xMin yMin xMax yMax
        .U16(2)                                     // endPtsOfContours[0]
        .U16(0)                                     // instructionLength
        .U8(0x01).U8(0x01).U8(0x01)                 // on-curve, word coordinates
        .S16(0).S16(100).S16(-150)                  // x deltas
        .S16(0).S16(0).S16(100)                     // y deltas
        .Zeros(3);                                  // to 32 bytes
    W.S16(-1).S16(-15).S16(20).S16(60).S16(70)      // composite, bounding box
        .U16(0x0001 | 0x0002 | 0x0008)              // word args, xy values, scale
        .U16(1).S16(10).S16(20)                     // glyph 1 moved by (10, 20)
        .U16(0x2000);                               // scale 0.5
    return W;
}

TBytes LocaTable(bool Long)
{
    TByteWriter W;
    for (const std::uint32_t Offset : {0u, 0u, 32u, 52u})
        Long ? W.U32(Offset) : W.U16(static_cast<std::uint16_t>(Offset / 2));
    return W;
}

TFontBuilder WithOutlines(bool LongLoca)
{
    TFontBuilder Font;
    Font.Add("cmap", CmapTable({{0x41, 1}, {0x42, 2}}))
        .Add("glyf", GlyfTable())
        .Add("head", HeadTable({.IndexToLocFormat = static_cast<std::int16_t>(LongLoca ? 1 : 0)}))
        .Add("hhea", HheaTable(GlyphCount))
        .Add("hmtx", HmtxTable({{500, 0}, {600, -50}, {300, -15}}))
        .Add("loca", LocaTable(LongLoca))
        .Add("maxp", MaxpTable(GlyphCount));
    return Font;
}

// Composites in more shapes than WithOutlines has: glyph 1 a triangle whose
// flags repeat, glyph 2 a composite of glyph 1 anchored by point numbers and
// of glyph 3, glyph 3 a composite of glyph 1 (or, Cyclic, of glyph 2).
TBytes CompositeFont(bool Cyclic)
{
    TByteWriter Glyf;
    Glyf.S16(1).S16(0).S16(0).S16(100).S16(100)     // contours, box
        .U16(2).U16(0)                              // endPtsOfContours[0], instructionLength
        .U8(0x39).U8(2)                             // on-curve, same x and y, repeated twice
        .Zeros(4);                                  // to 20 bytes
    Glyf.S16(-1).Zeros(8)                           // composite, box
        .U16(0x0020).U16(1).U8(0).U8(0)             // glyph 1 anchored at points 0 and 0, more
        .U16(0x0002 | 0x0080).U16(3).U8(5).U8(6)    // glyph 3 moved by (5, 6), 2x2
        .U16(0x4000).U16(0x4000).U16(0x4000).U16(0x4000);
    Glyf.S16(-1).Zeros(8)
        .U16(0x0002 | 0x0040).U16(Cyclic ? 2 : 1).U8(1).U8(2)  // x and y scale
        .U16(0x2000).U16(0x6000);
    TByteWriter Loca;
    for (const std::uint32_t Offset : {0u, 0u, 20u, 50u, 70u})
        Loca.U32(Offset);
    return TFontBuilder()
        .Add("cmap", CmapTable({{0x41, 2}}))
        .Add("glyf", Glyf)
        .Add("head", HeadTable({.IndexToLocFormat = 1}))
        .Add("hhea", HheaTable(1))
        .Add("hmtx", HmtxTable({{500, 0}}, {0, 0, 0}))
        .Add("loca", Loca)
        .Add("maxp", MaxpTable(4))
        .Build();
}

// A cmap of one subtable for the given platform and encoding.
TBytes SingleCmap(std::uint16_t Platform, std::uint16_t Encoding, const TBytes& Subtable)
{
    return TByteWriter().U16(0).U16(1).U16(Platform).U16(Encoding).U32(12).Raw(Subtable);
}

TBytes CmapFormat0()
{
    TByteWriter W;
    W.U16(0).U16(262).U16(0);
    for (int Code = 0; Code < 256; ++Code)
        W.U8(Code >= 0x41 && Code <= 0x42 ? static_cast<std::uint8_t>(Code - 0x40) : 0);
    return SingleCmap(1, 0, W);
}

// Every high byte through subheader 0, which maps 0x20 to 0x22.
TBytes CmapFormat2()
{
    TByteWriter W;
    W.U16(2).U16(6 + 512 + 8 + 6).U16(0).Zeros(512);
    W.U16(0x20).U16(3).S16(0).U16(2);  // firstCode entryCount idDelta idRangeOffset
    W.U16(1).U16(2).U16(1);
    return SingleCmap(3, 1, W);
}

TBytes CmapFormat6()
{
    return SingleCmap(3, 1, TByteWriter().U16(6).U16(16).U16(0).U16(0x41).U16(3).U16(1).U16(2).U16(0));
}

// A format the library keeps without mappings, beside one it reads.
TBytes CmapFormat12AndFormat4()
{
    const TBytes Format4 = CmapTable({{0x41, 1}});
    const TBytes Format4Body(Format4.begin() + 12, Format4.end());
    TByteWriter W;
    W.U16(0).U16(2).U16(3).U16(1).U32(20).U16(3).U16(10).U32(20 + static_cast<std::uint32_t>(Format4Body.size()));
    W.Raw(Format4Body);
    W.U16(12).U16(0).U32(28).U32(0).U32(1);       // format, reserved, length, language, groups
    W.U32(0x1F600).U32(0x1F601).U32(1);           // start, end, first glyph
    return W;
}

TBytes Names()
{
    return NameTable({{3, 1, 0x409, 1, u"Seed"}, {3, 1, 0x409, 2, u"Regular"}, {3, 1, 0x409, 4, u"Seed Regular"},
                      {1, 0, 0, 4, u"Seed Mac"}});
}

TBytes Gasp() { return TByteWriter().U16(0).U16(1).U16(0xFFFF).U16(0x000F); }

// Glyph 0 standard, glyphs 1 and 2 custom names, one name no glyph uses.
TBytes PostFormat2()
{
    return TByteWriter().U32(0x00020000).U32(0).S16(-100).S16(50).U32(0).Zeros(16)
        .U16(GlyphCount).U16(0).U16(258).U16(259)
        .U8(1).Text("A").U8(5).Text("B.alt").U8(3).Text("end");
}

TBytes PostFormat1() { return TByteWriter().U32(0x00010000).Zeros(28); }

TBytes PostFormat3() { return TByteWriter().U32(0x00030000).U32(0).S16(-100).S16(50).U32(0).Zeros(16); }

TBytes KernFormat0()
{
    return TByteWriter()
        .U16(0).U16(1)                          // version, nTables
        .U16(0).U16(6 + 8 + 6).U16(0x0001)      // subtable version, length, coverage
        .U16(1).U16(6).U16(0).U16(0)            // nPairs, search values
        .U16(1).U16(2).S16(-40);                // left, right, value
}

TBytes Os2Version3()
{
    TByteWriter W;
    W.U16(3).S16(500).U16(400).U16(5).U16(0);  // version xAvgCharWidth weight width fsType
    W.Zeros(2 * 10).S16(0);                    // subscript .. strikeout, sFamilyClass
    W.Zeros(10).Zeros(16).Tag("VLMR");         // panose, unicode ranges, vendor
    W.U16(0x40).U16(0x41).U16(0x42);           // fsSelection first/last char
    W.S16(800).S16(-200).S16(67).U16(1000).U16(300);
    W.Zeros(8).S16(500).S16(700).U16(0).U16(0x20).U16(1);
    return W;
}

TBytes Os2Version1()
{
    const TBytes Version3 = Os2Version3();
    TBytes Version1(Version3.begin(), Version3.begin() + 86);
    Version1[1] = 1;
    return Version1;
}

TBytes Pclt()
{
    return TByteWriter().U32(0x00010000).U32(7).U16(600).U16(500).U16(0).U16(4).U16(700).U16(0x0115)
        .Text("Seed Typeface   ").Zeros(8).Text("SEED00").U8(0).U8(0).U8(64).U8(0);
}

// A format 2 subtable, then two of format 0: only the first of those loads.
TBytes KernSubtables()
{
    return TByteWriter()
        .U16(0).U16(3)
        .U16(0).U16(8).U16(0x0201).U16(0)
        .U16(0).U16(20).U16(0x0001).U16(1).U16(6).U16(0).U16(0).U16(1).U16(2).S16(-40)
        .U16(0).U16(20).U16(0x0001).U16(1).U16(6).U16(0).U16(0).U16(2).U16(1).S16(30);
}

// MinimalFont's tables with another cmap.
TBytes FontWithCmap(const TBytes& Cmap)
{
    return TFontBuilder()
        .Add("cmap", Cmap)
        .Add("head", HeadTable())
        .Add("hhea", HheaTable(GlyphCount))
        .Add("hmtx", HmtxTable({{500, 0}, {501, 1}, {502, 2}}))
        .Add("maxp", MaxpTable(GlyphCount))
        .Build();
}

TBytes Cut(const TBytes& Bytes, std::size_t Size)
{
    return TBytes(Bytes.begin(), Bytes.begin() + static_cast<std::ptrdiff_t>(std::min(Size, Bytes.size())));
}

}  // namespace

std::vector<TSeedFont> SeedFonts()
{
    const TBytes Minimal = MinimalFont(GlyphCount).Build();
    const TBytes Outlines = WithOutlines(false).Build();
    std::vector<TSeedFont> Seeds = {
        {"minimal", Minimal, TSeedFont::LoadsWithoutOutlines},
        {"dsig", MinimalFont(GlyphCount).Add("DSIG", TByteWriter().U32(1).U16(0).U16(0)).Build(),
         TSeedFont::LoadsWithoutOutlines},
        {"version-otto", MinimalFont(GlyphCount).Version(0x4F54544F).Build(), TSeedFont::LoadsWithoutOutlines},
        {"version-true", MinimalFont(GlyphCount).Version(0x74727565).Build(), TSeedFont::LoadsWithoutOutlines},
        {"glyf-short-loca", Outlines, TSeedFont::LoadsWithOutlines},
        {"glyf-long-loca", WithOutlines(true).Build(), TSeedFont::LoadsWithOutlines},
        {"name", MinimalFont(GlyphCount).Add("name", Names()).Build(), TSeedFont::LoadsWithoutOutlines},
        {"everything", WithOutlines(false).Add("name", Names()).Add("OS/2", Os2Version3()).Add("post", PostFormat3())
                           .Add("gasp", Gasp()).Add("kern", KernFormat0()).Add("cvt ", TByteWriter().S16(0).S16(100))
                           .Add("fpgm", TByteWriter().U8(0xB0).U8(0)).Add("prep", TByteWriter().U8(0xB0).U8(1))
                           .Build(),
         TSeedFont::LoadsWithOutlines},
        {"post-format2", MinimalFont(GlyphCount).Add("post", PostFormat2()).Build(), TSeedFont::LoadsWithoutOutlines},
        {"post-format1", MinimalFont(GlyphCount).Add("post", PostFormat1()).Build(), TSeedFont::LoadsWithoutOutlines},
        {"os2-version1-pclt", MinimalFont(GlyphCount).Add("OS/2", Os2Version1()).Add("PCLT", Pclt()).Build(),
         TSeedFont::LoadsWithoutOutlines},
        {"kern-subtables", MinimalFont(GlyphCount).Add("kern", KernSubtables()).Build(),
         TSeedFont::LoadsWithoutOutlines},
        {"maxp-after-hmtx", TFontBuilder().Add("hmtx", HmtxTable({{500, 0}}, {1, 2})).Add("cmap", CmapTable())
                                .Add("head", HeadTable()).Add("hhea", HheaTable(1)).Add("maxp", MaxpTable(GlyphCount))
                                .Build(),
         TSeedFont::LoadsWithoutOutlines},
        {"two-maxp", MinimalFont(GlyphCount).Add("maxp", MaxpTable(1)).Build(), TSeedFont::Refused},
        {"glyf-composites", CompositeFont(false), TSeedFont::LoadsWithOutlines},
        {"glyf-composite-cycle", CompositeFont(true), TSeedFont::LoadsWithoutOutlines},
    };
    Seeds.push_back({"collection-two", CollectionFile({Outlines, Minimal}), TSeedFont::LoadsWithOutlines});
    Seeds.push_back({"collection-v2-shared", CollectionFile({Minimal}, 0x00020000, 2), TSeedFont::LoadsWithoutOutlines});
    for (const auto& [Name, Cmap] : {std::pair{"cmap-format0", CmapFormat0()}, {"cmap-format2", CmapFormat2()},
                                     {"cmap-format6", CmapFormat6()}, {"cmap-format12", CmapFormat12AndFormat4()}})
        Seeds.push_back({Name, FontWithCmap(Cmap), TSeedFont::LoadsWithoutOutlines});
    // Cut in the offset table, in the directory, in a table, and one byte short.
    for (const std::size_t Size : {std::size_t{3}, std::size_t{12}, std::size_t{12 + 16 * 3 + 5}, Outlines.size() / 2,
                                   Outlines.size() - 1})
        Seeds.push_back({"truncated-" + std::to_string(Size), Cut(Outlines, Size), TSeedFont::Undecided});
    return Seeds;
}

}  // namespace fuzzing
