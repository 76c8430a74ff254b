// The repair of the entries selected in the font list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/InstalledFontsUnit.h"
#include "platform/Platform.h"

namespace app {

enum class TRepairOutcome : std::uint8_t {
    Repaired,
    // The value name the entry needs belongs to another font.
    NameTaken,
    // A registry value needs the font's name, and the file gave none.
    NoFontName,
    // The Fonts key cannot be opened with full access.
    AccessDenied,
    // The current user's Fonts key can neither be opened nor created.
    UserKeyUnavailable,
    // The registry refused a write, which ended the run (TRepairResult::Error).
    WriteRefused,
    // The value or the file is no longer what the scan saw; left alone.
    ChangedSinceScan,
    // The invalid font's file was not moved to the recycle bin (in use,
    // outside its scope's Fonts folder, a device, or on a volume without a
    // recycle bin); its value is kept.
    FileNotMoved,
    // A value the repair would change cannot be held by its backup (the
    // registry would not return it, or an undo would not take its name).
    NotBackedUp,
    // Installing for all users: the entry is not a healthy font of the
    // user's own.
    NotPromotable,
    // Installing for all users: the file could not be copied into the Fonts
    // folder.
    FileNotCopied,
};

// One change a repair makes, in the order it makes them.
struct TRepairStep {
    // RestoreValue: a value deleted for a rename whose write was refused,
    // written back as it was.
    // CopyFile: a font file copied into the Fonts folder, Name the copy.
    enum TKind : std::uint8_t { RecycleFile, DeleteValue, WriteValue, RestoreValue, CopyFile };
    TKind Kind = DeleteValue;
    // The file's path, or the value's name.
    std::string Name;
    // What WriteValue stores.
    std::string Data;
    // RecycleFile: whether the shell reports the file moved (false also
    // when it was not asked, the file not being one to recycle); DeleteValue:
    // whether the value was there; RestoreValue: whether the registry took
    // it. The repair goes on either way.
    bool Done = true;
};

extern const std::string_view NameTakenMessage;
extern const std::string_view AccessDeniedMessage;
extern const std::string_view NoFontNameMessage;
extern const std::string_view UserKeyUnavailableMessage;
extern const std::string_view ChangedSinceScanMessage;
extern const std::string_view FileNotMovedMessage;
extern const std::string_view NotBackedUpMessage;

// What the font list does with the row of a worked entry.
enum class TRowAction : std::uint8_t {
    // Left exactly as it was: nothing to do, or not repaired.
    Keep,
    // The entry has left the inventory; so does its row.
    Remove,
    // Status icon 0 (the green check mark), "Registry Name" cell the new
    // value name, "Problem" cell empty; the row keeps its place.
    MarkRepaired,
    // The entry was changed in place (its file and scope, installed for all
    // users): the row shows it anew, from the entry.
    Refill,
};

struct TEntryRepair {
    // The entry's position among the selected ones. A removed entry is
    // destroyed, so its row is found by this, never by the entry's address.
    std::size_t Index = 0;
    TRepairOutcome Outcome = TRepairOutcome::Repaired;
    TRowAction Action = TRowAction::Keep;
    // MarkRepaired: the value name that now registers the font.
    std::string RegistryName;
    // Why the entry was left as it was: its outcome's closing message; empty
    // when it was changed, or when the run's error says why.
    std::string_view Reason;
    std::vector<TRepairStep> Changes;
};

struct TRepairResult {
    // In the order worked: the last selected entry first. Rows removed in
    // this order leave the positions of the rows still to come unchanged.
    std::vector<TEntryRepair> Entries;
    // One per kind of failure in the run (no full access, name taken, no
    // font name, the user's key unavailable, changed since the scan, file
    // not moved, a value the backup cannot hold, in that order), each shown once
    // after the rows are updated, in a message box of the error type with a
    // single OK button. None when the run ended in Error: the error is what
    // the user is told.
    std::vector<std::string> Messages;
    // What ended the run: a refused registry write (platform::ERegistryError;
    // the entry it was raised in is the last of Entries, WriteRefused, with
    // the changes it made), or a backup that could not be written
    // (platform::EFileError; nothing was changed, Entries is empty). The
    // front end applies the result first, then hands this to its general
    // error handler, so that what was repaired before stays shown as
    // repaired.
    std::exception_ptr Error;
    // The registry file that puts back every value the run changed, written
    // before the first change; empty when the run had nothing to change, and
    // for a preview.
    std::string Backup;
};

// The registry value data for a font file: its bare name when it lies
// directly in the Fonts folder, else the full path. (A user's font is always
// registered by its full path: pass no Fonts folder.)
std::string FontValueData(const std::string& FileName, const std::string& FontsFolder);

// One pass of a change over the selected entries: for real, or as a preview
// that changes nothing but the overlay it is given.
struct TChangeRun {
    const platform::TPlatform& Platform;
    bool Apply;
    // The files of the fonts registered anew: they join the session.
    std::vector<std::string> NewFonts;
    bool RegistryChanged = false;
};

using TChangeWork = std::function<TRepairResult(TChangeRun&)>;
using TClosingMessages = std::span<const std::pair<TRepairOutcome, std::string_view>>;

// Work as a preview on an overlay: nothing changes.
TRepairResult PreviewChanges(const platform::TPlatform& Platform, const TChangeWork& Work);
// Work with its backup: first as a preview, to learn every value it will
// change and every file it will recycle or copy, then the backup of them,
// then for real; the backup is written again when the files differ from the
// plan. When the backup cannot be written nothing changes and the result's
// Error says so, naming the command ("The repair"). After a run that changed
// the registry the fonts registered anew join the session and running
// programs are told the fonts changed.
TRepairResult RunWithBackup(const platform::TPlatform& Platform, std::string_view Command, const TChangeWork& Work);
// Item on each selected entry from the last to the first, until a registry
// write is refused; then one closing message per outcome met, in the order
// Messages lists them.
TRepairResult WorkBackwards(const std::vector<TFontInfo*>& Selected,
                            const std::function<TRepairOutcome(TFontInfo&, TEntryRepair&)>& Item,
                            TClosingMessages Messages);

// The checks before every change, shared by the repair and the installation
// for all users.
// Whether what made the entry what it is still holds: its value as the scan
// read it, its file as the scan saw it (there or not, same size and last
// write time), and for a file without a value, that none names it now.
bool StillAsScanned(const platform::TPlatform& Platform, platform::IRegistryKey& Key, const TFontInfo& Entry);
// The path to hand the shell for the entry's file, or empty when it is not to
// be recycled: a device; a file that is not inside its scope's Fonts folder
// once links, junctions and ".." are resolved (an elevated repair acts on
// values and folders that programs without elevation can write); one on a
// volume without a recycle bin, which the shell would delete for good.
std::string RecyclablePath(const platform::TPlatform& Platform, const TFontInfo& Entry);
// Whether a string value of the key names File, resolved against Folder as
// the scan resolves it.
bool AnyValueNames(platform::IRegistryKey& Key, const std::string& File, const std::string& Folder);

// Decides and makes the changes; the font list (a window's or a console's)
// only translates the result into rows, controls and messages.
class TFontRepair {
public:
    // Owner: the window that owns the shell's recycle progress, or none.
    TFontRepair(const platform::TPlatform& Platform, TInstalledFonts& Fonts, platform::TWindowHandle Owner);

