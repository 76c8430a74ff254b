// Registry files as the Registry Editor writes and imports them: UTF-16LE
// with its byte-order mark, CR LF line ends, "Windows Registry Editor
// Version 5.00", then [key] lines each followed by its values.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace app {

// A file that is not such a registry file, or asks for what we refuse.
class ERegistryFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TRegistryFileValue {
    // Empty for the key's default value ("@").
    std::string Name;
    // Missing: the value is to be deleted ("Name"=-).
    platform::TRegistryValue Value;
};

struct TRegistryFileKey {
    // From the root key's full name: "HKEY_LOCAL_MACHINE\SOFTWARE\...".
    std::string Path;
    std::vector<TRegistryFileValue> Values;
};

struct TRegistryFile {
    // Lines of their own before the first key, each written after "; "
    // (a line break as a blank, so that each stays one line).
    std::vector<std::string> Comments;
    std::vector<TRegistryFileKey> Keys;
    // A comment line after everything else (none when empty): a file cut
    // short lacks it.
    std::string Closing;
};

// Every value is written so that an import stores exactly its type and
// bytes: REG_SZ as "text" only when its data is text ended by one NUL, a
// REG_DWORD of four bytes as dword:, everything else as hex(N): bytes. A
// value whose name holds a line break, which no line of the Registry
// Editor's can hold, is written as a comment line that it skips and that
// ParseRegistryFile reads: ";undo only: " and the value, with the breaks
// escaped as \r and \n.
std::vector<std::uint8_t> FormatRegistryFile(const TRegistryFile& File);

// The bytes of a file may not exceed this: a backup of two Fonts keys is far
// smaller, and a file that is not one must not cost much memory.
inline constexpr std::size_t RegistryFileLimit = 64u << 20;

// Reads what FormatRegistryFile writes and the Registry Editor exports (hex
// data continued over lines ending in "\"), in one pass: each line, and each
// byte of hex data, is looked at once. Raises ERegistryFileError with the
// line at fault. Keys to be deleted ([-key]) are refused, and so are value
// names the registry would not take: names holding NUL (the system takes
// names as C strings, so it would reach another value) or longer than
// platform::RegistryValueNameLimit. Every type and data size such a file can
// hold, the registry takes.
TRegistryFile ParseRegistryFile(const std::vector<std::uint8_t>& Bytes);

}  // namespace app
