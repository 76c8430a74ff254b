#include <gtest/gtest.h>

#include "tests/truetype/OutlineTestSupport.h"
#include "truetype/outlines/OutlineComposite.h"
#include "truetype/outlines/OutlineSimple.h"
#include "truetype/outlines/TableGlyf.h"
#include "truetype/font/TrueTypeFont.h"
#include "truetype/sfnt/UnitWarningCollector.h"

using namespace truetype;
using namespace outline_testing;

namespace {

// Loads the font with outlines; answers the error, or "" when it loaded.
std::string Load(TTrueTypeFont& Font, const TBytes& Bytes)
{
    TMemoryStream Stream(Bytes);
    try {
        Font.LoadFromStream(Stream);
        return "";
    } catch (const std::exception& Error) {
        return Error.what();
    }
}

const TOutlineComposite& CompositeAt(const TTrueTypeFont& Font, std::ptrdiff_t Glyph)
{
    return dynamic_cast<const TOutlineComposite&>(Font.Outlines.Items(Glyph));
}

TBytes Square(std::int16_t Size) { return SimpleGlyph({{{0, 0}, {Size, 0}, {Size, Size}, {0, Size}}}); }

bool Contains(const std::string& Text, const std::string& Part) { return Text.find(Part) != std::string::npos; }

}  // namespace

TEST(FontOutlines, RetrievesSimpleAndCompositeGlyphs)
{
    const TBytes Three = SimpleGlyph({{{0, 0}, {1, 0}, {1, 1}}, {{5, 5}, {6, 5}, {6, 6}}, {{9, 9}, {8, 9}, {8, 8}}});
    const TBytes Four = SimpleGlyph({{{0, 0}, {1, 0}, {1, 1}}, {{0, 0}, {1, 0}, {1, 1}}, {{0, 0}, {1, 0}, {1, 1}},
                                     {{0, 0}, {1, 0}, {1, 1}}});
    TTrueTypeFont Font(true);
    std::vector<int> Progress;
    Font.Outlines.OnProgress = [&](TFontOutlines&, int Percent) { Progress.push_back(Percent); };
    ASSERT_EQ(Load(Font, FontOf({Three, Four, CompositeGlyph({{0, 10, 20}, {1, -5, 300}})})), "");
    EXPECT_EQ(Progress, (std::vector<int>{20, 47, 73}));
    ASSERT_EQ(Font.Outlines.Count(), 3u);
    const TOutlineComposite& Composite = CompositeAt(Font, 2);
    EXPECT_EQ(Composite.GetComponentDepth(), 1);
    EXPECT_EQ(Composite.GetComponentCount(), 2);
    EXPECT_EQ(Composite.GetCompositeContourCount(), 7);
    EXPECT_EQ(Composite.GetCompositePointCount(), 21);
    EXPECT_TRUE(Composite.UsesGlyph(1));
    EXPECT_FALSE(Composite.UsesGlyph(2));
    TOutlineContours Placed;
    Composite.AppendContours(Placed, IdentityPlacement);
    EXPECT_EQ(Placed.AllPoints()[4], (TTrueTypePoint{16, 25, true}));
    EXPECT_EQ(Placed.AllPoints()[9], (TTrueTypePoint{-5, 300, true}));
    // glyf gives up its bytes once the outlines exist.
    EXPECT_TRUE(Font.GlyfTable()->GlyphData().empty());
}

TEST(FontOutlines, OffsetsOutOfOrderAndUnexpectedContourCounts)
{
    const TBytes Glyph = Square(10);
    TBytes Glyf = Glyph;
    Glyf.resize(80);
    Glyf[60] = 0;
    Glyf[61] = 0;  // a glyph of 0 contours at 60
    TTrueTypeFont Font(true);
    ASSERT_EQ(Load(Font, FontOf({}, {0, 0, 40, 30, 60, 70}, Glyf)), "");
    const std::vector<std::string>& Warnings = TWarningCollector::Warnings();
    ASSERT_EQ(Warnings.size(), 2u);
    EXPECT_EQ(Warnings[0], "[fixed] Glyph index 2 offsets not correct: GlyphOffsetBegin 40 GlyphOffsetEnd 30");
    EXPECT_EQ(Warnings[1], "[ignored] All other glyph outline data will be skipped.");
    EXPECT_EQ(Font.Outlines.Items(0).GetOutlineKind(), OutlineKindEmpty);
    EXPECT_EQ(Font.Outlines.Items(1).GetOutlineKind(), OutlineKindSimple);
    EXPECT_EQ(Font.Outlines.Items(3).GetOutlineKind(), OutlineKindEmpty);
    EXPECT_EQ(Font.Outlines.Items(4).GetOutlineKind(), OutlineKindEmpty);

    TTrueTypeFont Zero(true);
    ASSERT_EQ(Load(Zero, FontOf({}, {0, 60, 70}, Glyf)), "");
    EXPECT_EQ(TWarningCollector::Warnings(), std::vector<std::string>{"Unexpected number of contours 0 in glyph 1"});
    // A component naming a glyph the font does not have.
    TTrueTypeFont Missing(true);
    EXPECT_TRUE(Contains(Load(Missing, FontOf({Glyph, CompositeGlyph({{7}})})), "List index out of bounds"));
}

