#include "truetype/tables/TablePCLT.h"

namespace truetype {

std::string TTablePCLT::Fitted(std::string_view Value, std::size_t Length)
{
    std::string Result(Value.substr(0, Length));
    Result.resize(Length, ' ');
    return Result;
}

void TTablePCLT::LoadFromStream(TStream& Stream)
{
    version = ReadFixed(Stream);
    fontNumber = ReadULong(Stream);
    pitch = ReadUShort(Stream);
    xHeight = ReadUShort(Stream);
    style = ReadUShort(Stream);
    typeFamily = ReadUShort(Stream);
    capHeight = ReadUShort(Stream);
    symbolSet = ReadUShort(Stream);
    // A table cut short gives shortened strings, which the setters pad.
    SetTypeface(ReadByteString(Stream, TypefaceLength));
    for (std::uint8_t& Byte : characterComplement)
        Byte = ReadByte(Stream);
    SetFileName(ReadByteString(Stream, FileNameLength));
    strokeWeight = ReadChar(Stream);
    widthType = ReadChar(Stream);
    serifStyle = ReadByte(Stream);
    reserved = ReadByte(Stream);
}

void TTablePCLT::SaveToStream(TStream& Stream)
{
    WriteFixed(Stream, version);
    WriteULong(Stream, fontNumber);
    WriteUShort(Stream, pitch);
    WriteUShort(Stream, xHeight);
    WriteUShort(Stream, style);
    WriteUShort(Stream, typeFamily);
    WriteUShort(Stream, capHeight);
    WriteUShort(Stream, symbolSet);
    WriteByteString(Stream, FTypeface);
    Stream.WriteBuffer(characterComplement.data(), characterComplement.size());
    WriteByteString(Stream, FFileName);
    WriteChar(Stream, strokeWeight);
    WriteChar(Stream, widthType);
    WriteByte(Stream, serifStyle);
    WriteByte(Stream, reserved);
}

}  // namespace truetype
