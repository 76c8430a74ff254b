// The glyph names of a post table, one per glyph. Each is a standard name,
// held as its position, or characters in one pool of the list, so that a
// table of 65535 glyphs costs no allocation per name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/Stream.h"

namespace truetype {

// Indices from 258 (the standard names' count) to this one name custom names;
// from 32768 on they name nothing.
constexpr std::uint16_t LastCustomIndex = 32767;

struct TPostScriptNameEntry {
    // At most 255 single-byte characters; valid until the list changes.
    std::string_view Name;
};

class TPostScriptNameList {
public:
    std::size_t Count() const { return FNames.size(); }
    TPostScriptNameEntry Items(std::ptrdiff_t Index) const;
    // Names longer than 255 characters are cut to 255.
    void Add(std::string_view Name);
    void Set(std::ptrdiff_t Index, std::string_view Name);
    void Clear();

    // The standard names in their order.
    void AddStandardNames();
    // A format 2.0 name list from the stream's position (the glyph count's
    // position): the indices, then the custom names, read one after the other
    // only as far as the highest index met.
    void LoadFormat2(base::TStream& Stream, std::uint16_t Count);

private:
    // Below 258 a standard name's position; from 258 on, 258 plus the offset
    // in the pool of a length byte and its characters.
    using TCode = std::uint32_t;
    static constexpr TCode PoolCodes = 258;
    static constexpr TCode EmptyName = 0xFFFFFFFF;

    TCode Pooled(std::string_view Name);

    // Written whole by every load: not cleared first.
    std::vector<TCode, base::TNoFillAllocator<TCode>> FNames;
    // Filled by reads: not cleared first.
    base::TReadBuffer FPool;
};

}  // namespace truetype
