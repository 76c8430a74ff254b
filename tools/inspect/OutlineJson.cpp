#include "tools/inspect/OutlineJson.h"

#include "truetype/outlines/OutlineComposite.h"

using namespace truetype;

namespace inspect {

namespace {

const char* KindName(int Kind)
{
    switch (Kind) {
    case OutlineKindSimple: return "simple";
    case OutlineKindComposite: return "composite";
    default: return "empty";
    }
}

void WriteComponents(TJsonWriter& Json, const TOutlineComposite& Composite)
{
    Json.Key("components").BeginArray();
    for (const TCompositeMember& M : Composite.Components) {
        Json.BeginObject().Field("glyphIndex", M.GlyphIndex).Field("xyValues", M.XYValues);
        Json.Field("offsetX", M.OffsetX).Field("offsetY", M.OffsetY).Field("scaleX", M.ScaleX);
        Json.Field("scaleY", M.ScaleY).Field("scale01", M.Scale01).Field("scale10", M.Scale10).EndObject();
    }
    Json.EndArray();
}

}  // namespace

void WriteOutlineTotalsJson(TJsonWriter& Json, const TFontOutlines& Outlines)
{
    std::uint64_t Points = 0, Contours = 0;
    for (std::size_t i = 0; i < Outlines.Count(); ++i) {
        const TOutlineBase& Outline = Outlines.Items(static_cast<std::ptrdiff_t>(i));
        Points += static_cast<std::uint64_t>(Outline.GetPointCount() + Outline.GetCompositePointCount());
        Contours += static_cast<std::uint64_t>(Outline.GetContourCount() + Outline.GetCompositeContourCount());
    }
    Json.Key("outlines").BeginObject().Field("count", Outlines.Count()).Field("points", Points);
    Json.Field("contours", Contours).EndObject();
}

void WriteGlyphsJson(TJsonWriter& Json, const TFontOutlines& Outlines)
{
    Json.Key("glyphs").BeginArray();
    TOutlineContours Placed;
    for (std::size_t i = 0; i < Outlines.Count(); ++i) {
        const TOutlineBase& Outline = Outlines.Items(static_cast<std::ptrdiff_t>(i));
        Json.Newline();
        Json.BeginObject().Field("kind", KindName(Outline.GetOutlineKind()));
        const base::TIntRect& Box = Outline.BoundingBox;
        Json.Key("bbox").BeginArray().Value(Box.Left).Value(Box.Top).Value(Box.Right).Value(Box.Bottom).EndArray();
        Placed.Clear();
        Outline.AppendContours(Placed, IdentityPlacement);
        Json.Key("contours").BeginArray();
        for (std::size_t c = 0; c < Placed.Count(); ++c) {
            Json.BeginArray();
            for (const TTrueTypePoint& Point : Placed.Items(static_cast<std::ptrdiff_t>(c)))
                Json.BeginArray().Value(Point.X).Value(Point.Y).Value(Point.OnCurve).EndArray();
            Json.EndArray();
        }
        Json.EndArray();
        if (const auto* Composite = dynamic_cast<const TOutlineComposite*>(&Outline))
            WriteComponents(Json, *Composite);
        Json.EndObject();
    }
    Json.EndArray();
}

}  // namespace inspect
