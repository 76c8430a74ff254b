// The grid-fitting and scan-conversion table: ranges of sizes and their
// behaviour flags, held in ascending order of their limits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "truetype/sfnt/TableBase.h"

namespace truetype {

struct TGaspRange {
    std::uint16_t RangeMaxPPEM = 0;
    std::uint16_t RangeGaspBehavior = 0;
};

class TTableGasp final : public TFontTable {
public:
    explicit TTableGasp(std::string_view Tag) : TFontTable(Tag, "TTableGasp", "gasp") {}

    std::uint16_t Version = 0;

    // Before the first range with a greater limit: equal limits keep the
    // order in which they came.
    void AddRange(const TGaspRange& Range);
    std::size_t Count() const { return FRanges.size(); }
    const TGaspRange& Items(std::ptrdiff_t Index) const;
    void Clear() { FRanges.clear(); }

    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;

private:
    std::vector<TGaspRange> FRanges;
};

}  // namespace truetype
