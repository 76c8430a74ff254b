// Identification of font files: the raw `head` check, which reads a few
// bytes directly and does not use the font library. (The name choice,
// TFontInfo::ParseFile and its helpers, is implemented here as well.)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace base {
class TStream;
}

namespace app {

// The offset in the table record of Tag (compared without regard to ASCII
// case, up to its first NUL) among the first 50 records; -1 when there is
// none. Reads from the stream's first byte.
std::int32_t FindTableOffset(base::TStream& Stream, std::string_view Tag);
std::int32_t FindTableOffset(platform::IFileSystem& Files, const std::string& Path, std::string_view Tag);

// Whether the `head` table that the directory points at carries the magic
// number 0x5F0F3CF5.
bool IsValidTrueTypeFont(base::TStream& Stream);
bool IsValidTrueTypeFont(platform::IFileSystem& Files, const std::string& Path);

}  // namespace app
