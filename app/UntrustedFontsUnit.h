// The kernel's untrusted font policy: whether Windows blocks fonts that
// programs load from outside the Fonts folder. Read only: nothing here
// changes a policy.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace app {

// The field of bits 48 and 49 of the MitigationOptions value (the thirteenth
// hexadecimal digit as the policy's documentation writes the value):
// 1 blocks, 2 allows, 3 only logs; 0, or no value, leaves it to each
// program, which allows.
enum class TUntrustedFontBlocking : std::uint8_t { NotSet, On, Off, Audit };

// "notSet", "on", "off" or "audit".
std::string_view UntrustedFontBlockingName(TUntrustedFontBlocking Blocking);

// HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session Manager\Kernel,
// value MitigationOptions: a REG_QWORD, or REG_BINARY whose first eight
// bytes are that number in little-endian order. A value of any other type or
// too short to hold the field reads as NotSet.
TUntrustedFontBlocking ReadUntrustedFontBlocking(const platform::TPlatform& Platform);

// The scan's log line for the policy, empty when it neither blocks nor logs.
std::string UntrustedFontBlockingLine(TUntrustedFontBlocking Blocking, const std::string& FontsFolder);

// What a user's own font's row says while the policy blocks.
extern const std::string_view BlockedUserFontNote;

}  // namespace app
