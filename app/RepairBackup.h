// The registry backup a repair writes before it changes anything, and the
// undo that puts its values back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/RegistryFile.h"
#include "app/RegistryOverlay.h"
#include "app/SystemUtilsUnit.h"
#include "platform/Platform.h"

namespace app {

// The comment line every backup ends with, written last: an undo refuses a
// file without it, since a file cut short cannot be told apart otherwise.
extern const std::string_view BackupClosing;

// Whether a backup can hold the value Name of Key as it is now, so that an
// undo puts it back: the name is one an undo accepts (no NUL, at most
// platform::RegistryValueNameLimit characters) and, when the value exists,
// the registry returns its data. A repair changes no value that fails this.
bool BackupCanHold(platform::IRegistryKey& Key, const std::string& Name);

// The file that puts back what the changes change: per key, "Name"=- for
// every value they create (or create in another letter case) first, then
// every value they change or delete as it was; the files they recycle, and
// those they copy into the Fonts folder, as comment lines; BackupClosing
// last. Raises platform::EFileError when a changed value's old data could
// not be read.
TRegistryFile RepairBackupOf(const std::vector<TKeyChanges>& Keys, const std::vector<std::string>& RecycledFiles,
                             const std::vector<std::string>& CopiedFiles = {});

// Writes the file to %LOCALAPPDATA%\Velmorant\Backups\repair-YYYYMMDD-HHMMSS.reg
// (with "-2", "-3" ... for further runs in the same second) and answers its
// path. Raises platform::EFileError when it cannot, or when the file would be
// larger than RegistryFileLimit, which its undo would refuse.
std::string WriteRepairBackup(const platform::TPlatform& Platform, const TRegistryFile& Backup);
// Replaces the backup at Path, written by WriteRepairBackup, with Backup.
// When the file system refuses, the first backup stays as it was: one that
// names a file too many beats none.
void RewriteRepairBackup(const platform::TPlatform& Platform, const std::string& Path, const TRegistryFile& Backup);

// The full names of the two keys an undo may change, as a backup names them.
std::string RegistryFileKeyName(const platform::TPlatform& Platform, TFontScope Scope);

struct TUndoStep {
    TFontScope Scope = TFontScope::Machine;
    std::string Name;
    // Missing: the value is deleted; else written so.
    platform::TRegistryValue Value;
    // Delete: whether the value was there; write: always.
    bool Done = true;
};

struct TUndoResult {
    std::vector<TUndoStep> Steps;
    // The files the repair moved to the recycle bin, as the backup lists
    // them: an undo cannot put them back.
    std::vector<std::string> RecycledFiles;
    // The copies an installation for all users made in the Fonts folder, as
    // the backup lists them: an undo leaves them, since a backup anyone may
    // have written must not delete files.
    std::vector<std::string> CopiedFiles;
    // The refused write (platform::ERegistryError) that ended the undo.
    std::exception_ptr Error;
    // After such a refusal: every value the undo had changed was set back as
    // it was (Steps is then empty); false when some could not be.
    bool TakenBack = false;
};

// Puts the values of a backup back, in the file's order, or with DryRun only
// says what it would do. The whole file is read and checked before anything
// changes: a file that is not a registry file, holds a value the registry
// would not take, does not end with BackupClosing, names a key other than the
// two Fonts keys, or whose keys cannot be opened with full access raises
// ERegistryFileError. A change the registry refuses halfway ends the undo
// and sets back every value it had changed (TUndoResult::TakenBack). After
// an undo that changed the registry, running programs are told the fonts
// changed.
TUndoResult UndoRepairBackup(const platform::TPlatform& Platform, const std::string& Path, bool DryRun);

}  // namespace app
