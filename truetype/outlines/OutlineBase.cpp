#include "truetype/outlines/OutlineBase.h"

namespace truetype {

void TOutlineWithInstructions::LoadInstructionsFromStream(TStream& Stream)
{
    Instructions.clear();
    const std::uint8_t Low = ReadByte(Stream);
    const std::uint8_t High = ReadByte(Stream);
    const std::size_t Length = std::size_t{High} << 8 | Low;
    if (Length == 0)
        return;
    if (static_cast<std::int64_t>(Length) > Stream.Remaining())
        throw EStreamError("Stream read error");
    Instructions.resize(Length);
    Stream.ReadBuffer(Instructions.data(), Length);
}

void TOutlineWithInstructions::SaveInstructionsToStream(TStream& Stream) const
{
    const auto Length = static_cast<std::uint16_t>(Instructions.size());
    WriteByte(Stream, static_cast<std::uint8_t>(Length & 0xFF));
    WriteByte(Stream, static_cast<std::uint8_t>(Length >> 8));
    Stream.WriteBuffer(Instructions.data(), Instructions.size());
}

void TOutlineWithInstructions::LoadFromStream(TStream& Stream)
{
    // A glyph says itself where it ends; the decoder reads as far as it
    // needs and no further than the stream holds.
    const std::int64_t Start = Stream.Position();
    const base::TReadBuffer Bytes = Stream.ReadUpTo(static_cast<std::size_t>(Stream.Remaining()));
    const std::size_t End = Decode(base::TBigEndianView(Bytes), 0);
    Stream.SetPosition(Start + static_cast<std::int64_t>(End));
}

void TOutlineWithInstructions::CopyInstructions(const base::TBigEndianView& Glyf, std::size_t Offset,
                                                std::size_t Length)
{
    Instructions.clear();
    if (Length == 0)
        return;
    CheckInstructionRange(Glyf, Offset, Length);
    const std::span<const std::uint8_t> Bytes = Glyf.Bytes(Offset, Length);
    Instructions.assign(Bytes.begin(), Bytes.end());
}

void TOutlineWithInstructions::CheckInstructionRange(const base::TBigEndianView& Glyf, std::size_t Offset,
                                                     std::size_t Length)
{
    if (Length != 0 && (Offset > Glyf.Size() || Length > Glyf.Size() - Offset))
        throw EStreamError("Stream read error");
}

}  // namespace truetype
