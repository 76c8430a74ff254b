// The raw check of a font file: whether its `head` table carries the magic
// number, read from a few bytes directly and without the font library, so
// that a file the library cannot name may still count as a font and the
// reverse. (The name choice is TFontInfo's, with the inventory.)
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
// none. Reads from the offset table at FontStart (a collection's font's).
std::int32_t FindTableOffset(base::TStream& Stream, std::string_view Tag, std::int64_t FontStart = 0);
std::int32_t FindTableOffset(platform::IFileSystem& Files, const std::string& Path, std::string_view Tag);

// Whether the `head` table that the directory points at carries the magic
// number 0x5F0F3CF5; for a collection, whether its header is sound and the
// `head` of every font in it does. The file is opened as a plain read opens it, allowing
// other readers and writers.
bool IsValidTrueTypeFont(base::TStream& Stream);
bool IsValidTrueTypeFont(platform::IFileSystem& Files, const std::string& Path);

// What the check of a file on disk found. InUse: the file could not be read
// because another program holds it without sharing or locks it, which says
// nothing about the font in it; the scan gives such a file no problem code
// of this check.
enum class THeadCheck : std::uint8_t { Valid, Invalid, InUse };
THeadCheck CheckTrueTypeHead(platform::IFileSystem& Files, const std::string& Path);

}  // namespace app
