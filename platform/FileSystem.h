// Files and folders, addressed by Windows paths in UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Stream.h"

namespace platform {

// The Windows attribute bits the application reads and sets.
inline constexpr std::uint32_t FileAttrReadOnly = 0x01;
inline constexpr std::uint32_t FileAttrHidden = 0x02;
inline constexpr std::uint32_t FileAttrSystem = 0x04;
inline constexpr std::uint32_t FileAttrVolumeLabel = 0x08;
inline constexpr std::uint32_t FileAttrDirectory = 0x10;
inline constexpr std::uint32_t FileAttrArchive = 0x20;
inline constexpr std::uint32_t FileAttrNormal = 0x80;
// What GetAttributes answers for a path it cannot read: every bit set.
inline constexpr std::uint32_t FileAttrInvalid = 0xFFFFFFFF;

// A file that could not be created or written.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a scan saw of a file, so that a repair can tell whether it is still
// the same file: its size and last write time (100 ns units, as the file
// system keeps it).
struct TFileIdentity {
    std::uint64_t Size = 0;
    std::uint64_t LastWriteTime = 0;
    bool operator==(const TFileIdentity&) const = default;
};

struct TFolderEntry {
    std::string Name;
    std::uint32_t Attributes = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // GetWindowsDirectory.
    virtual std::string WindowsFolder() = 0;
    virtual std::uint32_t GetAttributes(const std::string& Path) = 0;
    virtual bool SetAttributes(const std::string& Path, std::uint32_t Attributes) = 0;
    // True for an existing file, false for a folder or nothing.
    virtual bool FileExists(const std::string& Path) = 0;
    // The size and last write time of an existing file; nothing for a
    // folder or nothing.
    virtual std::optional<TFileIdentity> FileIdentity(const std::string& Path) = 0;
    // True when the file exists but another program keeps it from being read
    // now: it holds the file open without sharing it with readers, or locks
    // its first byte.
    virtual bool FileInUse(const std::string& Path) = 0;
    // The drive (or UNC) path the system reaches when it opens Path, every
    // "..", link and junction resolved; empty when Path cannot be opened.
    // Asks for no access to the file's data, so a file another program
    // holds has a final path too.
    virtual std::string FinalPath(const std::string& Path) = 0;
    // Every entry of the folder (pattern "\*.*"), hidden, system and
    // read-only ones included, in the order the file system gives them.
    // Empty when the folder cannot be read.
    virtual std::vector<TFolderEntry> ListFolder(const std::string& Folder) = 0;
    // Opens a file for reading while denying other writers; the stream reads
    // raw bytes at any position. Raises base::EStreamError
    // "Cannot open file %s" when the file cannot be opened.
    virtual std::unique_ptr<base::TStream> OpenRead(const std::string& Path) = 0;
    // The same, allowing other readers and writers as a plain read does.
    virtual std::unique_ptr<base::TStream> OpenReadShared(const std::string& Path) = 0;
    // Creates the file (replacing one that exists) with exactly these bytes.
    // Raises EFileError "Cannot create file %s" when it cannot.
    virtual void WriteNewFile(const std::string& Path, const std::vector<std::uint8_t>& Bytes) = 0;
    // Creates the file with exactly these bytes unless a file or folder of
    // that name exists; answers false then. Raises EFileError
    // "Cannot create file %s" when it cannot otherwise.
    virtual bool CreateNewFile(const std::string& Path, const std::vector<std::uint8_t>& Bytes) = 0;
    // Copies the file From to To unless a file or folder named To exists;
    // answers false then. The copy keeps the file's bytes and last write
    // time. Raises EFileError "Cannot copy file %s to %s" when it cannot
    // otherwise (From missing or unreadable, To's folder refused).
    virtual bool CopyNewFile(const std::string& From, const std::string& To) = 0;
    // Creates the folder and every folder above it that is missing. Raises
    // EFileError "Cannot create folder %s" when it cannot.
    virtual void CreateFolders(const std::string& Path) = 0;
    // Deletes the file for good (not into the recycle bin); false when it
    // cannot, for one because another program holds it open without
    // sharing its deletion.
    virtual bool RemoveFile(const std::string& Path) = 0;
    // Has the system delete the file when Windows next starts, before the
    // programs and services that could hold it open (MoveFileExW with
    // MOVEFILE_DELAY_UNTIL_REBOOT, which an administrator's rights allow);
    // false when it is refused.
    virtual bool RemoveFileAtRestart(const std::string& Path) = 0;
};

}  // namespace platform
