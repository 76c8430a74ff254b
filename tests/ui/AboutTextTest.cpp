// The About window's lines, the scan's log lines and the header arrow's
// place, without a window.
#include <gtest/gtest.h>

#include "tests/support/simulated/SimulatedPlatform.h"
#include "ui/model/AboutText.h"
#include "ui/model/ScanLog.h"
#include "ui/model/SortArrow.h"

namespace {

using platform::TOsVersion;

TEST(AboutTextTest, OperatingSystemLine)
{
    EXPECT_EQ(ui::OperatingSystemLine({platform::PlatformWin32NT, 5, 1, 2600, "Service Pack 3"}),
              "Microsoft Windows NT 5.01 (build 2600Service Pack 3)");
    EXPECT_EQ(ui::OperatingSystemLine({platform::PlatformWin32NT, 10, 0, 22631, ""}),
              "Microsoft Windows NT 10.00 (build 22631)");
    EXPECT_EQ(ui::OperatingSystemLine({platform::PlatformWin32Windows, 4, 90, 0x045A0BB8, " A "}),
              "Microsoft Windows 98 4.90 (build 3000 A )");
    EXPECT_EQ(ui::OperatingSystemLine({platform::PlatformWin32Windows, 4, 0, 950, ""}),
              "Microsoft Windows 95 4.00 (build 950)");
    EXPECT_EQ(ui::OperatingSystemLine({platform::PlatformWin32Windows, 4, 10, 1998, ""}),
              "Microsoft Windows 98 4.10 (build 1998)");
    EXPECT_EQ(ui::OperatingSystemLine({platform::PlatformWin32s, 3, 11, 0, ""}),
              "Microsoft Windows 3.11 3.11 (build 0)");
    EXPECT_EQ(ui::OperatingSystemLine({7, 6, 2, 9200, ""}), "Microsoft Windows ?? 6.02 (build 9200)");
}

TEST(AboutTextTest, VersionLinesFromResourceAndWithoutOne)
{
    platform::TSimulatedMachine Machine;
    const std::string Exe = "C:\\Program Files\\Velmorant\\velmorant.exe";
    const std::string Block = "StringFileInfo\\040904E4\\";
    auto& Resources = Machine.System.VersionResources;
    Resources[{"C:\\PROGRAM FILES\\VELMORANT\\VELMORANT.EXE", Block + "ProductName"}] = "Velmorant";
    Resources[{"C:\\PROGRAM FILES\\VELMORANT\\VELMORANT.EXE", Block + "CompanyName"}] = "Velmorant Software";
    Resources[{"C:\\PROGRAM FILES\\VELMORANT\\VELMORANT.EXE", Block + "ProductVersion"}] = "1.0";
    Resources[{"C:\\PROGRAM FILES\\VELMORANT\\VELMORANT.EXE", Block + "FileVersion"}] = "1.0.0.7";
    Resources[{"C:\\PROGRAM FILES\\VELMORANT\\VELMORANT.EXE", Block + "LegalCopyright"}] = "Copyright 2026";
    Resources[{"C:\\PROGRAM FILES\\VELMORANT\\VELMORANT.EXE", Block + "Comments"}] = "Font repair";
    const ui::TFileVersionInfo Info = ui::LoadVersionInfo(Machine.System, Exe);
    EXPECT_EQ(Info.ProductName, "Velmorant");
    EXPECT_EQ(Info.Comments, "Font repair");
    EXPECT_EQ(ui::VersionLine(Info), "Version 1.0 (build 1.0.0.7)");
    EXPECT_EQ(ui::CopyrightLine(Info), "Copyright 2026 Velmorant Software");
    EXPECT_EQ(ui::AboutCaption(Info), "About Velmorant");

    const ui::TFileVersionInfo None = ui::LoadVersionInfo(Machine.System, "C:\\other.exe");
    EXPECT_EQ(None.ProductName, "");
    EXPECT_EQ(ui::VersionLine(None), "Version  (build )");
    EXPECT_EQ(ui::AboutCaption(None), "About ");
}

TEST(AboutTextTest, MemoryLineGroupsThousands)
{
    EXPECT_EQ(ui::MemoryLine(512ull << 20, ","), "524,288 KB");
    // Past 4 GB: the 64-bit figure.
    EXPECT_EQ(ui::MemoryLine(16ull << 30, "."), "16.777.216 KB");
    EXPECT_EQ(ui::MemoryLine(999 * 1024, ","), "999 KB");
    EXPECT_EQ(ui::MemoryLine(1000 * 1024 + 600, "\xC2\xA0"), "1\xC2\xA0" "001 KB");
    EXPECT_EQ(ui::MemoryLine(0, ","), "0 KB");
}

TEST(ScanLogTest, DatedLinesLineUp)
{
    const ui::TLocalTime Time{2026, 3, 7, 9, 5, 2};
    EXPECT_EQ(ui::StartedLine(Time, ":"), "Started:    07-03-2026, at 09:05:02");
    EXPECT_EQ(ui::CompletedLine({2026, 12, 31, 23, 59, 59}, "."), "Completed:  31-12-2026, at 23.59.59");
    EXPECT_EQ(ui::StartedLine(Time, ":").find("07"), ui::CompletedLine(Time, ":").find("07"));
    const std::string ReadMe = ui::ReadMeText();
    for (const char* Part : {"NO WARRANTIES", "Tested on", "HOW TO USE", "fontext.dll", "Repair Items"})
        EXPECT_NE(ReadMe.find(Part), std::string::npos) << Part;
}

TEST(SortArrowTest, PlaceAndNarrowColumns)
{
    const std::vector<int> Widths = {160, 200, 240, 160};
    auto Place = ui::ArrowPlace(Widths, 3, 9, 9, 24);
    ASSERT_TRUE(Place);
    EXPECT_EQ(Place->X, 760 - 9 - 5);
    EXPECT_EQ(Place->Y, 7);
    Place = ui::ArrowPlace(Widths, 0, 9, 9, 20);
    ASSERT_TRUE(Place);
    EXPECT_EQ(Place->X, 146);
    EXPECT_EQ(Place->Y, 5);  // 11 / 2 truncates
    // Header lower than the arrow: truncation toward zero.
    EXPECT_EQ(ui::ArrowPlace(Widths, 0, 9, 9, 6)->Y, -1);

    // 17 pixels or fewer hold no 9-pixel arrow; 18 hold one, 5 pixels in.
    EXPECT_FALSE(ui::ArrowPlace({100, 17}, 1, 9, 9, 20));
    EXPECT_FALSE(ui::ArrowPlace({100, 0}, 1, 9, 9, 20));
    Place = ui::ArrowPlace({100, 18}, 1, 9, 9, 20);
    ASSERT_TRUE(Place);
    EXPECT_EQ(Place->X, 118 - 9 - 5);

    EXPECT_FALSE(ui::ArrowPlace(Widths, -1, 9, 9, 20));
    EXPECT_FALSE(ui::ArrowPlace(Widths, 4, 9, 9, 20));

    // Magnified at 144 DPI: 18 pixels, 10 in from the edge, 16 to spare.
    EXPECT_EQ(ui::ArrowMagnification(96), 1);
    EXPECT_EQ(ui::ArrowMagnification(120), 1);
    EXPECT_EQ(ui::ArrowMagnification(144), 2);
    EXPECT_EQ(ui::ArrowMagnification(288), 3);
    EXPECT_FALSE(ui::ArrowPlace({100, 34}, 1, 18, 18, 30, 2));
    Place = ui::ArrowPlace({100, 35}, 1, 18, 18, 30, 2);
    ASSERT_TRUE(Place);
    EXPECT_EQ(Place->X, 135 - 18 - 10);
    EXPECT_EQ(Place->Y, 6);
}

}  // namespace
