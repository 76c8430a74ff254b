// The one thing the fuzzer and its regression replay do: load arbitrary bytes
// as a font, without and with outlines.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzzing {

// Any std::exception is a legitimate refusal and is swallowed; everything
// else (a crash, a sanitizer report, a hang, runaway memory) is a finding.
void LoadUntrustedFont(const std::uint8_t* Data, std::size_t Size);

}  // namespace fuzzing
