// The PCLT table: printer values and two fixed-width strings, 54 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "truetype/sfnt/TableBase.h"
#include "truetype/sfnt/TableFields.h"

namespace truetype {

class TTablePCLT final : public TFontTable {
public:
    explicit TTablePCLT(std::string_view Tag) : TFontTable(Tag, "TTablePCLT", "PCLT") {}

    static constexpr std::size_t TypefaceLength = 16;
    static constexpr std::size_t FileNameLength = 6;

    std::uint32_t version = 0;  // raw 16.16
    std::uint32_t fontNumber = 0;
    std::uint16_t pitch = 0;
    std::uint16_t xHeight = 0;
    std::uint16_t style = 0;
    std::uint16_t typeFamily = 0;
    std::uint16_t capHeight = 0;
    std::uint16_t symbolSet = 0;
    std::array<std::uint8_t, 8> characterComplement{};
    std::int8_t strokeWeight = 0;
    std::int8_t widthType = 0;
    std::uint8_t serifStyle = 0;
    std::uint8_t reserved = 0;

    // Single-byte characters, zero bytes included; always 16 and 6 of them.
    const std::string& Typeface() const { return FTypeface.Text(); }
    const std::string& FileName() const { return FFileName.Text(); }
    // Pad with spaces or cut to the field's width.
    void SetTypeface(std::string_view Value) { FTypeface.Set(Value); }
    void SetFileName(std::string_view Value) { FFileName.Set(Value); }

    // The fields in file order (TableFields.h).
    template <typename Self, typename Visitor>
    static void Fields(Self& T, Visitor&& Visit)
    {
        Visit("version", T.version);
        Visit("fontNumber", T.fontNumber);
        Visit("pitch", T.pitch);
        Visit("xHeight", T.xHeight);
        Visit("style", T.style);
        Visit("typeFamily", T.typeFamily);
        Visit("capHeight", T.capHeight);
        Visit("symbolSet", T.symbolSet);
        Visit("typeface", T.FTypeface);
        Visit("characterComplement", T.characterComplement);
        Visit("fileName", T.FFileName);
        Visit("strokeWeight", T.strokeWeight);
        Visit("widthType", T.widthType);
        Visit("serifStyle", T.serifStyle);
        Visit("reserved", T.reserved);
    }

    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;

private:
    TFixedText<TypefaceLength> FTypeface;
    TFixedText<FileNameLength> FFileName;
};

}  // namespace truetype
