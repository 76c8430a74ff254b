// The scan on our own simulated machine with many registered fonts: the time
// per entry of a scan should not grow with the number of entries.
//   velmorant-bench-scan [--rounds N] [ENTRIES...]   (default 500 20000)
// With --files, the identification of real font files instead, each read as
// the scan reads it (name, format and damage judgement): the median time of
// a pass over all of them, and per file.
//   velmorant-bench-scan --files [--rounds N] FILE...
// With --fonts, the scan's entries stand for links to (or copies of) the
// FILEs in turn, as a machine with real fonts would hold them.
//   velmorant-bench-scan [--rounds N] ENTRIES... --fonts FILE...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/InstalledFontsUnit.h"
#include "base/Stream.h"
#include "tests/support/FontBuilder.h"
#include "tests/support/simulated/SimulatedPlatform.h"

namespace {

using namespace testing_support;

const std::string FontsKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// Registered fonts in the Fonts folder, one in a hundred under a wrong name
// and one in a hundred named twice, as a designer's machine may hold them.
void Plant(platform::TSimulatedMachine& Machine, int Entries, const std::vector<std::string>& Fonts)
{
    // Straight into the folder that stands for the Fonts folder: the
    // simulated machine looks each new name up without regard to case, which
    // would make setting up cost the square of the entries.
    const std::filesystem::path Folder = *Machine.Files.HostPath("C:\\Windows\\Fonts");
    for (int i = 0; i < Entries; ++i) {
        char Number[16];
        std::snprintf(Number, sizeof Number, "%06d", i);
        const std::string Name = std::string("Bench Font ") + Number;
        const std::string File = std::string("bench") + Number + ".ttf";
        if (!Fonts.empty()) {
            const std::filesystem::path Source = Fonts[static_cast<std::size_t>(i) % Fonts.size()];
            std::error_code Failed;
            std::filesystem::create_hard_link(Source, Folder / File, Failed);
            if (Failed)
                std::filesystem::copy_file(Source, Folder / File);
        } else {
            const TBytes Font =
                MinimalFont().Add("name", NameTable({{3, 1, 0x409, 4, std::u16string(Name.begin(), Name.end())}})).Build();
            std::ofstream(Folder / File, std::ios::binary)
                .write(reinterpret_cast<const char*>(Font.data()), static_cast<std::streamsize>(Font.size()));
        }
        Machine.Registry.SetString(FontsKey, i % 100 == 1 ? Name + " Old (TrueType)" : Name + " (TrueType)", File);
        if (i % 100 == 2)
            Machine.Registry.SetString(FontsKey, Name + " Copy (TrueType)", File);
    }
}

double MedianScanSeconds(platform::TSimulatedMachine& Machine, int Rounds, std::size_t& Count)
{
    const platform::TPlatform Services = Machine.Platform();
    app::TNoScanProgress Progress;
    app::TInstalledFonts Fonts(Services, Progress);
    Fonts.Refresh();  // warms the file cache
    std::vector<double> Times;
    for (int Round = 0; Round < Rounds; ++Round) {
        const auto Start = std::chrono::steady_clock::now();
        Fonts.Refresh();
        Times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count());
    }
    Count = Fonts.Count();
    std::sort(Times.begin(), Times.end());
    return Times[Times.size() / 2];
}

double MedianFilesSeconds(const std::vector<std::string>& Files, int Rounds)
{
    std::vector<double> Times;
    // The first pass warms the file cache.
    for (int Round = 0; Round <= Rounds; ++Round) {
        const auto Start = std::chrono::steady_clock::now();
        for (const std::string& File : Files) {
            app::TFontInfo Info;
            try {
                base::TFileStream Stream(File);
                Info.ReadFontFile(Stream, 0x0409);
            } catch (const std::exception&) {
                // A file that cannot be opened costs its attempt.
            }
        }
        if (Round > 0)
            Times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count());
    }
    std::sort(Times.begin(), Times.end());
    return Times[Times.size() / 2];
}

}  // namespace

int main(int Count, char** Arguments)
{
    int Rounds = 5;
    std::vector<int> Sizes;
    bool ReadFiles = false;
    bool PlantFiles = false;
    std::vector<std::string> Files;
    for (int i = 1; i < Count; ++i) {
        const std::string Argument = Arguments[i];
        if (Argument == "--rounds" && i + 1 < Count)
            Rounds = std::max(1, std::atoi(Arguments[++i]));
        else if (Argument == "--files")
            ReadFiles = true;
        else if (Argument == "--fonts")
            PlantFiles = true;
        else if (ReadFiles || PlantFiles)
            Files.push_back(Argument);
        else
            Sizes.push_back(std::max(1, std::atoi(Arguments[i])));
    }
    if (ReadFiles) {
        if (Files.empty())
            return 2;
        const double Seconds = MedianFilesSeconds(Files, Rounds);
        std::printf("%6zu files: %8.1f ms, %6.1f us per file (median of %d)\n", Files.size(), Seconds * 1e3,
                    Seconds * 1e6 / static_cast<double>(Files.size()), Rounds);
        return 0;
    }
    if (Sizes.empty())
        Sizes = {500, 20000};
    std::vector<double> PerEntry;
    for (const int Size : Sizes) {
        platform::TSimulatedMachine Machine;
        Plant(Machine, Size, Files);
        std::size_t Entries = 0;
        const double Seconds = MedianScanSeconds(Machine, Rounds, Entries);
        PerEntry.push_back(Seconds / static_cast<double>(Entries));
        std::printf("%6d fonts, %6zu entries: scan %8.1f ms, %6.2f us per entry (median of %d)\n", Size, Entries,
                    Seconds * 1e3, PerEntry.back() * 1e6, Rounds);
    }
    const double Ratio = PerEntry.back() / PerEntry.front();
    std::printf("time per entry, largest against smallest: %.2f (target at most 1.5): %s\n", Ratio,
                Ratio <= 1.5 ? "PASS" : "MISS");
    return 0;
}
