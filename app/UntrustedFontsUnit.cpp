#include "app/UntrustedFontsUnit.h"

#include <memory>

#include "base/Format.h"

namespace app {

namespace {

constexpr std::uint32_t RegQword = 11;
constexpr unsigned FieldShift = 48;
constexpr std::uint64_t FieldMask = 0x3;

}  // namespace

const std::string_view BlockedUserFontNote =
    "Programs that use GDI cannot load this font: Windows blocks untrusted fonts, those outside the Fonts folder. "
    "Install it for all users to use it there.";

std::string_view UntrustedFontBlockingName(TUntrustedFontBlocking Blocking)
{
    switch (Blocking) {
    case TUntrustedFontBlocking::On: return "on";
    case TUntrustedFontBlocking::Off: return "off";
    case TUntrustedFontBlocking::Audit: return "audit";
    default: return "notSet";
    }
}

TUntrustedFontBlocking ReadUntrustedFontBlocking(const platform::TPlatform& Platform)
{
    const std::unique_ptr<platform::IRegistryKey> Key = Platform.Registry.OpenLocalMachineKey(
        "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Kernel", platform::TRegistryAccess::Read);
    if (!Key)
        return TUntrustedFontBlocking::NotSet;
    const platform::TRegistryValue Value = Key->QueryValue("MitigationOptions");
    // Byte 6 holds bits 48 to 55; later Windows versions make the binary
    // value longer, the first eight bytes keeping their meaning.
    if (Value.State != platform::TRegistryValueState::Present ||
        (Value.Type != RegQword && Value.Type != platform::RegBinary) || Value.Data.size() <= FieldShift / 8)
        return TUntrustedFontBlocking::NotSet;
    std::uint64_t Options = 0;
    for (std::size_t i = 0; i < Value.Data.size() && i < 8; ++i)
        Options |= std::uint64_t{Value.Data[i]} << (8 * i);
    switch ((Options >> FieldShift) & FieldMask) {
    case 1: return TUntrustedFontBlocking::On;
    case 2: return TUntrustedFontBlocking::Off;
    case 3: return TUntrustedFontBlocking::Audit;
    default: return TUntrustedFontBlocking::NotSet;
    }
}

std::string UntrustedFontBlockingLine(TUntrustedFontBlocking Blocking, const std::string& FontsFolder)
{
    if (Blocking == TUntrustedFontBlocking::On)
        return base::FormatText("Windows blocks untrusted fonts: programs that use GDI cannot load fonts from outside "
                                "%s, such as the fonts installed for you alone. Install them for all users to use "
                                "them there.",
                                {FontsFolder});
    if (Blocking == TUntrustedFontBlocking::Audit)
        return base::FormatText("Windows logs the untrusted fonts that programs load from outside %s, and blocks none.",
                                {FontsFolder});
    return {};
}

}  // namespace app
