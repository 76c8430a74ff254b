#include <windows.h>

#include "base/Format.h"
#include "base/TextConversion.h"
#include "base/Win32Handle.h"
#include "platform/win32/Win32Platform.h"

namespace platform {

namespace {

// The API takes names as C strings: a name holding NUL would reach the value
// named by its first part.
bool HoldsNul(const std::string& Name) { return Name.find('\0') != std::string::npos; }

class TWin32RegistryKey final : public IRegistryKey {
public:
    explicit TWin32RegistryKey(HKEY Key) : FKey(Key) {}

    std::vector<std::string> ValueNames() override
    {
        std::vector<std::string> Names;
        DWORD MaxName = 0;
        if (RegQueryInfoKeyW(FKey.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &MaxName,
                             nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return Names;
        std::wstring Buffer(MaxName + 1, L'\0');
        for (DWORD Index = 0;; ++Index) {
            DWORD Length = static_cast<DWORD>(Buffer.size());
            LONG Status = RegEnumValueW(FKey.Get(), Index, Buffer.data(), &Length, nullptr, nullptr, nullptr, nullptr);
            if (Status == ERROR_MORE_DATA) {
                // A longer name arrived since the count was taken; value
                // names are at most 16383 characters.
                Buffer.assign(16384, L'\0');
                Length = static_cast<DWORD>(Buffer.size());
                Status = RegEnumValueW(FKey.Get(), Index, Buffer.data(), &Length, nullptr, nullptr, nullptr, nullptr);
            }
            if (Status != ERROR_SUCCESS)
                break;
            Names.push_back(base::WideToUtf8(std::wstring_view(Buffer.data(), Length)));
        }
        return Names;
    }

    TRegistryValue QueryValue(const std::string& Name) override
    {
        TRegistryValue Value;
        if (HoldsNul(Name))
            return Value;
        const std::wstring WideName = base::Utf8ToWide(Name);
        DWORD Type = 0;
        DWORD Size = 0;
        LONG Status = RegQueryValueExW(FKey.Get(), WideName.c_str(), nullptr, &Type, nullptr, &Size);
        if (Status == ERROR_FILE_NOT_FOUND)
            return Value;
        // The data may grow between the two calls; a few tries settle it.
        for (int Try = 0; Try < 4 && (Status == ERROR_SUCCESS || Status == ERROR_MORE_DATA); ++Try) {
            Value.Data.assign(Size, 0);
            Status = RegQueryValueExW(FKey.Get(), WideName.c_str(), nullptr, &Type, Value.Data.data(), &Size);
            if (Status == ERROR_SUCCESS) {
                Value.State = TRegistryValueState::Present;
                Value.Type = Type;
                Value.Data.resize(Size);
                return Value;
            }
        }
        Value.State = Status == ERROR_FILE_NOT_FOUND ? TRegistryValueState::Missing : TRegistryValueState::Refused;
        Value.Data.clear();
        return Value;
    }

    bool ValueExists(const std::string& Name) override
    {
        return !HoldsNul(Name) && RegQueryValueExW(FKey.Get(), base::Utf8ToWide(Name).c_str(), nullptr, nullptr,
                                                   nullptr, nullptr) == ERROR_SUCCESS;
    }

    void WriteValue(const std::string& Name, std::uint32_t Type, const std::vector<std::uint8_t>& Data) override
    {
        if (HoldsNul(Name))
            throw ERegistryError(base::FormatText("Failed to set data for '%s'", {Name}));
        // Exactly Data's bytes: string data without its NUL, or of an odd
        // size, is stored as it is (see RegistryWriteBuffer).
        const std::vector<std::uint8_t> Buffer = RegistryWriteBuffer(Data);
        if (RegSetValueExW(FKey.Get(), base::Utf8ToWide(Name).c_str(), 0, Type, Buffer.data(),
                           static_cast<DWORD>(Data.size())) != ERROR_SUCCESS)
            throw ERegistryError(base::FormatText("Failed to set data for '%s'", {Name}));
    }

    bool DeleteValue(const std::string& Name) override
    {
        if (HoldsNul(Name))
            throw ERegistryError(base::FormatText("Failed to delete '%s'", {Name}));
        const LSTATUS Status = RegDeleteValueW(FKey.Get(), base::Utf8ToWide(Name).c_str());
        if (Status == ERROR_SUCCESS)
            return true;
        if (Status == ERROR_FILE_NOT_FOUND)
            return false;
        throw ERegistryError(base::FormatText("Failed to delete '%s'", {Name}));
    }

private:
    base::TRegistryKeyHandle FKey;
};

}  // namespace

namespace {

HKEY RootKey(TRegistryRoot Root) { return Root == TRegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

std::wstring RelativePath(const std::string& Path) { return base::Utf8ToWide(KeyPathBelowRoot(Path)); }

}  // namespace

std::unique_ptr<IRegistryKey> TWin32Registry::OpenKey(TRegistryRoot Root, const std::string& Path,
                                                      TRegistryAccess Access)
{
    const REGSAM Mask = Access == TRegistryAccess::Full ? KEY_ALL_ACCESS : KEY_READ;
    HKEY Key = nullptr;
    if (RegOpenKeyExW(RootKey(Root), RelativePath(Path).c_str(), 0, Mask, &Key) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<TWin32RegistryKey>(Key);
}

std::unique_ptr<IRegistryKey> TWin32Registry::CreateKey(TRegistryRoot Root, const std::string& Path)
{
    HKEY Key = nullptr;
    if (RegCreateKeyExW(RootKey(Root), RelativePath(Path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &Key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<TWin32RegistryKey>(Key);
}

}  // namespace platform
