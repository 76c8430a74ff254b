#include "platform/Registry.h"

#include "base/TextConversion.h"

namespace platform {

std::vector<std::uint8_t> RegistryStringData(const std::string& Text)
{
    std::vector<std::uint8_t> Data = base::Utf16ToLittleEndian(base::Utf8ToUtf16(Text));
    Data.push_back(0);
    Data.push_back(0);
    return Data;
}

void IRegistryKey::WriteString(const std::string& Name, const std::string& Data)
{
    WriteValue(Name, RegSz, RegistryStringData(Data));
}

std::string RegistryStringText(const std::vector<std::uint8_t>& Data)
{
    const std::u16string Units = base::LittleEndianToUtf16(Data);
    return base::Utf16ToUtf8(std::u16string_view(Units).substr(0, Units.find(u'\0')));
}

std::string_view KeyPathBelowRoot(std::string_view Path)
{
    return !Path.empty() && Path.front() == '\\' ? Path.substr(1) : Path;
}

std::vector<std::uint8_t> RegistryWriteBuffer(const std::vector<std::uint8_t>& Data)
{
    std::vector<std::uint8_t> Buffer;
    Buffer.reserve(Data.size() + 2);
    Buffer.assign(Data.begin(), Data.end());
    Buffer.push_back(0xFF);
    Buffer.push_back(0xFF);
    return Buffer;
}

}  // namespace platform
