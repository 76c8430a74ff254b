// Builders for test fonts: big-endian bytes with a name per field, and whole
// sfnt files assembled from table bodies.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testing_support {

using TBytes = std::vector<std::uint8_t>;

class TByteWriter {
public:
    TByteWriter& U8(std::uint8_t Value);
    TByteWriter& U16(std::uint16_t Value);
    TByteWriter& S16(std::int16_t Value) { return U16(static_cast<std::uint16_t>(Value)); }
    TByteWriter& U32(std::uint32_t Value);
    TByteWriter& U64(std::uint64_t Value);
    TByteWriter& Tag(std::string_view Tag);
    TByteWriter& Raw(const TBytes& Bytes);
    TByteWriter& Text(std::string_view Text);
    TByteWriter& Utf16(std::u16string_view Text);
    TByteWriter& Zeros(std::size_t Count);

    std::size_t Size() const { return FBytes.size(); }
    const TBytes& Bytes() const { return FBytes; }
    operator TBytes() const { return FBytes; }  // NOLINT(google-explicit-constructor)

private:
    TBytes FBytes;
};

struct THeadFields {
    std::uint32_t Magic = 0x5F0F3CF5;
    std::int16_t IndexToLocFormat = 0;
    std::uint16_t UnitsPerEm = 2048;
};

TBytes HeadTable(const THeadFields& Fields = {});
TBytes HheaTable(std::uint16_t NumberOfHMetrics);
TBytes MaxpTable(std::uint16_t NumGlyphs);
// Long entries (advance, lsb) followed by short entries (lsb).
TBytes HmtxTable(const std::vector<std::pair<std::uint16_t, std::int16_t>>& Long,
                 const std::vector<std::int16_t>& Short = {});
// A format 4 cmap for platform 3, encoding 1 mapping Codes[i] to Glyphs[i]
// (one segment per mapping; empty: only the 0xFFFF segment).
TBytes CmapTable(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& Mappings = {});

struct TNameRecord {
    std::uint16_t PlatformID = 3;
    std::uint16_t EncodingID = 1;
    std::uint16_t LanguageID = 0x409;
    std::uint16_t NameID = 4;
    std::u16string Text;
};
// Strings UTF-16BE on platforms 0 and 3, one byte per unit elsewhere.
TBytes NameTable(const std::vector<TNameRecord>& Records);

class TFontBuilder {
public:
    TFontBuilder& Version(std::uint32_t Version);
    // Tables stand in the directory in the order they are added.
    TFontBuilder& Add(std::string_view Tag, TBytes Body);
    // A directory record of its own, after the added tables' records, pointing
    // wherever it says (offsets from the start of the file).
    TFontBuilder& Record(std::string_view Tag, std::uint32_t Offset, std::uint32_t Length);
    TBytes Build() const;

private:
    std::uint32_t FVersion = 0x00010000;
    std::vector<std::pair<std::string, TBytes>> FTables;
    TByteWriter FRecords;
    std::uint16_t FRecordCount = 0;
};

// head, hhea, maxp, hmtx (advance 500 + glyph index) and an empty cmap.
TFontBuilder MinimalFont(std::uint16_t NumGlyphs = 3);

// A collection of Fonts (each as Build made it), its directories' offsets
// moved to count from the start of the collection; then SharedCopies more
// fonts, each only a copy of font 0's directory, sharing all of its tables.
// Version 2.0 adds zero signature fields.
TBytes CollectionFile(const std::vector<TBytes>& Fonts, std::uint32_t Version = 0x00010000,
                      std::size_t SharedCopies = 0);

}  // namespace testing_support
