// cmap tables and subtables, byte by byte, for tests.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/FontBuilder.h"

namespace testing_support {

struct TFormat4Segment {
    std::uint16_t StartCode = 0;
    std::uint16_t EndCode = 0;
    std::int16_t IdDelta = 0;
    std::uint16_t IdRangeOffset = 0;
};

// Format 0: the 256 glyph bytes; Length is written as given.
TBytes Format0SubTable(const std::vector<std::uint8_t>& Glyphs, std::uint16_t Length = 262, std::uint16_t Language = 0);

struct TFormat2SubHeader {
    std::uint16_t FirstCode = 0;
    std::uint16_t EntryCount = 0;
    std::int16_t IdDelta = 0;
    // From the field's own position, as the format counts it.
    std::uint16_t IdRangeOffset = 0;
};
// Format 2: Keys are byte offsets into the subheaders (8 per subheader), the
// glyph index array follows the subheaders.
TBytes Format2SubTable(const std::vector<std::uint16_t>& Keys, const std::vector<TFormat2SubHeader>& SubHeaders,
                       const std::vector<std::uint16_t>& GlyphIds);

// Format 4 with the segments exactly as given (the caller adds the 0xFFFF
// terminator) and the glyph index array after them.
TBytes Format4SubTable(const std::vector<TFormat4Segment>& Segments, const std::vector<std::uint16_t>& GlyphIds = {},
                       std::uint16_t ReservedPad = 0);
// The terminating 0xFFFF segment.
TFormat4Segment Format4Terminator();

TBytes Format6SubTable(std::uint16_t FirstCode, const std::vector<std::uint16_t>& GlyphIds, std::uint16_t Language = 0);

// A cmap table: its records first, then the subtables in the order added.
class TCmapBuilder {
public:
    explicit TCmapBuilder(std::uint16_t Version = 0) : FVersion(Version) {}

    // A record with a subtable of its own.
    TCmapBuilder& Add(std::uint16_t PlatformID, std::uint16_t EncodingID, TBytes SubTable);
    // A record pointing at the subtable of record Index.
    TCmapBuilder& Share(std::uint16_t PlatformID, std::uint16_t EncodingID, std::size_t Index);
    TBytes Build() const;

private:
    struct TRecord {
        std::uint16_t PlatformID;
        std::uint16_t EncodingID;
        std::size_t SubTable;
    };
    std::uint16_t FVersion;
    std::vector<TRecord> FRecords;
    std::vector<TBytes> FSubTables;
};

}  // namespace testing_support
