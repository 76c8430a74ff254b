#include "tests/app/AppTestSupport.h"

#include <algorithm>

using namespace testing_support;

namespace app_testing {

TBytes NamedFont(const std::u16string& FullName, std::vector<TNameRecord> More)
{
    if (!FullName.empty())
        More.insert(More.begin(), TNameRecord{3, 1, 0x409, 4, FullName});
    return MinimalFont().Add("name", NameTable(More)).Build();
}

TBytes FontWithoutMagic()
{
    return TFontBuilder()
        .Add("cmap", CmapTable())
        .Add("head", HeadTable({.Magic = 0x12345678}))
        .Add("hhea", HheaTable(1))
        .Add("hmtx", HmtxTable({{500, 0}}))
        .Add("maxp", MaxpTable(1))
        .Add("name", NameTable({{3, 1, 0x409, 4, u"No Magic"}}))
        .Build();
}

TMachine::TMachine()
{
    // A healthy Fonts folder: the system attribute and a correct Desktop.ini.
    Files.SetAttributes(FontsFolder, platform::FileAttrSystem);
    Files.PutFile(InFonts("Desktop.ini"), app::DesktopIniContent);
    Files.SetAttributes(InFonts("Desktop.ini"),
                        platform::FileAttrArchive | platform::FileAttrHidden | platform::FileAttrSystem);
}

void TMachine::PutFont(const std::string& Path, const std::u16string& FullName)
{
    Files.PutFile(Path.find('\\') == std::string::npos ? InFonts(Path) : Path, NamedFont(FullName));
}

std::vector<std::string> TMachine::Snapshot() const
{
    std::vector<std::string> Lines;
    for (const std::string& Key : {FontsKey, UserFontsKey})
        for (const std::string& Name : Registry.ValueNames(Key)) {
            const auto Value = Registry.Value(Key, Name);
            std::string Line = Key + "|" + Name + "|" + std::to_string(Value->Type) + "|";
            for (const std::uint8_t Byte : Value->Data)
                Line += "0123456789abcdef"[Byte >> 4], Line += "0123456789abcdef"[Byte & 15];
            Lines.push_back(Line);
        }
    std::sort(Lines.begin(), Lines.end());
    return Lines;
}

std::string Describe(const app::TFontInfo& Entry)
{
    return std::to_string(Entry.Problem) + "|" + Entry.FontName + "|" + Entry.RegistryName + "|" + Entry.FileName;
}

std::vector<std::string> Scan(TMachine& Machine)
{
    app::TNoScanProgress Progress;
    app::TInstalledFonts Fonts(Machine.Services, Progress);
    Fonts.Refresh();
    std::vector<std::string> Lines;
    for (std::size_t i = 0; i < Fonts.Count(); ++i)
        Lines.push_back(Describe(Fonts.Items(i)));
    return Lines;
}

}  // namespace app_testing
