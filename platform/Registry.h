// The registry's machine and current-user hives, as far as the application
// needs them.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A refused registry change (a write the system did not accept).
class ERegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TRegistryAccess : std::uint8_t {
    Read,  // KEY_READ, 0x20019: what a scan needs
    Full,  // KEY_ALL_ACCESS, 0xF003F: what a repair needs
};

enum class TRegistryRoot : std::uint8_t {
    LocalMachine,  // HKEY_LOCAL_MACHINE
    CurrentUser,   // HKEY_CURRENT_USER
};

// The Windows value types the application tells apart.
inline constexpr std::uint32_t RegNone = 0;
inline constexpr std::uint32_t RegSz = 1;
inline constexpr std::uint32_t RegExpandSz = 2;
inline constexpr std::uint32_t RegBinary = 3;
inline constexpr std::uint32_t RegDword = 4;
inline constexpr std::uint32_t RegMultiSz = 7;

enum class TRegistryValueState : std::uint8_t {
    Present,
    Missing,
    Refused,  // the value exists but the registry would not return its data
};

struct TRegistryValue {
    TRegistryValueState State = TRegistryValueState::Missing;
    std::uint32_t Type = RegNone;
    // The data exactly as stored: string types hold UTF-16LE code units with
    // whatever terminating NUL the writer stored.
    std::vector<std::uint8_t> Data;
};

// An open key. Value names are UTF-8 text and, as in Windows, matched
// without regard to letter case; the key is closed when this is destroyed.
class IRegistryKey {
public:
    virtual ~IRegistryKey() = default;

    // Every value name, in the order the registry enumerates them.
    virtual std::vector<std::string> ValueNames() = 0;
    virtual TRegistryValue QueryValue(const std::string& Name) = 0;
    // True when the value can be queried.
    virtual bool ValueExists(const std::string& Name) = 0;
    // Stores the value exactly: its type and its bytes. Raises
    // ERegistryError when the registry refuses.
    virtual void WriteValue(const std::string& Name, std::uint32_t Type, const std::vector<std::uint8_t>& Data) = 0;
    // Stores Data as REG_SZ, its terminating NUL included in the stored
    // size. Raises ERegistryError when the registry refuses.
    void WriteString(const std::string& Name, const std::string& Data);
    // Answers whether a value was deleted (false: there was none). Raises
    // ERegistryError when the registry refuses.
    virtual bool DeleteValue(const std::string& Name) = 0;
};

// The longest value name the registry takes, in UTF-16 code units.
inline constexpr std::size_t RegistryValueNameLimit = 16383;

// A key path as the registry API wants it: a leading backslash, which means
// "from the root", taken off.
std::string_view KeyPathBelowRoot(std::string_view Path);

// The bytes to hand RegSetValueExW for Data: Data, then one code unit that is
// not NUL. For the string types the API looks at the code unit after the
// data it is given, and when the data does not end in NUL but that unit is
// NUL it stores one unit more than it was told; the unit put there keeps the
// stored value exactly Data (the size passed stays Data's).
std::vector<std::uint8_t> RegistryWriteBuffer(const std::vector<std::uint8_t>& Data);

// String data as the registry stores it: UTF-16LE code units ended by NUL.
std::vector<std::uint8_t> RegistryStringData(const std::string& Text);
// The text of string data up to its first NUL; an odd last byte is no code
// unit.
std::string RegistryStringText(const std::vector<std::uint8_t>& Data);

class IRegistry {
public:
    virtual ~IRegistry() = default;

    // Opens an existing key below the root; a leading backslash counts from
    // the root. Never creates the key. Null when the key does not exist or the
    // access is not granted.
    virtual std::unique_ptr<IRegistryKey> OpenKey(TRegistryRoot Root, const std::string& Path,
                                                  TRegistryAccess Access) = 0;
    // Opens the key with full access, creating it (and the keys above it)
    // when it is missing; null when that is not granted.
    virtual std::unique_ptr<IRegistryKey> CreateKey(TRegistryRoot Root, const std::string& Path) = 0;

    std::unique_ptr<IRegistryKey> OpenLocalMachineKey(const std::string& Path, TRegistryAccess Access)
    {
        return OpenKey(TRegistryRoot::LocalMachine, Path, Access);
    }
};

}  // namespace platform