    // Repairs the selected entries, distinct entries of the inventory in list
    // order, from the last to the first; every one is tried, also after one
    // that could not be repaired, until a registry write is refused. A
    // Before an entry's change the run checks again that what the scan saw
    // still holds (the value's type and data, the file's identity, for a
    // font without a value that none names it); an entry that changed is
    // left alone. An invalid font's value goes only once its file went to
    // the recycle bin. A
    // repaired entry of code 1, 2, 3 or 5 leaves the inventory and is
    // destroyed; one of code 4 or 6 stays, with fpNone. A machine entry's
    // repair changes the machine's Fonts key, a user entry's the user's.
    // Before the first change the run writes its registry backup; when that
    // fails it changes nothing. After a run that changed the registry, the
    // fonts it registered anew join the session and running programs are
    // told the fonts changed.
    TRepairResult RepairSelectedItems(const std::vector<TFontInfo*>& Selected);
    // What RepairSelectedItems would do, with nothing changed: neither the
    // registry, nor the files, nor the inventory.
    TRepairResult PreviewSelectedItems(const std::vector<TFontInfo*>& Selected);

private:
    using TRun = TChangeRun;
    TRepairResult Work(TRun& Run, const std::vector<TFontInfo*>& Selected);
    TRepairOutcome RepairItem(TRun& Run, TFontInfo& Entry, TEntryRepair& Repair);
    TRepairOutcome RegisterFont(TRun& Run, platform::IRegistryKey& Key, TFontInfo& Entry, TEntryRepair& Repair);
    TRepairOutcome RenameFont(TRun& Run, platform::IRegistryKey& Key, TFontInfo& Entry, TEntryRepair& Repair);
    void RemoveEntry(TRun& Run, TFontInfo& Entry, TEntryRepair& Repair);
    void MarkRepaired(TRun& Run, TFontInfo& Entry, TEntryRepair& Repair, const std::string& RegistryName);

    const platform::TPlatform& FPlatform;
    TInstalledFonts& FFonts;
    platform::TWindowHandle FOwner;
};

}  // namespace app
