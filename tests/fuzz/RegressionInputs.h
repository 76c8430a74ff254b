// The inputs under tests/fuzz/regressions, compiled into the replay test so
// that every build (native, sanitizers, MinGW under Wine) replays them
// without finding files at run time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fuzzing {

struct TRegressionInput {
    std::string Name;
    std::vector<std::uint8_t> Bytes;
};

const std::vector<TRegressionInput>& RegressionInputs();

}  // namespace fuzzing
