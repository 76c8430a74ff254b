#include "tests/support/TempFolder.h"

#include <atomic>
#include <chrono>
#include <string>
#include <system_error>

namespace testing_support {

namespace fs = std::filesystem;

TTempFolder::TTempFolder(std::string_view Prefix)
{
    static std::atomic<unsigned> Counter{0};
    const fs::path Base = fs::temp_directory_path();
    for (;;) {
        const auto Stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        FPath = Base / (std::string(Prefix) + "-" + std::to_string(Stamp) + "-" + std::to_string(Counter++));
        std::error_code Error;
        if (fs::create_directory(FPath, Error))
            return;
        if (Error)
            throw fs::filesystem_error("Cannot create a temporary folder", FPath, Error);
    }
}

TTempFolder::~TTempFolder()
{
    std::error_code Error;
    fs::remove_all(FPath, Error);
}

}  // namespace testing_support
