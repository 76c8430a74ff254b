// velmorant-fuzz-seeds DIR: writes the seed fonts into DIR, one file each.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/fuzz/SeedFonts.h"

int main(int ArgCount, char** Args)
{
    if (ArgCount != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", Args[0]);
        return 2;
    }
    const std::filesystem::path Folder = Args[1];
    std::filesystem::create_directories(Folder);
    for (const fuzzing::TSeedFont& Seed : fuzzing::SeedFonts()) {
        std::ofstream File(Folder / Seed.Name, std::ios::binary | std::ios::trunc);
        File.write(reinterpret_cast<const char*>(Seed.Bytes.data()), static_cast<std::streamsize>(Seed.Bytes.size()));
        if (!File) {
            std::fprintf(stderr, "cannot write %s\n", (Folder / Seed.Name).string().c_str());
            return 1;
        }
    }
    return 0;
}
