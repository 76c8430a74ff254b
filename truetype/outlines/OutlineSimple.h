// The outline of a simple glyph: contours of quadratic on-curve and
// off-curve points, and the glyph's instruction bytes.
#pragma once

#include "truetype/outlines/OutlineBase.h"

namespace truetype {

class TOutlineSimple final : public TOutlineWithInstructions {
public:
    TOutlineContours Contours;

    void Clear();

    int GetContourCount() const override { return static_cast<int>(Contours.Count()); }
    int GetPointCount() const override { return static_cast<int>(Contours.PointCount()); }
    void AppendContours(TOutlineContours& Target, const TPlacement& Placement) const override;
    void Draw(base::IPolygonSurface& Canvas, const TDrawView& View) const override;
    void SaveToStream(TStream& Stream) const override;
    int GetOutlineKind() const override { return OutlineKindSimple; }
    bool UsesGlyph(std::uint16_t) const override { return false; }
    base::TIntRect CalculateBoundingBox() override;

    // Of each point's flag byte only the on-curve bit is kept; the others
    // are derived again on encoding. Raises "Simple Glyph with %d number of
    // points" when the last end point index is 65535.
    std::size_t Decode(const base::TBigEndianView& Glyf, std::size_t Offset) override;
    // The glyph at Offset up to its flags, where Decode refuses what it
    // refuses: a last end point index of 65535 (the count wraps to zero) and
    // instruction bytes past the end of Glyf. From the flags on, bytes past
    // the end read as zeros and nothing is refused.
    struct THeader {
        std::int16_t ContourCount = 0;
        // The last end point index plus one. The flag runs cover at least
        // this many points, and at most MaxPointsPastCount more: a run that
        // starts before the count may repeat past it.
        std::uint16_t PointCount = 0;
        std::size_t InstructionsAt = 0;
        std::uint16_t InstructionLength = 0;
        std::size_t FlagsAt() const { return InstructionsAt + InstructionLength; }
    };
    static constexpr std::uint32_t MaxPointsPastCount = 255;
    static THeader ReadHeader(const base::TBigEndianView& Glyf, std::size_t Offset);
    // What Decode would make of the glyph at Offset, without building it:
    // its count of points and the offset right after it; raises as Decode
    // raises.
    struct TExtent {
        std::uint32_t Points = 0;
        std::size_t End = 0;
    };
    static TExtent Measure(const base::TBigEndianView& Glyf, std::size_t Offset);
    // Measure's count of points alone, at a fraction of its time.
    static std::uint32_t CountPoints(const base::TBigEndianView& Glyf, std::size_t Offset);
    // The glyph's encoding, as SaveToStream writes it.
    std::vector<std::uint8_t> Encode() const;
};

}  // namespace truetype
