// velmorant-bench-load: the library's load as the scan does it, outlines off;
// with VELMORANT_BENCH_OUTLINES=1 in the environment, outlines on (every
// glyph decoded, every composite linked and resolved).
#include <cstdlib>
#include <exception>
#include <string_view>

#include "tools/benchmark/BenchWorker.h"
#include "truetype/font/TrueTypeFont.h"

int main(int ArgCount, char** Args)
{
    const char* Mode = std::getenv("VELMORANT_BENCH_OUTLINES");
    const bool Outlines = Mode != nullptr && std::string_view(Mode) == "1";
    return benchmark_worker::RunWorker(ArgCount, Args, [Outlines](const std::string& FileName) {
        truetype::TTrueTypeFont Font(Outlines);
        try {
            Font.LoadFromFile(FileName);
        } catch (const std::exception&) {
            return false;
        }
        return Font.Loaded;
    });
}
