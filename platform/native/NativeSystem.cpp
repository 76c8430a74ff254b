#include "NativePlatform.h"

#include <array>
#include <atomic>
#include <chrono>
#include <system_error>

#include "TextConversion.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

// Windows-1252 at 0x80..0x9F; the other bytes are their own code points
// (0 where the code page leaves a byte undefined).
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E,
    0x0178};

char16_t AnsiToUnit(unsigned char Byte)
{
    if (Byte >= 0x80 && Byte <= 0x9F)
        return Cp1252High[Byte - 0x80] != 0 ? Cp1252High[Byte - 0x80] : Byte;
    return Byte;
}

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
    std::string Folded(File);
    for (char& C : Folded)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 'a' + 'A');
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
    std::u16string Units;
    for (const char C : Ansi)
        Units += AnsiToUnit(static_cast<unsigned char>(C));
    return Utf16ToUtf8(Units);
}

std::string TNativeTextServices::Utf8ToAnsi(std::string_view Text, bool* Lossy)
{
    std::string Ansi;
    bool Lost = false;
    for (const char16_t Unit : Utf8ToUtf16(Text)) {
        char Byte = '?';
        bool Found = false;
        for (unsigned Candidate = 0; Candidate < 256 && !Found; ++Candidate)
            if (AnsiToUnit(static_cast<unsigned char>(Candidate)) == Unit)
                Byte = static_cast<char>(Candidate), Found = true;
        Lost |= !Found;
        Ansi += Byte;
    }
    if (Lossy != nullptr)
        *Lossy = Lost;
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
