#include "platform/Registry.h"

#include "base/TextConversion.h"

namespace platform {

std::vector<std::uint8_t> RegistryStringData(const std::string& Text)
{
    std::vector<std::uint8_t> Data;
    for (const char16_t Unit : base::Utf8ToUtf16(Text)) {
        Data.push_back(static_cast<std::uint8_t>(Unit & 0xFF));
        Data.push_back(static_cast<std::uint8_t>(Unit >> 8));
    }
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
    std::u16string Units;
    for (std::size_t i = 0; i + 1 < Data.size(); i += 2) {
        const auto Unit = static_cast<char16_t>(Data[i] | (Data[i + 1] << 8));
        if (Unit == 0)
            break;
        Units += Unit;
    }
    return base::Utf16ToUtf8(Units);
}

}  // namespace platform
