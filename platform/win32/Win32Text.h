// UTF-8 to UTF-16 and back at the Windows API boundary.
#pragma once

#include <string>
#include <string_view>

#include "TextConversion.h"

namespace platform {

inline std::wstring Wide(std::string_view Text)
{
    const std::u16string Units = Utf8ToUtf16(Text);
    return std::wstring(Units.begin(), Units.end());
}

inline std::string Narrow(std::wstring_view Text)
{
    return Utf16ToUtf8(std::u16string(Text.begin(), Text.end()));
}

}  // namespace platform
