// Our own implementation of the platform services, for tests: a machine
// simulated in memory and in a temporary folder. It answers as Windows does
// where the application relies on it (value names and paths without regard
// to letter case, string data stored as RegSetValueExW stores the buffer the
// Win32 layer hands it, names holding NUL refused, attribute bits, the
// shell's cancel flag), and it can be told to refuse: a key that cannot be
// opened, a write refused, a deletion that fails or is cancelled.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "tests/support/TempFolder.h"

namespace platform {

// The registry's fold of value names: upper case, code unit by code unit,
// for ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic (what the tests
// write), every other character as it is.
std::string SimulatedUpperCase(std::string_view Text);

// Key paths below HKEY_LOCAL_MACHINE, or below HKEY_CURRENT_USER when they
// begin with "HKEY_CURRENT_USER\".
class TSimulatedRegistry final : public IRegistry {
public:
    struct TStoredValue {
        std::string Name;
        std::uint32_t Type = RegSz;
        std::vector<std::uint8_t> Data;
    };

    std::unique_ptr<IRegistryKey> OpenKey(TRegistryRoot Root, const std::string& Path, TRegistryAccess Access) override;
    std::unique_ptr<IRegistryKey> CreateKey(TRegistryRoot Root, const std::string& Path) override;

    // Setting up and inspecting the simulated registry.
    void CreateKey(const std::string& Path);
    // REG_SZ with the terminating NUL, as Windows stores it.
    void SetString(const std::string& Path, const std::string& Name, const std::string& Text);
    void SetValue(const std::string& Path, const std::string& Name, std::uint32_t Type,
                  std::vector<std::uint8_t> Data);
    std::optional<TStoredValue> Value(const std::string& Path, const std::string& Name) const;
    // The text of a string value up to its first NUL; nothing when absent.
    std::optional<std::string> StringValue(const std::string& Path, const std::string& Name) const;
    std::vector<std::string> ValueNames(const std::string& Path) const;

    // Refusals.
    void DenyAccess(const std::string& Path, TRegistryAccess Access);  // Read: no access at all
    bool RefuseWrites = false;
    // Writes of a value of exactly this name (letter case included) only.
    std::set<std::string> RefusedWriteNames;
    void RefuseData(const std::string& Path, const std::string& Name);
    // Keys may not be created (a user without a profile key of his own).
    bool RefuseCreateKeys = false;

private:
    friend class TSimulatedRegistryKey;
    struct TKey {
        std::vector<TStoredValue> Values;  // in the order they were created
        std::unordered_map<std::string, std::size_t> Index;  // by folded name
        bool DenyRead = false;
        bool DenyFull = false;
        std::set<std::string> Refused;  // folded names
        TStoredValue* Find(const std::string& Name);
        bool Erase(const std::string& Name);
    };
    TKey* FindKey(const std::string& Path);
    const TKey* FindKey(const std::string& Path) const;
    static std::string Fold(std::string_view Text);
    static std::string KeyName(TRegistryRoot Root, std::string_view Path);
    static std::string KeyName(std::string_view Path);

    std::map<std::string, TKey> FKeys;  // by folded path without the leading backslash
};

// Windows paths ("C:\Windows\Fonts\arial.ttf", either slash) map to folders
// below a temporary root, one per drive letter; every component is matched
// without regard to ASCII case. The attribute bits live beside the files, in
// this object.
class TSimulatedFileSystem final : public IFileSystem {
public:
    explicit TSimulatedFileSystem(std::filesystem::path Root);

