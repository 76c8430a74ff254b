// Installing a font of the user's own for all users: the file copied into
// the Fonts folder and registered in the machine's Fonts key, the user's
// value deleted and the user's file moved to the recycle bin.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/FontRepairUnit.h"
#include "app/InstalledFontsUnit.h"
#include "platform/Platform.h"

namespace app {

extern const std::string_view PromoteAccessDeniedMessage;
extern const std::string_view NotPromotableMessage;
extern const std::string_view PromoteNameTakenMessage;
extern const std::string_view PromoteChangedSinceScanMessage;
extern const std::string_view FileNotCopiedMessage;
extern const std::string_view PromoteFileNotMovedMessage;

// The most names a copy tries in the Fonts folder: the file's own, then
// "name_0.ttf" to "name_999.ttf".
inline constexpr int FreeNameLimit = 1001;

// The name Windows' installer gives the copy of File in Folder: File's own
// name when it is free, else its stem with "_0", "_1" ... before the
// extension. The candidate's number, from -1 for the file's own name.
std::string FontsFolderCandidate(const std::string& Folder, const std::string& File, int Number);

class TFontPromotion {
public:
    // Owner: the window that owns the shell's recycle progress, or none.
    TFontPromotion(const platform::TPlatform& Platform, TInstalledFonts& Fonts, platform::TWindowHandle Owner);

    // A healthy font of the user's own: the only kind installed for all users.
    static bool CanPromote(const TFontInfo& Entry);

    // Installs the selected entries for all users, from the last to the
    // first, after one backup covering both Fonts keys. Needs administrator
    // rights: without them nothing changes and every entry is AccessDenied.
    // Before an entry's change the run checks that it is still as the scan
    // saw it, that the machine's key has no value of its name, that the
    // backup can hold both values and that its file can go to the recycle
    // bin; then it copies the file under a free name, writes the machine's
    // value (the bare file name), lets the session go of the user's file,
    // moves it to the recycle bin and deletes the user's value. A file the
    // shell does not move keeps its value (FileNotMoved): the font is then
    // installed for all users and still for the user. A promoted entry
    // stays in the inventory as the machine's (TRowAction::Refill). The
    // copies join the session and running programs are told the fonts
    // changed.
    TRepairResult PromoteSelectedItems(const std::vector<TFontInfo*>& Selected);
    // What PromoteSelectedItems would do, with nothing changed.
    TRepairResult PreviewSelectedItems(const std::vector<TFontInfo*>& Selected);

private:
    TRepairResult Work(TChangeRun& Run, const std::vector<TFontInfo*>& Selected);
    TRepairOutcome PromoteItem(TChangeRun& Run, TFontInfo& Entry, TEntryRepair& Repair);

    const platform::TPlatform& FPlatform;
    TInstalledFonts& FFonts;
    platform::TWindowHandle FOwner;
};

}  // namespace app