TEST(FontOutlines, PointAnchorsBecomeOffsets)
{
    // Parent point 1, of the square placed first, lies at (100, 0); child
    // point 0 of the second glyph lies at (10, 0).
    const TBytes Moved = SimpleGlyph({{{10, 0}, {20, 0}, {20, 10}}});
    TTrueTypeFont Font(true);
    ASSERT_EQ(Load(Font, FontOf({Square(100), Moved, CompositeGlyph({{0, 0, 0}, {1, 1, 0, false}, {1, 200, 0, false}})})),
              "");
    const TOutlineComposite& Composite = CompositeAt(Font, 2);
    const TCompositeMember& Anchored = Composite.Components.Items(1);
    EXPECT_TRUE(Anchored.XYValues);
    EXPECT_EQ(Anchored.OffsetX, 90);
    EXPECT_EQ(Anchored.OffsetY, 0);
    // A parent point past the last point stands for (0, 0).
    EXPECT_EQ(Composite.Components.Items(2).OffsetX, -10);
    // Written back as x/y values in bytes.
    const TBytes Encoded = Composite.Encode();
    EXPECT_EQ(Encoded[16], 0x00);
    EXPECT_EQ(Encoded[17], 0x22);  // more components, x/y values, bytes
    EXPECT_EQ(Encoded[20], 90);
    EXPECT_EQ(TWarningCollector::Warnings()[0], "no flagXYValues");
}

TEST(FontOutlines, CompositeEncodingDerivesItsFlags)
{
    TOutlineComposite Composite;
    TCompositeMember Member;
    Member.OffsetX = -128;
    Member.OffsetY = 127;
    Member.ScaleX = Member.ScaleY = 0.5;
    Composite.Components.Add(Member);
    Member.OffsetX = 128;
    Member.OffsetY = 0;
    Member.ScaleY = 1;
    Composite.Components.Add(Member);
    const TBytes Bytes = Composite.Encode();
    const TBytes Expected{0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0,
                          0x00, 0x2A, 0, 0, 0x80, 0x7F, 0x20, 0x00,
                          0x00, 0x43, 0, 0, 0x00, 0x80, 0x00, 0x00, 0x20, 0x00, 0x40, 0x00};
    EXPECT_EQ(Bytes, Expected);
    TOutlineComposite Again;
    Again.Decode(base::TBigEndianView(Bytes), 0);
    EXPECT_EQ(Again.Encode(), Bytes);
    EXPECT_EQ(Again.GetComponentDepth(), 1);  // unlinked components count as empty

    TOutlineComposite Empty;
    Empty.Instructions = {1, 2};
    EXPECT_EQ(Empty.Encode(), (TBytes{0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1, 2}));
    EXPECT_EQ(Empty.GetComponentDepth(), 1);
}

