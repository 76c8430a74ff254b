#include "tests/support/simulated/SimulatedPlatform.h"


#include "base/AsciiText.h"

namespace platform {

namespace fs = std::filesystem;

std::vector<std::optional<std::string>> TSimulatedSystemInfo::VersionStrings(const std::string& File,
                                                                          const std::vector<std::string>& SubBlocks)
{
    const std::string Folded = base::UpperCaseAscii(File);
    std::vector<std::optional<std::string>> Values;
    for (const std::string& SubBlock : SubBlocks) {
        const auto Found = VersionResources.find({Folded, SubBlock});
        Values.push_back(Found == VersionResources.end() ? std::nullopt : std::optional(Found->second));
    }
    return Values;
}

int TSimulatedTextServices::CompareText(std::string_view A, std::string_view B) { return base::CompareTextAscii(A, B); }

TSimulatedMachine::TSimulatedMachine()
    : Files(Root / "drives"), Shell(Files, Root / "RecycleBin")
{
    Files.CreateFolder("C:\\Windows\\Fonts");
    Registry.CreateKey("\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
    Files.CreateFolder(Shell.LocalAppDataFolder());
}

}  // namespace platform
