// A table kept as its bytes, without parsing.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/Stream.h"
#include "truetype/sfnt/TableBase.h"

namespace truetype {

class TRawDataTable : public TFontTable, public TRawDataLoadable {
public:
    using TFontTable::TFontTable;

    // The table's bytes; a table loaded by DeferRawData reads them from its
    // source here, the first time they are asked for. A buffer that is not
    // cleared before it is read into: glyf alone may hold megabytes.
    const base::TReadBuffer& Data() const;
    // The bytes for a reader that needs them only for a while: a table
    // loaded by DeferRawData reads them into Scratch, which the reader keeps
    // from table to table, and stays deferred; any other answers its own.
    // Valid until Scratch or the table changes.
    std::span<const std::uint8_t> BorrowData(base::TReadBuffer& Scratch) const;
    // Their count, without reading them.
    std::size_t Length() const { return FDeferred ? FDeferredLength : FData.size(); }

    // Replaces the bytes with the next Length of the stream; "Stream read
    // error" when the stream holds fewer (checked before anything is
    // allocated).
    void LoadRawData(TStream& Stream, std::uint32_t Length) override;
    // The same check, but the bytes stay in Source until Data is first
    // called; Source must outlive the table and hold the same bytes until
    // then.
    void DeferRawData(TStream& Source, std::uint32_t Length) override;
    // Replaces the bytes with the whole stream, whatever its position.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
    void Clear();

private:
    void ReadDeferred(TStream& Source, base::TReadBuffer& Into) const;

    mutable base::TReadBuffer FData;
    mutable TStream* FDeferred = nullptr;
    std::int64_t FDeferredAt = 0;
    std::uint32_t FDeferredLength = 0;
};

}  // namespace truetype
