// The platform services on the real Windows API, the UTF-16 ("W") functions
// throughout. Text is converted at this boundary and nowhere else.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace platform {

class TWin32Registry final : public IRegistry {
public:
    std::unique_ptr<IRegistryKey> OpenKey(TRegistryRoot Root, const std::string& Path, TRegistryAccess Access) override;
    std::unique_ptr<IRegistryKey> CreateKey(TRegistryRoot Root, const std::string& Path) override;
};

class TWin32Shell final : public IShell {
public:
    // A console program passes Silent: no progress window and no error
    // dialog that a script would wait on.
    enum class TUi : std::uint8_t { Interactive, Silent };
    explicit TWin32Shell(TUi Ui = TUi::Interactive) : FUi(Ui) {}

    std::string FontsFolder() override;
    std::string LocalAppDataFolder() override;
    bool HasRecycleBin(const std::string& Path) override;
    TShellDeleteResult DeleteFiles(TWindowHandle Owner, const std::vector<std::string>& Paths) override;

private:
    TUi FUi;
};

class TWin32FileSystem final : public IFileSystem {
public:
    std::string WindowsFolder() override;
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
    bool RemoveFile(const std::string& Path) override;
    bool RemoveFileAtRestart(const std::string& Path) override;
};

class TWin32SystemInfo final : public ISystemInfo {
public:
    std::uint32_t DefaultLocale() override;
    TOsVersion Version() override;
    TMemoryStatus MemoryStatus() override;
    TLocalTime LocalTime() override;
    bool IsAdministrator() override;
    std::vector<std::optional<std::string>> VersionStrings(const std::string& File,
                                                           const std::vector<std::string>& SubBlocks) override;
};

class TWin32TextServices final : public ITextServices {
public:
    int CompareText(std::string_view A, std::string_view B) override;
    std::string UpperCaseOrdinal(std::string_view Text) override;
};

class TWin32FontSession final : public IFontSession {
public:
    bool AddFont(const std::string& Path) override;
    bool RemoveFont(const std::string& Path) override;
    bool BroadcastFontChange() override;
};

// The service control manager of the local machine, opened for each call.
class TWin32Services final : public IServices {
public:
    TServiceState QueryState(const std::string& Name) override;
    bool Stop(const std::string& Name) override;
    bool Start(const std::string& Name) override;
    bool WaitForState(const std::string& Name, TServiceState Wanted, std::uint32_t BoundMilliseconds) override;
};

// The running machine's services, ready to be handed to the core.
class TWin32Platform {
public:
    explicit TWin32Platform(TWin32Shell::TUi Ui = TWin32Shell::TUi::Interactive) : Shell(Ui) {}
    TWin32Platform(const TWin32Platform&) = delete;
    TWin32Platform& operator=(const TWin32Platform&) = delete;

    TPlatform Platform() { return {Registry, Shell, Files, System, Text, Session, Services}; }

    TWin32Registry Registry;
    TWin32Shell Shell;
    TWin32FileSystem Files;
    TWin32SystemInfo System;
    TWin32TextServices Text;
    TWin32FontSession Session;
    TWin32Services Services;
};

}  // namespace platform
