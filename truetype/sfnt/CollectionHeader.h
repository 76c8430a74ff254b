// The header of a font collection (a file beginning with "ttcf"): where each
// of its fonts' offset tables stands.
#pragma once

#include <cstdint>
#include <vector>

#include "base/Stream.h"

namespace truetype {

struct TCollectionHeader {
    static constexpr std::uint32_t Tag = 0x74746366;  // "ttcf"

    std::uint32_t Version = 0;
    std::uint32_t NumFonts = 0;
    // From the start of the file, one per font.
    std::vector<std::uint32_t> Offsets;
    // Version 2.0 only (zeros otherwise).
    std::uint32_t DsigTag = 0;
    std::uint32_t DsigLength = 0;
    std::uint32_t DsigOffset = 0;
};

// Whether the stream holds a collection from Start on; the position is left
// where it was.
bool IsCollection(base::TStream& Stream, std::int64_t Start);

// Reads the header standing at Start. A count of fonts the file cannot hold,
// an offset to an offset table past its end or an unknown version is a
// FontException.
TCollectionHeader ReadCollectionHeader(base::TStream& Stream, std::int64_t Start);

}  // namespace truetype
