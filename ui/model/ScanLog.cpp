#include "ui/model/ScanLog.h"

#include "ui/model/AboutText.h"

namespace ui {

namespace {

std::string TwoDigits(int Value)
{
    std::string Text = std::to_string(Value);
    return Text.size() < 2 ? "0" + Text : Text;
}

std::string FourDigits(int Value)
{
    std::string Text = std::to_string(Value);
    return std::string(Text.size() < 4 ? 4 - Text.size() : 0, '0') + Text;
}

// dd-mm-yyyy, at hh:mm:ss
std::string DateTime(const TLocalTime& Time, std::string_view TimeSeparator)
{
    const std::string Separator(TimeSeparator);
    return TwoDigits(Time.Day) + "-" + TwoDigits(Time.Month) + "-" + FourDigits(Time.Year) + ", at " +
           TwoDigits(Time.Hour) + Separator + TwoDigits(Time.Minute) + Separator + TwoDigits(Time.Second);
}

}  // namespace

std::string BannerLine() { return "Velmorant, by Velmorant Software - " + std::string(VendorAddress); }

std::string StartedLine(const TLocalTime& Time, std::string_view TimeSeparator)
{
    return "Started:    " + DateTime(Time, TimeSeparator);
}

std::string CompletedLine(const TLocalTime& Time, std::string_view TimeSeparator)
{
    return "Completed:  " + DateTime(Time, TimeSeparator);
}

std::string ReadMeText()
{
    return "NO WARRANTIES\r\n"
           "Velmorant Software gives this program as it is, without any warranty, express or implied. "
           "Velmorant changes the registry's Fonts key and moves files to the recycle bin: make a backup "
           "of your system before you repair anything. You use it at your own risk.\r\n"
           "\r\n"
           "Tested on 64-bit Windows 7 as Wine 8 presents it; made for 64-bit Windows 7, 8, 8.1, 10 and "
           "11.\r\n"
           "\r\n"
           "HOW TO USE\r\n"
           "Click the first button of the toolbar, \"Velmorant\", to scan the installed fonts. The scan "
           "takes a while, depending on the number of fonts installed. Rows with a problem carry a red "
           "cross; rows with a minor problem carry a question mark. A minor problem normally causes no "
           "trouble, except where several files with the same font name are installed. Select the rows "
           "you want repaired and click \"Repair Items\" (or choose it from the list's shortcut menu).\r\n"
           "\r\n"
           "NOTE\r\n"
           "This release does not check for a missing or damaged Fonts folder shell extension "
           "(fontext.dll). Without it the Fonts folder's menus show only the commands of a plain folder. "
           "To restore it on Windows 95:\r\n"
           "1. Insert the Windows 95 CD-ROM (or find the folder that holds its cabinet files).\r\n"
           "2. Open an MS-DOS prompt and type:\r\n"
           "   extract /a /l C:\\Windows\\System D:\\Win95\\Win95_02.cab fontext.dll\r\n"
           "   (D: being your CD-ROM drive).\r\n"
           "3. Restart the computer.\r\n";
}

}  // namespace ui
