// velmorant-fuzz-seeds FONT_DIR REGISTRY_DIR: writes the seed fonts into
// FONT_DIR and the seed registry files into REGISTRY_DIR, one file each.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/fuzz/RegistryRoundTrip.h"
#include "tests/fuzz/SeedFonts.h"

namespace {

template <typename TSeeds>
bool WriteSeeds(const std::filesystem::path& Folder, const TSeeds& Seeds)
{
    std::filesystem::create_directories(Folder);
    for (const auto& Seed : Seeds) {
        std::ofstream File(Folder / Seed.Name, std::ios::binary | std::ios::trunc);
        File.write(reinterpret_cast<const char*>(Seed.Bytes.data()), static_cast<std::streamsize>(Seed.Bytes.size()));
        if (!File) {
            std::fprintf(stderr, "cannot write %s\n", (Folder / Seed.Name).string().c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int ArgCount, char** Args)
{
    if (ArgCount != 3) {
        std::fprintf(stderr, "usage: %s FONT_DIR REGISTRY_DIR\n", Args[0]);
        return 2;
    }
    return WriteSeeds(Args[1], fuzzing::SeedFonts()) && WriteSeeds(Args[2], fuzzing::RegistrySeeds()) ? 0 : 1;
}