    std::string WindowsFolder() override { return FWindowsFolder; }
    std::uint32_t GetAttributes(const std::string& Path) override;
    bool SetAttributes(const std::string& Path, std::uint32_t Attributes) override;
    bool FileExists(const std::string& Path) override;
    std::optional<TFileIdentity> FileIdentity(const std::string& Path) override;
    bool FileInUse(const std::string& Path) override;
    std::string FinalPath(const std::string& Path) override;
    std::vector<TFolderEntry> ListFolder(const std::string& Folder) override;
    std::unique_ptr<base::TStream> OpenRead(const std::string& Path) override;
    std::unique_ptr<base::TStream> OpenReadShared(const std::string& Path) override;
    void WriteNewFile(const std::string& Path, const std::vector<std::uint8_t>& Bytes) override;
    bool CreateNewFile(const std::string& Path, const std::vector<std::uint8_t>& Bytes) override;
    bool CopyNewFile(const std::string& From, const std::string& To) override;
    void CreateFolders(const std::string& Path) override;
    // Fails, as on Windows, for a file another program holds open.
    bool RemoveFile(const std::string& Path) override;
    bool RemoveFileAtRestart(const std::string& Path) override;

    // Setting up and inspecting.
    void SetWindowsFolder(std::string Folder) { FWindowsFolder = std::move(Folder); }
    void CreateFolder(const std::string& Path);
    void PutFile(const std::string& Path, const std::vector<std::uint8_t>& Bytes);
    void PutFile(const std::string& Path, std::string_view Text);
    std::optional<std::vector<std::uint8_t>> FileBytes(const std::string& Path);
    // The host path of a Windows path, with the letter case found on disk;
    // nothing when the path is not absolute.
    std::optional<std::filesystem::path> HostPath(const std::string& Path) const;
    // Moves a file out of the simulated machine (the recycle bin's work).
    // Fails, as on Windows, for a file another program holds open.
    bool MoveOut(const std::string& Path, const std::filesystem::path& Target);
    // Deletes a file for good; false when it is held open or missing.
    bool DeleteOut(const std::string& Path);
    // A symbolic link (to a folder: a junction's part) at Link that leads to
    // Target, both Windows paths of this machine.
    void PutLink(const std::string& Link, const std::string& Target);

    // Refusals.
    bool RefuseCreate = false;
    bool RefuseAttributeChanges = false;
    // Another program holds the file open: for writing (it still opens for
    // a reader that allows writers), or exclusively (it opens for nobody).
    enum class THold : std::uint8_t { ForWriting, Exclusive };
    void HoldOpen(const std::string& Path, THold Hold);
    bool RefuseRemovalAtRestart = false;
    // The paths given to RemoveFileAtRestart, in order.
    std::vector<std::string> RemovedAtRestart;

private:
    std::unique_ptr<base::TStream> Open(const std::string& Path, bool AllowWriters);
    std::string AttributeKey(const std::filesystem::path& Host) const;

    std::filesystem::path FRoot;
    std::string FWindowsFolder = "C:\\Windows";
    std::map<std::string, std::uint32_t> FAttributes;  // by host path; files absent here carry archive
    std::map<std::string, THold> FHeld;  // by host path
};

class TSimulatedShell final : public IShell {
public:
    TSimulatedShell(TSimulatedFileSystem& Files, std::filesystem::path RecycleBin);

    std::string FontsFolder() override { return FFontsFolder; }
    std::string LocalAppDataFolder() override { return FLocalAppData; }
    bool HasRecycleBin(const std::string& Path) override;
    // As Windows does: a file on a drive without a recycle bin is deleted
    // for good, and the deletion succeeds.
    TShellDeleteResult DeleteFiles(TWindowHandle Owner, const std::vector<std::string>& Paths) override;

    void SetFontsFolder(std::string Folder) { FFontsFolder = std::move(Folder); }
    void SetLocalAppDataFolder(std::string Folder) { FLocalAppData = std::move(Folder); }
    // The names of the files in the recycle bin, in the order they came.
    const std::vector<std::string>& Recycled() const { return FRecycled; }
    // The drive letters (upper case) whose volumes have no recycle bin.
    std::set<char> DrivesWithoutRecycleBin;
    const std::filesystem::path& RecycleBin() const { return FRecycleBin; }

