// The fuzzer's seed corpus: tiny fonts built from the test builders, so that
// no binary seed is kept in the repository.
#pragma once

#include <string>
#include <vector>

#include "tests/support/FontBuilder.h"

namespace fuzzing {

struct TSeedFont {
    // What the seed is meant to reach; a seed that no longer gets past the
    // first checks is worth little to the fuzzer, and a test says so.
    // Undecided: cut files, whose fate depends on which table parsers exist.
    enum TExpect { LoadsWithoutOutlines, LoadsWithOutlines, Refused, Undecided };

    std::string Name;
    testing_support::TBytes Bytes;
    TExpect Expect;
};

std::vector<TSeedFont> SeedFonts();

}  // namespace fuzzing
