// The Windows shell: the Fonts folder's location and the recycle bin.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The window that owns whatever the shell shows; null for none.
using TWindowHandle = void*;

struct TShellDeleteResult {
    // The user cancelled the progress window (or the shell gave up).
    bool Aborted = false;
    // The shell's own return code was 0.
    bool Succeeded = false;
};

class IShell {
public:
    virtual ~IShell() = default;

    // The special folder CSIDL_FONTS, without a trailing backslash; empty text
    // when the shell cannot name it.
    virtual std::string FontsFolder() = 0;
    // The known folder FOLDERID_LocalAppData, without a trailing backslash;
    // empty text when the shell cannot name it.
    virtual std::string LocalAppDataFolder() = 0;
    // Whether the volume that Path lies on has a recycle bin. Where none is,
    // the shell's deletion deletes for good, and still reports success.
    virtual bool HasRecycleBin(const std::string& Path) = 0;
    // Moves the files to the recycle bin in one shell operation, without
    // asking for confirmation.
    virtual TShellDeleteResult DeleteFiles(TWindowHandle Owner, const std::vector<std::string>& Paths) = 0;
};

}  // namespace platform