    enum class TDeleteMode : std::uint8_t { Normal, Fail, Cancel };
    TDeleteMode DeleteMode = TDeleteMode::Normal;
    // The paths of every deletion asked for, one list per call.
    std::vector<std::vector<std::string>> Requests;

private:
    TSimulatedFileSystem& FFiles;
    std::filesystem::path FRecycleBin;
    std::string FFontsFolder = "C:\\Windows\\Fonts";
    std::string FLocalAppData = "C:\\Users\\Tester\\AppData\\Local";
    std::vector<std::string> FRecycled;
};

class TSimulatedSystemInfo final : public ISystemInfo {
public:
    std::uint32_t DefaultLocale() override { return Locale; }
    TOsVersion Version() override { return OsVersion; }
    TMemoryStatus MemoryStatus() override { return Memory; }
    TLocalTime LocalTime() override { return Now; }
    bool IsAdministrator() override { return Administrator; }
    std::vector<std::optional<std::string>> VersionStrings(const std::string& File,
                                                           const std::vector<std::string>& SubBlocks) override;

    std::uint32_t Locale = 0x0409;
    TOsVersion OsVersion{PlatformWin32NT, 5, 1, 2600, "Service Pack 3"};
    TMemoryStatus Memory{25, 512ull << 20, 384ull << 20, 2048ull << 20, 1900ull << 20};
    TLocalTime Now{2026, 3, 7, 9, 5, 2};
    bool Administrator = true;
    // By file (ASCII case folded) and sub-block.
    std::map<std::pair<std::string, std::string>, std::string> VersionResources;
};

// Services by name, without regard to ASCII case. A stop takes the time a
// service is given; waiting costs no time: a wait whose bound covers the
// stop sees the service stopped, a shorter one sees it still stopping.
class TSimulatedServices final : public IServices {
public:
    struct TService {
        TServiceState State = TServiceState::Running;
        std::uint32_t StopMilliseconds = 0;
        bool RefuseStop = false;
        bool RefuseStart = false;
    };

    TServiceState QueryState(const std::string& Name) override;
    bool Stop(const std::string& Name) override;
    bool Start(const std::string& Name) override;
    bool WaitForState(const std::string& Name, TServiceState Wanted, std::uint32_t BoundMilliseconds) override;

    // A running service that stops at once, or one as given.
    void Add(const std::string& Name);
    void Add(const std::string& Name, TService Service);
    // Null for a service the machine lacks.
    TService* Find(const std::string& Name);
    // "stop NAME" and "start NAME" for every request, in order.
    std::vector<std::string> Requests;

private:
    std::map<std::string, TService> FServices;  // by upper-case name
};

// A simple case fold stands in for the locale's order; the code page is
// Windows-1252.
class TSimulatedTextServices final : public ITextServices {
public:
    int CompareText(std::string_view A, std::string_view B) override;
    std::string UpperCaseOrdinal(std::string_view Text) override { return SimulatedUpperCase(Text); }
};

// Remembers what the session was told.
class TSimulatedFontSession final : public IFontSession {
public:
    bool AddFont(const std::string& Path) override
    {
        Added.push_back(Path);
        return true;
    }
    bool RemoveFont(const std::string& Path) override
    {
        Removed.push_back(Path);
        return true;
    }
    bool BroadcastFontChange() override
    {
        ++Broadcasts;
        return true;
    }

    std::vector<std::string> Added;
    std::vector<std::string> Removed;
    int Broadcasts = 0;
};

// One simulated machine in its own temporary folder, removed with it: a
// C:\Windows folder with an empty Fonts folder, the Fonts key of the NT
// family, a user's local application data folder (without fonts and
// without a Fonts key of the user's own), a recycle bin, and no service.
class TSimulatedMachine {
public:
    TSimulatedMachine();
    TSimulatedMachine(const TSimulatedMachine&) = delete;
    TSimulatedMachine& operator=(const TSimulatedMachine&) = delete;

    TPlatform Platform() { return {Registry, Shell, Files, System, Text, Session, ServiceControl}; }

private:
    testing_support::TTempFolder FFolder{"velmorant-machine"};

public:
    const std::filesystem::path Root = FFolder.Path();
    TSimulatedRegistry Registry;
    TSimulatedFileSystem Files;
    TSimulatedShell Shell;
    TSimulatedSystemInfo System;
    TSimulatedTextServices Text;
    TSimulatedFontSession Session;
    TSimulatedServices ServiceControl;
};

}  // namespace platform
