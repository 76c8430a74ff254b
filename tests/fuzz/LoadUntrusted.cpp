#include "tests/fuzz/LoadUntrusted.h"

#include <exception>

#include "truetype/sfnt/TrueTypeFont.h"

namespace fuzzing {

void LoadUntrustedFont(const std::uint8_t* Data, std::size_t Size)
{
    for (const bool LoadOutlines : {false, true}) {
        base::TSpanStream Stream(Data, Size);
        truetype::TTrueTypeFont Font(LoadOutlines);
        try {
            Font.LoadFromStream(Stream);
        } catch (const std::exception&) {
        }
    }
}

}  // namespace fuzzing