// Hostile composites and glyph data: each is refused with a message that
// names the glyph, or loads, and never recurses or expands without end.
TEST(FontOutlinesHostile, CyclesDepthAndExpansionAreRefused)
{
    TTrueTypeFont Font(true);
    EXPECT_EQ(Load(Font, FontOf({Square(1), CompositeGlyph({{1}})})),
              "Composite glyph 1 uses itself through its components");
    EXPECT_TRUE(Contains(Load(Font, FontOf({CompositeGlyph({{1}}), CompositeGlyph({{2}}), CompositeGlyph({{0}})})),
                         "uses itself"));
    // A refused font keeps no outlines that a walk could follow round, also
    // when linking stopped halfway at a glyph that does not exist.
    EXPECT_EQ(Font.Outlines.Count(), 0u);
    EXPECT_EQ(Load(Font, FontOf({CompositeGlyph({{1}}), CompositeGlyph({{0}}), CompositeGlyph({{999}})})),
              "List index out of bounds (999)");
    EXPECT_EQ(Font.Outlines.Count(), 0u);

    // A chain of 70 composites, each using the next.
    std::vector<TBytes> Chain;
    for (std::uint16_t i = 0; i < 70; ++i)
        Chain.push_back(CompositeGlyph({{static_cast<std::uint16_t>(i + 1)}}));
    Chain.push_back(Square(1));
    EXPECT_TRUE(Contains(Load(Font, FontOf(Chain)), "nests components more than 64 deep"));

    // The same nesting whatever the order of the glyphs: a chain over all
    // 65535 glyphs, each using the one before, anchored or with offsets, or
    // each using the one after.
    enum TOrder { Ascending, Anchored, Descending };
    const auto ChainOf = [](TOrder Order, std::size_t Count) {
        std::vector<TBytes> Glyphs;
        for (std::size_t k = 0; k < Count; ++k) {
            const bool Base = Order == Descending ? k + 1 == Count : k == 0;
            const auto Used = static_cast<std::uint16_t>(Order == Descending ? k + 1 : k - 1);
            Glyphs.push_back(Base ? Square(10) : CompositeGlyph({{Used, 0, 1, Order != Anchored}}));
        }
        return FontOf(Glyphs);
    };
    EXPECT_EQ(Load(Font, ChainOf(Ascending, 65535)), "Composite glyph 65 nests components more than 64 deep");
    EXPECT_EQ(Load(Font, ChainOf(Anchored, 65535)), "Composite glyph 65 nests components more than 64 deep");
    EXPECT_EQ(Load(Font, ChainOf(Descending, 65535)), "Composite glyph 64 nests components more than 64 deep");
    // 64 deep loads; each anchor takes point 0 of the glyph below to its
    // point 1, 10 units to the left.
    ASSERT_EQ(Load(Font, ChainOf(Anchored, 65)), "");
    TOutlineBase& Deepest = Font.Outlines.Items(64);
    EXPECT_EQ(Deepest.GetComponentDepth(), 64);
    EXPECT_EQ(Deepest.CalculateBoundingBox(), (base::TIntRect{-640, 0, -630, 10}));

    // Outlines linked by hand are walked within the same bound.
    TOutlineComposite Loop;
    Loop.Components.Add({}).Outline = &Loop;
    TOutlineContours Placed;
    EXPECT_THROW(Loop.AppendContours(Placed, IdentityPlacement), FontException);
    EXPECT_THROW(static_cast<void>(Loop.GetComponentDepth()), FontException);
    EXPECT_THROW(static_cast<void>(TOutlineComposite::PlacedPoint(Loop, IdentityPlacement, 0)), FontException);

    // Doubling at each of 40 levels: with offsets, with point anchors, and
    // over an empty glyph (no points, but 2^40 component visits).
    for (const bool Anchors : {false, true})
        for (const bool EmptyBase : {false, true}) {
            std::vector<TBytes> Dag{EmptyBase ? TBytes{} : Square(1)};
            for (std::uint16_t Level = 1; Level <= 40; ++Level) {
                const auto Below = static_cast<std::uint16_t>(Level - 1);
                Dag.push_back(CompositeGlyph({{Below, 1, 1, !Anchors}, {Below, 2, 2, !Anchors}}));
            }
            const TBytes File = FontOf(Dag);
            EXPECT_LT(File.size(), 1536u);
            EXPECT_TRUE(Contains(Load(Font, File), "expands to more than 65535"));
        }

    // Thousands of components, nested three levels: 2000 x 2000 x 2000.
    std::vector<TComponent> Many(2000, TComponent{0});
    const TBytes Wide = CompositeGlyph(Many);
    for (auto& C : Many)
        C.Glyph = 1;
    const TBytes Wider = CompositeGlyph(Many);
    for (auto& C : Many)
        C.Glyph = 2;
    EXPECT_TRUE(Contains(Load(Font, FontOf({Square(1), Wide, Wider, CompositeGlyph(Many)})), "expands to more"));
}

