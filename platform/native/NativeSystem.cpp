#include "NativePlatform.h"

#include <atomic>
#include <chrono>
#include <system_error>

#include "TextConversion.h"
#include "runtime/CodePage.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

fs::path NewMachineRoot()
{
    // Tests of several processes may run at once: the name carries the time
    // and a counter, and creating the folder tells whether it was taken.
    static std::atomic<unsigned> Counter{0};
    const fs::path Base = fs::temp_directory_path();
    for (;;) {
        const auto Stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        const fs::path Root = Base / ("velmorant-machine-" + std::to_string(Stamp) + "-" + std::to_string(Counter++));
        std::error_code Error;
        if (fs::create_directory(Root, Error))
            return Root;
        if (Error)
            throw fs::filesystem_error("Cannot create a temporary folder", Root, Error);
    }
}

}  // namespace

std::vector<std::optional<std::string>> TNativeSystemInfo::VersionStrings(const std::string& File,
                                                                          const std::vector<std::string>& SubBlocks)
{
    const std::string Folded = UpperCaseAscii(File);
    std::vector<std::optional<std::string>> Values;
    for (const std::string& SubBlock : SubBlocks) {
        const auto Found = VersionResources.find({Folded, SubBlock});
        Values.push_back(Found == VersionResources.end() ? std::nullopt : std::optional(Found->second));
    }
    return Values;
}

int TNativeTextServices::CompareText(std::string_view A, std::string_view B) { return CompareTextAscii(A, B); }

std::string TNativeTextServices::AnsiToUtf8(std::string_view Ansi)
{
    return Utf16ToUtf8(truetype::Windows1252ToUtf16(Ansi));
}

std::string TNativeTextServices::Utf8ToAnsi(std::string_view Text, bool* Lossy)
{
    const std::u16string Units = Utf8ToUtf16(Text);
    std::string Ansi = truetype::Utf16ToWindows1252(Units);
    if (Lossy != nullptr)
        *Lossy = truetype::Windows1252ToUtf16(Ansi) != Units;
    return Ansi;
}

TNativeMachine::TNativeMachine()
    : Root(NewMachineRoot()), Files(Root / "drives"), Shell(Files, Root / "RecycleBin")
{
    Files.CreateFolder("C:\\Windows\\Fonts");
    Registry.CreateKey("\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
}

TNativeMachine::~TNativeMachine()
{
    std::error_code Error;
    fs::remove_all(Root, Error);
}

}  // namespace platform
