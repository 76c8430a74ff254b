// One cmap subtable, read from formats 0, 2, 4 and 6 into flat mappings and
// written in format 0 or 4.
#pragma once

#include <cstddef>
#include <cstdint>

#include "truetype/sfnt/FontDataTypes.h"
#include "truetype/tables/cmap/UnitCharacterToGlyphIndexMappings.h"

namespace truetype {

// A run of character codes as format 4 stores it: through idDelta alone, or
// through the glyph index array.
struct TCmapSegment {
    std::uint16_t StartCode = 0xFFFF;
    std::uint16_t EndCode = 0xFFFF;
    bool IsDelta = true;
};

class TCmapEncodingSubTable {
public:
    TCmapEncodingSubTable() = default;
    TCmapEncodingSubTable(const TCmapEncodingSubTable&) = delete;
    TCmapEncodingSubTable& operator=(const TCmapEncodingSubTable&) = delete;

    std::uint16_t SubTableFormat() const { return FSubTableFormat; }
    void SetSubTableFormat(std::uint16_t Format) { FSubTableFormat = Format; }
    // The header's third word (the language of later editions of the format).
    std::uint16_t Version = 0;
    TCharacterToGlyphIndexMappings Mappings;

    // Reads header and body from the subtable's first byte. Formats 2 and 6
    // become format 4 once read, so that they can be written back.
    void LoadFromStream(TStream& Stream);
    // Sorts the mappings by code, then writes header and body.
    void SaveToStream(TStream& Stream);

    void LoadFormat0(TStream& Stream, std::uint16_t Length);
    void LoadFormat2(TStream& Stream, std::uint16_t Length);
    void LoadFormat4(TStream& Stream);
    void LoadFormat6(TStream& Stream, std::uint16_t Length);
    void SaveFormat0(TStream& Stream) const;
    void SaveFormat4(TStream& Stream) const;

    // Cuts the sorted mappings into format 4 segments, from Position on.
    // Answers false with the 0xFFFF terminator (and Position back at 0) once
    // the mappings are used up.
    bool FindNextSegment(std::size_t& Position, TCmapSegment& Segment) const;

    void AddMapping(std::uint16_t CharacterCode, std::uint16_t GlyphIndex) { Mappings.Add({CharacterCode, GlyphIndex}); }
    // Format 4: Count codes from First, their glyphs First + k + IdDelta, or,
    // when GlyphIds is a stream position, the ids stored there plus IdDelta.
    void AddRun(TStream& Stream, std::uint32_t First, std::uint32_t Count, std::uint16_t IdDelta,
                std::int64_t GlyphIds);
    // Deletes the mappings to glyphs the font does not have, with one warning
    // each, last to first. Answers whether any went.
    bool RemoveIllegalMappings(std::uint16_t NumGlyphs);
    void Clear();

    // What the last load cost: mappings added plus format 2 subheaders and
    // format 4 segments visited. The table bounds its total.
    std::size_t EntriesRead() const { return FEntriesRead; }

private:
    void RelabelAsFormat4();

    std::uint16_t FSubTableFormat = 0;
    std::size_t FEntriesRead = 0;
    std::size_t FStructuresRead = 0;
};

}  // namespace truetype
