// A folder of its own for a test, removed with everything in it.
#pragma once

#include <filesystem>
#include <string_view>

namespace testing_support {

class TTempFolder {
public:
    // Tests of several processes and builds run at once: the name is made
    // unique, and creating the folder tells whether it was taken.
    explicit TTempFolder(std::string_view Prefix = "velmorant-test");
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return FPath; }

private:
    std::filesystem::path FPath;
};

}  // namespace testing_support
