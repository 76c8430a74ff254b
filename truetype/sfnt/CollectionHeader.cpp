#include "truetype/sfnt/CollectionHeader.h"

#include "base/BigEndianView.h"
#include "truetype/sfnt/FontDataTypes.h"

namespace truetype {

namespace {

constexpr std::int64_t FixedPart = 12;
constexpr std::int64_t SignaturePart = 12;
constexpr std::int64_t OffsetTableSize = 12;

}  // namespace

bool IsCollection(TStream& Stream, std::int64_t Start)
{
    const std::int64_t Was = Stream.Position();
    Stream.SetPosition(Start);
    const base::TBigEndianBlock Block(Stream, 4);
    Stream.SetPosition(Was);
    return Block.Size() == 4 && Block.View().ULong(0) == TCollectionHeader::Tag;
}

TCollectionHeader ReadCollectionHeader(TStream& Stream, std::int64_t Start)
{
    Stream.SetPosition(Start);
    const base::TBigEndianBlock Fixed(Stream, FixedPart);
    TCollectionHeader Header;
    Header.Version = Fixed.View().ULong(4);
    Header.NumFonts = Fixed.View().ULong(8);
    if (Header.Version != 0x00010000 && Header.Version != 0x00020000)
        RaiseFontErrorFmt("Unknown font collection format (version number %d.%d).",
                          {FixedMajor(Header.Version), FixedMinor(Header.Version)});

    // The count buys nothing before the file shows it can hold one offset
    // per font (and, for 2.0, the signature fields after them).
    const std::int64_t Available = Stream.Size() - Start;
    const std::int64_t Needed = FixedPart + 4 * std::int64_t{Header.NumFonts} +
                                (Header.Version == 0x00020000 ? SignaturePart : 0);
    if (Header.NumFonts == 0)
        RaiseFontError("Font collection holds no fonts");
    if (Needed > Available)
        RaiseFontErrorFmt("Font collection claims %d fonts, more than its %d bytes can hold",
                          {Header.NumFonts, Available});

    const base::TBigEndianBlock Rest(Stream, static_cast<std::size_t>(Needed - FixedPart));
    const base::TBigEndianView& Bytes = Rest.View();
    Header.Offsets.reserve(Header.NumFonts);
    for (std::uint32_t i = 0; i < Header.NumFonts; ++i) {
        const std::uint32_t Offset = Bytes.ULong(4 * std::size_t{i});
        if (Offset + OffsetTableSize > Available)
            RaiseFontErrorFmt("Font %d of the collection starts at %d, past the end of its %d bytes",
                              {i, Offset, Available});
        Header.Offsets.push_back(Offset);
    }
    if (Header.Version == 0x00020000) {
        const std::size_t At = 4 * std::size_t{Header.NumFonts};
        Header.DsigTag = Bytes.ULong(At);
        Header.DsigLength = Bytes.ULong(At + 4);
        Header.DsigOffset = Bytes.ULong(At + 8);
    }
    return Header;
}

}  // namespace truetype
