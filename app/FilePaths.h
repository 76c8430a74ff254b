// Windows path pieces. The delimiters are the backslash and the drive colon
// only, as the registry's and the shell's paths use them.
#pragma once

#include <string>
#include <string_view>

namespace app {

// The folder part with its trailing delimiter; empty when there is none.
std::string ExtractFilePath(std::string_view Path);
std::string ExtractFileName(std::string_view Path);
// From the last dot after the last delimiter, the dot included.
std::string ExtractFileExt(std::string_view Path);

// A path that names one place whatever the current folder and drive: a
// drive letter, a colon and a slash, or a UNC path ("\\server\share\...").
bool IsAbsolutePath(std::string_view Path);
// Path (a registry value's data) taken from Folder: itself when absolute,
// else joined to Folder. A drive-relative or root-relative path ("C:x.ttf",
// "\x.ttf") would depend on the current folder of its drive; it loses its
// drive and leading slashes and is taken from Folder too.
std::string ResolveAgainst(std::string_view Path, std::string_view Folder);

// A path that reaches a device rather than a file: the device namespaces
// ("\\.\", "\??\", and "\\?\" but for "\\?\X:\" and "\\?\UNC\"), and any
// component that Windows takes for a DOS device (CON, PRN, AUX, NUL, COM0 to
// COM9, LPT0 to LPT9, CONIN$, CONOUT$, in any letter case, with any
// extension, trailing spaces or a colon). Such a path is never opened.
bool IsDevicePath(std::string_view Path);

// Whether Path lies in Folder or below it, without regard to ASCII case;
// both are final paths (no links, no "..").
bool IsInsideFolder(std::string_view Path, std::string_view Folder);

}  // namespace app
