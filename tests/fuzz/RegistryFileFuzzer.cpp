// libFuzzer target: arbitrary bytes read as a registry file (see
// scripts/fuzz.sh). A file read, written and read again must give the same
// values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tests/fuzz/RegistryRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    if (!fuzzing::RegistryFileSurvivesRoundTrip(Data, Size))
        std::abort();
    return 0;
}
