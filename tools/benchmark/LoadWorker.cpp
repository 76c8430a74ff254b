// velmorant-bench-load: the library's load as the scan does it, outlines off.
#include <exception>

#include "tools/benchmark/BenchWorker.h"
#include "truetype/sfnt/TrueTypeFont.h"

int main(int ArgCount, char** Args)
{
    return benchmark_worker::RunWorker(ArgCount, Args, [](const std::string& FileName) {
        truetype::TTrueTypeFont Font(false);
        try {
            Font.LoadFromFile(FileName);
        } catch (const std::exception&) {
            return false;
        }
        return Font.Loaded;
    });
}
