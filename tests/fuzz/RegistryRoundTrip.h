// What the registry-file fuzzer and its replay check: bytes read as a
// registry file, when they are one, are written and read again to the same
// values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzing {

// False when a file that was read, written and read again gives other
// values, or whose second writing differs from its first. A refusal
// (app::ERegistryFileError) is a legitimate answer.
bool RegistryFileSurvivesRoundTrip(const std::uint8_t* Data, std::size_t Size);

struct TRegistrySeed {
    std::string Name;
    std::vector<std::uint8_t> Bytes;
};

// Backups and exports of every form the parser reads.
std::vector<TRegistrySeed> RegistrySeeds();

}  // namespace fuzzing
