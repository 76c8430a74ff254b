// The fonts of the running session: what open programs see.
#pragma once

#include <string>

namespace platform {

class IFontSession {
public:
    virtual ~IFontSession() = default;

    // AddFontResourceW: the session gets the font file's fonts; true when
    // it took at least one.
    virtual bool AddFont(const std::string& Path) = 0;
    // RemoveFontResourceW: the session lets go of the font file's fonts, so
    // that the file can be moved; true when it held them.
    virtual bool RemoveFont(const std::string& Path) = 0;
    // One WM_FONTCHANGE to every top-level window, giving up on a window that
    // hangs and on all after a timeout of seconds; true when it went out.
    virtual bool BroadcastFontChange() = 0;
};

}  // namespace platform
