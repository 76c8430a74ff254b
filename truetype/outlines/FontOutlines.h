// The outlines of a font, one per glyph, built from maxp, loca and glyf.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "truetype/outlines/OutlineBase.h"

namespace truetype {

class TTableMaxp;
class TTableLoca;
class TTableGlyf;
class TOutlineComposite;

class TFontOutlines {
public:
    using TProgressEvent = std::function<void(TFontOutlines& Sender, int Percent)>;

    // Bounds on what a glyph may expand to; no real font comes near them.
    // Composites nest at most TOutlineComposite::MaxComponentDepth deep.
    // A TrueType glyph addresses its points in 16 bits, so the expansion of
    // a composite holds at most this many points, and visits at most this
    // many components.
    static constexpr std::uint32_t MaxExpandedPoints = 65535;
    static constexpr std::uint32_t MaxExpandedComponents = 65535;
    // The memory the decoded points and components of the whole table may
    // take, per byte of glyph data, with room on top for a few glyphs of the
    // largest size: repeated flags let a few bytes claim thousands of
    // points, and glyphs may overlap, but real glyph data holds less than
    // one point per byte (a point takes 24 bytes decoded, a component 72).
    static constexpr std::uint64_t DecodedBytesPerByte = 24;
    static constexpr std::uint64_t DecodedBytesAllowance = 8 << 20;

    TFontOutlines() = default;
    TFontOutlines(const TFontOutlines&) = delete;
    TFontOutlines& operator=(const TFontOutlines&) = delete;

    TProgressEvent OnProgress;

    void Clear() { FOutlines.clear(); }
    std::size_t Count() const { return FOutlines.size(); }
    TOutlineBase& Items(std::ptrdiff_t Index);
    const TOutlineBase& Items(std::ptrdiff_t Index) const;

    // One outline per glyph, then the components linked and checked and
    // their point anchors resolved. Raises "Maxp, Glyf and/ or Loca
    // table(s) missing!" when a table is missing.
    void RetrieveOutlinesFromTables(const TTableMaxp* Maxp, const TTableLoca* Loca, const TTableGlyf* Glyf);
    // The same for a few glyphs: only Glyphs, and the glyphs their
    // components use at any depth, are decoded, each as the full retrieval
    // decodes it; every other glyph has an empty outline. Indexes past the
    // last glyph are passed over. No progress is reported.
    void RetrieveOutlinesFromTables(const TTableMaxp* Maxp, const TTableLoca* Loca, const TTableGlyf* Glyf,
                                    std::span<const std::uint16_t> Glyphs);
    // Decodes the glyphs and checks the composites as the retrieval does,
    // raising what it raises, but keeps nothing: a simple glyph is only
    // measured, and the warnings of the decoders are not all given.
    static void CheckOutlinesFromTables(const TTableMaxp* Maxp, const TTableLoca* Loca, const TTableGlyf* Glyf);
    // Every component refers to the outline of its glyph; an index past
    // the last glyph raises the list's index error.
    void LinkComponents();
    void ResolveAnchorPoints();

private:
    struct TCheck;
    struct TDecoder;
    void Retrieve(const TTableMaxp* Maxp, const TTableLoca* Loca, const TTableGlyf* Glyf);
    void RetrieveSome(const TTableMaxp* Maxp, const TTableLoca* Loca, const TTableGlyf* Glyf,
                      std::span<const std::uint16_t> Glyphs);
    void Finish();
    // Raises a FontException naming the glyph when a composite uses itself,
    // nests too deep or expands too far; gives every composite its counts.
    void CheckComponents();

    std::vector<std::unique_ptr<TOutlineBase>> FOutlines;
};

}  // namespace truetype
