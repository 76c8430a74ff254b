// libFuzzer target: arbitrary bytes loaded as a font (see scripts/fuzz.sh).
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/LoadUntrusted.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    fuzzing::LoadUntrustedFont(Data, Size);
    return 0;
}
