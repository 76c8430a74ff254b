// The kerning table: the pairs of the first format 0 subtable, written back
// as one format 0 subtable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "truetype/sfnt/TableBase.h"

namespace truetype {

struct TKerningPair {
    std::uint16_t Left = 0;
    std::uint16_t Right = 0;
    std::int16_t Value = 0;
};

class TTableKern final : public TFontTable {
public:
    explicit TTableKern(std::string_view Tag) : TFontTable(Tag, "TTableKern", "kern") {}

    // The largest count whose format 0 subtable length, 14 + 6 * count, still
    // fits in 16 bits.
    static constexpr std::uint16_t MaxPairs = 10920;

    std::uint16_t Version = 0;

    bool IsEmpty() const override { return FPairs.empty(); }
    std::size_t Count() const { return FPairs.size(); }
    const TKerningPair& Items(std::ptrdiff_t Index) const;
    // The position of the first pair of these glyphs, or -1.
    std::ptrdiff_t IndexOfPair(std::uint16_t Left, std::uint16_t Right) const;
    void AddPair(const TKerningPair& Pair) { FPairs.push_back(Pair); }
    void Clear() { FPairs.clear(); }

    void LoadFromStream(TStream& Stream) override;
    // Raises a FontException when more than MaxPairs pairs are held.
    void SaveToStream(TStream& Stream) override;
    // The body of a format 0 subtable, from its pair count on.
    void LoadFormat0(TStream& Stream);
    void SaveFormat0(TStream& Stream) const;

private:
    std::vector<TKerningPair> FPairs;
};

}  // namespace truetype
