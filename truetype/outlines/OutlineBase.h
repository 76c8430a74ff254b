// The outline of one glyph: the interface every kind of outline offers, the
// empty outline, and the instruction bytes simple and composite glyphs share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/BigEndianView.h"
#include "base/PolygonSurface.h"
#include "truetype/outlines/OutlineContours.h"
#include "truetype/outlines/PolyPolyGon.h"

namespace truetype {

enum : int { OutlineKindEmpty = 0, OutlineKindSimple = 1, OutlineKindComposite = 2 };

class TOutlineBase {
public:
    TOutlineBase() = default;
    virtual ~TOutlineBase() = default;
    TOutlineBase(const TOutlineBase&) = delete;
    TOutlineBase& operator=(const TOutlineBase&) = delete;

    // Left = xMin, Top = yMin, Right = xMax, Bottom = yMax in font units.
    base::TIntRect BoundingBox;

    virtual int GetComponentDepth() const { return 0; }
    virtual int GetComponentCount() const { return 0; }
    virtual int GetCompositeContourCount() const { return 0; }
    virtual int GetCompositePointCount() const { return 0; }
    virtual int GetContourCount() const { return 0; }
    virtual int GetPointCount() const { return 0; }
    // Appends this outline's contours, placed, to Target.
    virtual void AppendContours(TOutlineContours& Target, const TPlacement& Placement) const = 0;
    virtual void Draw(base::IPolygonSurface& Canvas, const TDrawView& View) const = 0;
    virtual void ClearInstructions() = 0;
    virtual bool HasInstructions() const = 0;
    // A private exchange block: a little-endian uint16 length, then the bytes.
    virtual void LoadInstructionsFromStream(TStream& Stream) = 0;
    virtual void SaveInstructionsToStream(TStream& Stream) const = 0;
    // Decodes the glyph that starts at the stream's position and leaves the
    // stream right after it.
    virtual void LoadFromStream(TStream& Stream) = 0;
    virtual void SaveToStream(TStream& Stream) const = 0;
    virtual int GetOutlineKind() const { return OutlineKindEmpty; }
    virtual bool UsesGlyph(std::uint16_t GlyphIndex) const = 0;
    virtual base::TIntRect CalculateBoundingBox() = 0;
};

class TOutlineEmpty final : public TOutlineBase {
public:
    void AppendContours(TOutlineContours&, const TPlacement&) const override {}
    void Draw(base::IPolygonSurface&, const TDrawView&) const override {}
    void ClearInstructions() override {}
    bool HasInstructions() const override { return false; }
    void LoadInstructionsFromStream(TStream&) override {}
    void SaveInstructionsToStream(TStream&) const override {}
    void LoadFromStream(TStream&) override {}
    void SaveToStream(TStream&) const override {}
    bool UsesGlyph(std::uint16_t) const override { return false; }
    base::TIntRect CalculateBoundingBox() override
    {
        BoundingBox = {};
        return BoundingBox;
    }
};

// What simple and composite outlines share: the instruction bytes, and the
// decoding of a glyph that lies in bytes held in memory.
class TOutlineWithInstructions : public TOutlineBase {
public:
    std::vector<std::uint8_t> Instructions;

    void ClearInstructions() override { Instructions.clear(); }
    bool HasInstructions() const override { return !Instructions.empty(); }
    void LoadInstructionsFromStream(TStream& Stream) override;
    void SaveInstructionsToStream(TStream& Stream) const override;
    void LoadFromStream(TStream& Stream) override;

    // Decodes the glyph at Offset; answers the offset right after it. Bytes
    // past the end of Glyf read as zeros, but instruction bytes must be
    // there: a copy that runs past the end raises "Stream read error".
    virtual std::size_t Decode(const base::TBigEndianView& Glyf, std::size_t Offset) = 0;

protected:
    // Copies Length bytes at Offset into Instructions.
    void CopyInstructions(const base::TBigEndianView& Glyf, std::size_t Offset, std::size_t Length);
    // Raises "Stream read error" where Glyf does not hold Length bytes at
    // Offset, as the copy does.
    static void CheckInstructionRange(const base::TBigEndianView& Glyf, std::size_t Offset, std::size_t Length);
};

}  // namespace truetype