TEST(FontOutlinesHostile, PointsClaimedFromFewBytesAreBounded)
{
    // 65535 points from about 500 bytes: flags repeated, coordinates the
    // same; the last repeat covers one point more.
    TByteWriter Huge;
    Huge.S16(1).Zeros(8).U16(65534).U16(0);
    for (int i = 0; i < 257; ++i)
        Huge.U8(0x39).U8(255);
    const TBytes Glyph = Huge;
    TTrueTypeFont One(true);
    ASSERT_EQ(Load(One, FontOf({Glyph})), "");
    EXPECT_EQ(One.Outlines.Items(0).GetPointCount(), 65536);

    // A thousand of them.
    TTrueTypeFont Thousand(true);
    const std::string Error = Load(Thousand, FontOf(std::vector<TBytes>(1000, Glyph)));
    EXPECT_TRUE(Contains(Error, "the outlines decoded take")) << Error;
}

TEST(FontOutlines, TablesNestingAndCompositeBounds)
{
    EXPECT_THROW(TTableGlyf("glyx"), FontException);
    TFontOutlines Outlines;
    try {
        Outlines.RetrieveOutlinesFromTables(nullptr, nullptr, nullptr);
        ADD_FAILURE();
    } catch (const FontException& Error) {
        EXPECT_STREQ(Error.what(), "Maxp, Glyf and/ or Loca table(s) missing!");
    }

    // A composite of a composite, mirrored by a 2x2 exchange of the axes.
    TByteWriter Exchange;
    Exchange.S16(-1).Zeros(8).U16(0x0002 | 0x0080).U16(1).U8(0).U8(0);
    Exchange.U16(0).U16(0x4000).U16(0x4000).U16(0);
    TTrueTypeFont Font(true);
    ASSERT_EQ(Load(Font, FontOf({Square(10), CompositeGlyph({{0, 5, 0}}), Exchange})), "");
    TOutlineBase& Nested = Font.Outlines.Items(2);
    EXPECT_EQ(Nested.GetComponentDepth(), 2);
    EXPECT_EQ(Nested.GetCompositePointCount(), 4);
    // (x, y) of glyph 1 becomes (y, x): the square from 5 to 15 in x now
    // stands from 5 to 15 in y.
    EXPECT_EQ(Nested.CalculateBoundingBox(), (base::TIntRect{0, 5, 10, 15}));
    EXPECT_EQ(Nested.BoundingBox, (base::TIntRect{0, 5, 10, 15}));
}

TEST(FontOutlines, AFewGlyphsWithTheComponentsTheyUse)
{
    // Glyph 4 uses 3, which uses 1 with a point anchor; glyph 2 is never asked for.
    const TBytes Glyphs[] = {Square(5), Square(100), Square(7), CompositeGlyph({{1, 0, 0}, {1, 1, 0, false}}),
                             CompositeGlyph({{3, 10, 0}})};
    TTrueTypeFont Font(true);
    std::vector<std::uint16_t> Asked{4, 0, 4, 900};
    Font.OnOutlineGlyphs = [&](const TTrueTypeFont& Loaded) {
        EXPECT_NE(Loaded.CmapTable(), nullptr);
        return Asked;
    };
    ASSERT_EQ(Load(Font, FontOf({std::begin(Glyphs), std::end(Glyphs)})), "");
    ASSERT_EQ(Font.Outlines.Count(), 5u);
    const int Kinds[] = {OutlineKindSimple, OutlineKindSimple, OutlineKindEmpty, OutlineKindComposite,
                         OutlineKindComposite};
    for (std::ptrdiff_t Glyph = 0; Glyph < 5; ++Glyph)
        EXPECT_EQ(Font.Outlines.Items(Glyph).GetOutlineKind(), Kinds[Glyph]) << Glyph;
    EXPECT_EQ(CompositeAt(Font, 3).Components.Items(1).OffsetX, 100);
    EXPECT_EQ(CompositeAt(Font, 4).GetComponentDepth(), 2);

    // The same faults as the full retrieval: offsets backwards stop every
    // later glyph, a cycle among the glyphs asked for is refused.
    TTrueTypeFont Backwards(true);
    Asked = {1, 3};
    ASSERT_EQ(Load(Backwards, FontOf({}, {0, 20, 40, 30, 60, 70}, Square(10))), "");
    EXPECT_EQ(TWarningCollector::Warnings().size(), 2u);
    EXPECT_EQ(Backwards.Outlines.Items(1).GetOutlineKind(), OutlineKindSimple);
    EXPECT_EQ(Backwards.Outlines.Items(3).GetOutlineKind(), OutlineKindEmpty);
    TTrueTypeFont Cycle(true);
    Asked = {1};
    EXPECT_TRUE(Contains(Load(Cycle, FontOf({Square(5), CompositeGlyph({{2}}), CompositeGlyph({{1}})})), "uses itself"));
    EXPECT_EQ(Cycle.Outlines.Count(), 0u);
}

