#include "ui/model/FontPreview.h"

#include <algorithm>
#include <array>
#include <exception>
#include <numeric>

#include "app/InstalledFontsUnit.h"
#include "base/TextConversion.h"
#include "truetype/font/TrueTypeFont.h"
#include "truetype/outlines/PolyPolyGon.h"
#include "truetype/tables/TableHead.h"
#include "truetype/tables/TableHhea.h"
#include "truetype/tables/TableHmtx.h"
#include "truetype/tables/TableMaxp.h"
#include "truetype/tables/cmap/TableCmap.h"

namespace ui {

namespace {

constexpr std::uint32_t CffVersion = 0x4F54544F;  // "OTTO"
constexpr std::size_t CodeCount = 0x10000;

struct TScript {
    char16_t First;
    char16_t Last;
    // Right-to-left scripts are stored in reading order and drawn reversed:
    // the preview shapes nothing, so their letters stand in isolated forms.
    bool RightToLeft;
    const char16_t* Sample;
};

const std::array<TScript, 9> Scripts{{
    {0x0370, 0x03FF, false, u"Ξεσκεπάζω την ψυχοφθόρα βδελυγμία"},
    {0x0400, 0x04FF, false, u"Съешь же ещё этих мягких булок"},
    {0x0590, 0x05FF, true, u"דג סקרן שט בים"},
    {0x0600, 0x06FF, true, u"ا ب ت ث ج ح خ د ذ ر ز س"},
    {0x0900, 0x097F, false, u"अ आ इ ई उ ऊ क ख ग घ"},
    {0x0E00, 0x0E7F, false, u"ก ข ค ง จ ฉ ช ซ ญ ด"},
    {0x3040, 0x30FF, false, u"いろはにほへと イロハニホヘト"},
    {0x4E00, 0x9FFF, false, u"天地玄黄 宇宙洪荒 日月盈昃"},
    {0xAC00, 0xD7A3, false, u"다람쥐 헌 쳇바퀴에 타고파"},
}};

const char16_t* const LatinLines[] = {u"ABCDEFGHIJKLMNOPQRSTUVWXYZ", u"abcdefghijklmnopqrstuvwxyz",
                                      u"0123456789 .,:;!?&@()"};

std::size_t CountMapped(const std::vector<bool>& Mapped, char32_t First, char32_t Last)
{
    std::size_t Count = 0;
    for (char32_t Code = First; Code <= Last && Code < Mapped.size(); ++Code)
        Count += Mapped[Code] ? 1 : 0;
    return Count;
}

// The code to glyph map of the Unicode subtable (Windows, then Unicode
// platform), else of a symbol subtable, whose codes stand at 0xF000 on.
std::vector<std::uint16_t> GlyphMap(const truetype::TTableCmap& Cmap)
{
    const truetype::TCmapEncodingTableEntry* Entry = nullptr;
    bool Symbol = false;
    for (std::size_t i = 0; i < Cmap.EncodingCount() && Entry == nullptr; ++i) {
        const auto& Candidate = Cmap.Encodings(static_cast<std::ptrdiff_t>(i));
        if (Candidate.PlatformID == 3 && Candidate.PlatformSpecificEncodingID == 1)
            Entry = &Candidate;
    }
    for (std::size_t i = 0; i < Cmap.EncodingCount() && Entry == nullptr; ++i)
        if (Cmap.Encodings(static_cast<std::ptrdiff_t>(i)).PlatformID == 0)
            Entry = &Cmap.Encodings(static_cast<std::ptrdiff_t>(i));
    for (std::size_t i = 0; i < Cmap.EncodingCount() && Entry == nullptr; ++i) {
        const auto& Candidate = Cmap.Encodings(static_cast<std::ptrdiff_t>(i));
        if (Candidate.PlatformID == 3 && Candidate.PlatformSpecificEncodingID == 0) {
            Entry = &Candidate;
            Symbol = true;
        }
    }
    std::vector<std::uint16_t> Glyphs(CodeCount, 0);
    if (Entry == nullptr)
        return Glyphs;
    // A code mapped twice keeps its first glyph.
    std::vector<bool> Seen(CodeCount, false);
    for (const auto& Mapping : Entry->SubTable.Mappings) {
        std::uint32_t Code = Mapping.CharacterCode;
        if (Symbol && Code >= 0xF000 && Code <= 0xF0FF)
            Code -= 0xF000;
        if (!Seen[Code]) {
            Seen[Code] = true;
            Glyphs[Code] = Mapping.GlyphIndex;
        }
    }
    return Glyphs;
}

}  // namespace

std::u16string OwnScriptSample(const std::vector<bool>& Mapped)
{
    const std::size_t Latin = CountMapped(Mapped, 0x20, 0x24F);
    const bool LatinLetters = CountMapped(Mapped, 'A', 'Z') + CountMapped(Mapped, 'a', 'z') >= 40;
    const TScript* Best = nullptr;
    std::size_t BestCount = 0;
    for (const TScript& Script : Scripts) {
        const std::size_t Count = CountMapped(Mapped, Script.First, Script.Last);
        if (Count > BestCount) {
            Best = &Script;
            BestCount = Count;
        }
    }
    if (Best != nullptr && (BestCount > Latin || !LatinLetters)) {
        std::u16string Sample = Best->Sample;
        if (Best->RightToLeft)
            std::reverse(Sample.begin(), Sample.end());
        return Sample;
    }
    if (LatinLetters)
        return {};
    // Neither Latin nor a script we know: the first characters it maps.
    std::u16string Sample;
    for (char32_t Code = 0x21; Code < 0xFFFF && Sample.size() < 24; ++Code)
        if (Mapped[Code] && (Code < 0xD800 || Code > 0xDFFF))
            Sample += static_cast<char16_t>(Code);
    return Sample;
}

void TPreviewPicture::Draw(base::IPolygonSurface& Surface) const
{
    const base::TPolyFillMode Before = Surface.SetPolyFillMode(base::TPolyFillMode::Winding);
    std::size_t Point = 0;
    std::size_t Polygon = 0;
    for (const std::int32_t Count : Glyphs) {
        const std::vector<std::int32_t> Own(Counts.begin() + static_cast<std::ptrdiff_t>(Polygon),
                                            Counts.begin() + static_cast<std::ptrdiff_t>(Polygon) + Count);
        const std::vector<base::TIntPoint> OwnPoints(
            Points.begin() + static_cast<std::ptrdiff_t>(Point),
            Points.begin() + static_cast<std::ptrdiff_t>(Point) + std::accumulate(Own.begin(), Own.end(), 0));
        truetype::DrawPolyPolygon(Surface, OwnPoints, Count, Own);
        Polygon += static_cast<std::size_t>(Count);
        Point += OwnPoints.size();
    }
    Surface.SetPolyFillMode(Before);
}

TFontPreview TFontPreview::Load(const std::string& Path, std::uint32_t Face, std::uint16_t Language)
{
    TFontPreview Preview;
    truetype::TTrueTypeFont Font(true);
    Font.Face = Face;
    Font.KeepUnknownTables = false;
    // Called once every table is read: the sample, and the glyphs it needs.
    Font.OnOutlineGlyphs = [&Preview, Language](const truetype::TTrueTypeFont& Loaded) {
        std::u16string FontName;
        if (app::TFontInfo::GetFontName(Loaded, Language, FontName))
            Preview.Name = base::Utf16ToUtf8(FontName.substr(0, NameLimit));
        std::vector<std::uint16_t> Map;
        if (const truetype::TTableCmap* Cmap = Loaded.CmapTable())
            Map = GlyphMap(*Cmap);
        else
            Map.assign(CodeCount, 0);
        std::vector<bool> Mapped(CodeCount);
        for (std::size_t Code = 0; Code < CodeCount; ++Code)
            Mapped[Code] = Map[Code] != 0;
        Preview.Lines.push_back(FontName.substr(0, NameLimit));
        if (std::u16string Own = OwnScriptSample(Mapped); !Own.empty())
            Preview.Lines.push_back(std::move(Own));
        for (const char16_t* Line : LatinLines)
            Preview.Lines.emplace_back(Line);
        std::vector<std::uint16_t> Wanted{0};
        for (std::u16string& Line : Preview.Lines) {
            if (Line.size() > LineLimit)
                Line.resize(LineLimit);
            std::vector<std::uint16_t>& Glyphs = Preview.LineGlyphs.emplace_back();
            for (const char16_t Code : Line)
                Glyphs.push_back(Map[Code]);
            Wanted.insert(Wanted.end(), Glyphs.begin(), Glyphs.end());
        }
        std::sort(Wanted.begin(), Wanted.end());
        Wanted.erase(std::unique(Wanted.begin(), Wanted.end()), Wanted.end());
        return Wanted;
    };
    try {
        Font.LoadFromFile(Path);
    } catch (const std::exception& Error) {
        if (Font.Collection)
            Preview.FaceCount = Font.Collection->NumFonts;
        // The loader stops at CFF outlines after it has read every table,
        // so the font still names itself.
        if (Font.Version == CffVersion && Font.GlyfTable() == nullptr) {
            Preview.State = TPreviewState::Cff;
            std::u16string FontName;
            if (app::TFontInfo::GetFontName(Font, Language, FontName))
                Preview.Name = base::Utf16ToUtf8(FontName.substr(0, NameLimit));
        } else {
            Preview.State = TPreviewState::Failed;
            Preview.Error = Error.what();
        }
        Preview.Lines.clear();
        Preview.LineGlyphs.clear();
        return Preview;
    }
    if (Font.Collection)
        Preview.FaceCount = Font.Collection->NumFonts;
    Preview.State = TPreviewState::Drawn;
    if (const truetype::TTableHead* Head = Font.HeadTable())
        // The loader accepts any unitsPerEm; a value outside what real fonts
        // use would scale the sample to nothing or to a wall of ink.
        Preview.FUnitsPerEm = std::clamp<std::uint16_t>(Head->unitsPerEm, 16, 16384);
    const std::int32_t Em = Preview.FUnitsPerEm;
    Preview.FAscender = (Em * 4) / 5;
    Preview.FLineHeight = (Em * 6) / 5;
    if (const truetype::TTableHhea* Hhea = Font.HheaTable()) {
        const std::int32_t Height = Hhea->ascender - Hhea->descender + std::max<std::int32_t>(Hhea->lineGap, 0);
        if (Hhea->ascender > 0 && Height >= Em && Height <= 3 * Em) {
            Preview.FAscender = Hhea->ascender;
            Preview.FLineHeight = Height;
        }
    }
    const auto* Hmtx = dynamic_cast<const truetype::TTableHmtx*>(Font.Tables.FindTable("hmtx"));
    for (const auto& Line : Preview.LineGlyphs)
        for (const std::uint16_t Glyph : Line) {
            if (Preview.FGlyphs.count(Glyph) != 0 || Glyph >= Font.Outlines.Count())
                continue;
            TGlyph& Kept = Preview.FGlyphs[Glyph];
            Font.Outlines.Items(Glyph).AppendContours(Kept.Contours, truetype::TPlacement{});
            Kept.Advance = Hmtx != nullptr && Glyph < Hmtx->Count() ? Hmtx->Items(Glyph).AdvanceWidth
                                                                    : static_cast<std::uint16_t>(Em / 2);
        }
    return Preview;
}

TPreviewPicture TFontPreview::Render(double PixelsPerEm, base::TIntPoint At, std::int32_t MaxWidth) const
{
    TPreviewPicture Picture;
    truetype::TPolyPolyGon Builder;
    double Top = At.Y;
    for (std::size_t Line = 0; Line < LineGlyphs.size(); ++Line) {
        const double Zoom = (Line == 0 ? 1.5 : 1.0) * PixelsPerEm / FUnitsPerEm;
        const std::int32_t Baseline = static_cast<std::int32_t>(Top + FAscender * Zoom);
        double Pen = At.X;
        for (const std::uint16_t Glyph : LineGlyphs[Line]) {
            const auto Found = FGlyphs.find(Glyph);
            if (Found == FGlyphs.end())
                continue;
            // Advances past four ems are taken as four, so that a hostile
            // metric cannot push the line off at once.
            const double Advance = std::min<double>(Found->second.Advance, 4.0 * FUnitsPerEm) * Zoom;
            if (Pen + Advance > At.X + MaxWidth)
                break;
            Builder.View.Origin = {static_cast<std::int32_t>(Pen), Baseline};
            Builder.View.Zoom = Zoom;
            const truetype::TOutlineContours& Contours = Found->second.Contours;
            const std::int32_t Before = Builder.PolygonCount();
            for (std::size_t c = 0; c < Contours.Count(); ++c)
                Builder.AddContour(Contours.Items(static_cast<std::ptrdiff_t>(c)));
            if (Builder.PolygonCount() > Before)
                Picture.Glyphs.push_back(Builder.PolygonCount() - Before);
            Pen += Advance;
        }
        Picture.Width = std::max(Picture.Width, static_cast<std::int32_t>(Pen) - At.X);
        Top += FLineHeight * Zoom;
    }
    Picture.Height = static_cast<std::int32_t>(Top) - At.Y;
    Picture.Points = Builder.Points();
    Picture.Counts = Builder.PolygonCounts();
    return Picture;
}

}  // namespace ui
