// The base of every table class.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "truetype/sfnt/FontDataTypes.h"
#include "truetype/sfnt/LogLines.h"

namespace truetype {

class TFontTable {
public:
    // Raw tables accept any tag; the tag is cut to four characters.
    explicit TFontTable(std::string_view Tag);
    virtual ~TFontTable() = default;
    TFontTable(const TFontTable&) = delete;
    TFontTable& operator=(const TFontTable&) = delete;

    const TTableTag& Tag() const { return FTag; }

    // The owning font's log; the table only refers to it.
    TLogLines* Log = nullptr;

    // Reads the body from a stream positioned at the table's first byte.
    virtual void LoadFromStream(TStream& Stream) = 0;
    // Writes the body at the stream's position.
    virtual void SaveToStream(TStream& Stream) = 0;
    virtual bool IsEmpty() const { return false; }

protected:
    // For classes that stand for one tag: raises "Creating Fonttable %s with
    // tag %s" when Tag is not OwnTag.
    TFontTable(std::string_view Tag, std::string_view ClassName, std::string_view OwnTag);

private:
    TTableTag FTag;
};

// Tables that the loader fills from the directory's length instead of parsing
// them from the stream (raw tables, glyf).
class TRawDataLoadable {
public:
    virtual ~TRawDataLoadable() = default;
    virtual void LoadRawData(TStream& Stream, std::uint32_t Length) = 0;
    // The same, the bytes read from Source only when first asked for.
    virtual void DeferRawData(TStream& Source, std::uint32_t Length) = 0;
};

}  // namespace truetype