TEST(FontOutlinesHostile, CheckingOnlyFailsAsBuildingAndKeepsNothing)
{
    std::vector<TBytes> Files{FontOf({Square(1), CompositeGlyph({{1}})}),
                              FontOf({CompositeGlyph({{1}}), CompositeGlyph({{0}}), CompositeGlyph({{999}})}),
                              FontOf({Square(1), CompositeGlyph({{0}}), Square(2)}, {0, 0, 60, 40})};
    std::vector<TBytes> Chain;
    for (std::uint16_t i = 0; i < 70; ++i)
        Chain.push_back(CompositeGlyph({{static_cast<std::uint16_t>(i + 1)}}));
    Chain.push_back(Square(1));
    Files.push_back(FontOf(Chain));
    TByteWriter Huge;
    Huge.S16(1).Zeros(8).U16(65534).U16(0);
    for (int i = 0; i < 257; ++i)
        Huge.U8(0x39).U8(255);
    Files.push_back(FontOf(std::vector<TBytes>(1000, TBytes(Huge))));
    Files.push_back(FontOf({TByteWriter().S16(1).Zeros(8).U16(0).U16(50).U8(1)}));
    // Counted at most from their end points, these glyphs would take the
    // decoded size past its bound (many one-point glyphs) and a composite
    // past 65535 points (two glyphs of 32700); counted exactly, neither is.
    TByteWriter Half;
    Half.S16(1).Zeros(8).U16(32699).U16(0);
    for (int i = 0; i < 127; ++i)
        Half.U8(0x39).U8(255);
    Half.U8(0x39).U8(187);
    const std::size_t Loadable = Files.size();
    Files.push_back(FontOf({Half, CompositeGlyph({{0}, {0}})}));
    Files.push_back(FontOf(std::vector<TBytes>(2000, TByteWriter().S16(1).Zeros(8).U16(0).U16(0).U8(0x31))));
    for (std::size_t k = 0; k < Files.size(); ++k) {
        TTrueTypeFont Built(true), Checked(true);
        Checked.CheckOutlinesOnly = true;
        const std::string Refusal = Load(Built, Files[k]);
        EXPECT_EQ(Load(Checked, Files[k]), Refusal) << k;
        if (k >= Loadable) {
            EXPECT_EQ(Refusal, "") << k;
        }
        EXPECT_EQ(Checked.Outlines.Count(), 0u);
        // Read only while the load checks: the stream is gone by now.
        if (const TTableGlyf* Glyf = Checked.GlyfTable()) {
            EXPECT_TRUE(Glyf->GlyphData().empty()) << k;
        }
    }
    // Every simple glyph of a real font measures as it decodes.
    std::size_t Measured = 0;
    for (const char* Path : {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}) {
        base::TFileStream Stream(Path);
        TTrueTypeFont Outlined(true);
        Outlined.LoadFromStream(Stream);
        for (std::ptrdiff_t i = 0; i < static_cast<std::ptrdiff_t>(Outlined.Outlines.Count()); ++i) {
            const auto* Simple = dynamic_cast<const TOutlineSimple*>(&Outlined.Outlines.Items(i));
            if (Simple == nullptr)
                continue;
            const TBytes Glyph = Simple->Encode();
            TOutlineSimple Again;
            const std::size_t End = Again.Decode(base::TBigEndianView(Glyph), 0);
            const TOutlineSimple::TExtent Extent = TOutlineSimple::Measure(base::TBigEndianView(Glyph), 0);
            EXPECT_EQ(Extent.Points, static_cast<std::uint32_t>(Again.GetPointCount()));
            EXPECT_EQ(Extent.End, End);
            ++Measured;
        }
    }
    EXPECT_GT(Measured, 1000u);
}
