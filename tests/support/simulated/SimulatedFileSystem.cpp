#include "tests/support/simulated/SimulatedPlatform.h"

#include <fstream>
#include <system_error>

#include "base/AsciiText.h"
#include "base/Format.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

fs::path FromUtf8(std::string_view Text) { return fs::path(std::u8string(Text.begin(), Text.end())); }

std::string ToUtf8(const fs::path& Path)
{
    const std::u8string Text = Path.u8string();
    return std::string(Text.begin(), Text.end());
}

bool IsDriveLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }

// The entry of Folder named Name without regard to ASCII case, the exact
// spelling first.
std::optional<fs::path> FindEntry(const fs::path& Folder, const std::string& Name)
{
    std::error_code Error;
    if (fs::exists(Folder / FromUtf8(Name), Error))
        return Folder / FromUtf8(Name);
    for (const fs::directory_entry& Entry : fs::directory_iterator(Folder, Error))
        if (base::SameTextAscii(ToUtf8(Entry.path().filename()), Name))
            return Entry.path();
    return std::nullopt;
}

}  // namespace

TSimulatedFileSystem::TSimulatedFileSystem(fs::path Root) : FRoot(std::move(Root)) {}

std::optional<fs::path> TSimulatedFileSystem::HostPath(const std::string& Path) const
{
    if (Path.size() < 3 || !IsDriveLetter(Path[0]) || Path[1] != ':' || (Path[2] != '\\' && Path[2] != '/'))
        return std::nullopt;
    std::vector<std::string> Parts;
    std::size_t Start = 3;
    while (Start <= Path.size()) {
        const std::size_t End = std::min(Path.find_first_of("\\/", Start), Path.size());
        const std::string Part = Path.substr(Start, End - Start);
        if (Part == "..") {
            if (!Parts.empty())
                Parts.pop_back();
        } else if (!Part.empty() && Part != ".") {
            Parts.push_back(Part);
        }
        Start = End + 1;
    }
    fs::path Host = FRoot / std::string(1, static_cast<char>(Path[0] & ~0x20));
    bool Resolving = true;
    for (const std::string& Part : Parts) {
        const auto Found = Resolving ? FindEntry(Host, Part) : std::nullopt;
        Resolving = Found.has_value();
        Host = Found ? *Found : Host / FromUtf8(Part);
    }
    return Host;
}

std::string TSimulatedFileSystem::AttributeKey(const fs::path& Host) const { return ToUtf8(Host.lexically_normal()); }

std::uint32_t TSimulatedFileSystem::GetAttributes(const std::string& Path)
{
    const auto Host = HostPath(Path);
    std::error_code Error;
    if (!Host || !fs::exists(*Host, Error))
        return FileAttrInvalid;
    const bool Folder = fs::is_directory(*Host, Error);
    const auto Stored = FAttributes.find(AttributeKey(*Host));
    if (Stored != FAttributes.end())
        return Stored->second | (Folder ? FileAttrDirectory : 0);
    return Folder ? FileAttrDirectory : FileAttrArchive;
}

bool TSimulatedFileSystem::SetAttributes(const std::string& Path, std::uint32_t Attributes)
{
    const auto Host = HostPath(Path);
    std::error_code Error;
    if (RefuseAttributeChanges || !Host || !fs::exists(*Host, Error))
        return false;
    FAttributes[AttributeKey(*Host)] = Attributes & ~std::uint32_t{FileAttrDirectory};
    return true;
}

bool TSimulatedFileSystem::FileExists(const std::string& Path)
{
    const auto Host = HostPath(Path);
    std::error_code Error;
    return Host && fs::is_regular_file(*Host, Error);
}

std::optional<TFileIdentity> TSimulatedFileSystem::FileIdentity(const std::string& Path)
{
    if (!FileExists(Path))
        return std::nullopt;
    const fs::path Host = *HostPath(Path);
    std::error_code Error;
    const std::uintmax_t Size = fs::file_size(Host, Error);
    const fs::file_time_type Written = fs::last_write_time(Host, Error);
    if (Error)
        return std::nullopt;
    return TFileIdentity{Size, static_cast<std::uint64_t>(Written.time_since_epoch().count())};
}

bool TSimulatedFileSystem::FileInUse(const std::string& Path)
{
    if (!FileExists(Path))
        return false;
    const auto Held = FHeld.find(AttributeKey(*HostPath(Path)));
    return Held != FHeld.end() && Held->second == THold::Exclusive;
}

std::string TSimulatedFileSystem::FinalPath(const std::string& Path)
{
    const auto Host = HostPath(Path);
    std::error_code Error;
    if (!Host || !fs::exists(*Host, Error))
        return {};
    const fs::path Final = fs::canonical(*Host, Error);
    const fs::path Root = fs::canonical(FRoot, Error);
    if (Error)
        return {};
    const fs::path Inside = Final.lexically_relative(Root);
    // A link that leads off the machine reaches nothing Windows could name.
    if (Inside.empty() || *Inside.begin() == "..")
        return {};
    // Appended piece by piece: g++ 12 at -O3 sees overlaps that are not
    // there in the sums of temporary strings.
    std::string Result;
    for (const fs::path& Part : Inside) {
        const bool Drive = Result.empty();
        if (!Drive)
            Result += '\\';
        Result += ToUtf8(Part);
        if (Drive)
            Result += ':';
    }
    if (Result.size() == 2)
        Result += '\\';
    return Result;
}

void TSimulatedFileSystem::PutLink(const std::string& Link, const std::string& Target)
{
    const auto LinkHost = HostPath(Link);
    const auto TargetHost = HostPath(Target);
    if (!LinkHost || !TargetHost)
        throw EFileError(base::FormatText("Cannot create file %s", {Link}));
    fs::create_directories(LinkHost->parent_path());
    if (fs::is_directory(*TargetHost))
        fs::create_directory_symlink(*TargetHost, *LinkHost);
    else
        fs::create_symlink(*TargetHost, *LinkHost);
}

std::vector<TFolderEntry> TSimulatedFileSystem::ListFolder(const std::string& Folder)
{
    std::vector<TFolderEntry> Entries;
    const auto Host = HostPath(Folder);
    std::error_code Error;
    if (!Host || !fs::is_directory(*Host, Error))
        return Entries;
    // FindFirstFile lists the folder itself and its parent too.
    Entries.push_back({".", FileAttrDirectory});
    Entries.push_back({"..", FileAttrDirectory});
    for (const fs::directory_entry& Entry : fs::directory_iterator(*Host, Error)) {
        const std::string Name = ToUtf8(Entry.path().filename());
        Entries.push_back({Name, GetAttributes(Folder + "\\" + Name)});
    }
    return Entries;
}

std::unique_ptr<base::TStream> TSimulatedFileSystem::Open(const std::string& Path, bool AllowWriters)
{
    if (FileExists(Path)) {
        const auto Held = FHeld.find(AttributeKey(*HostPath(Path)));
        const bool Blocked =
            Held != FHeld.end() && (Held->second == THold::Exclusive || !AllowWriters);
        try {
            if (!Blocked)
                return std::make_unique<base::TFileStream>(ToUtf8(*HostPath(Path)));
        } catch (const base::EStreamError&) {
        }
    }
    throw base::EStreamError(base::FormatText("Cannot open file %s", {Path}));
}

std::unique_ptr<base::TStream> TSimulatedFileSystem::OpenRead(const std::string& Path) { return Open(Path, false); }

std::unique_ptr<base::TStream> TSimulatedFileSystem::OpenReadShared(const std::string& Path) { return Open(Path, true); }

void TSimulatedFileSystem::HoldOpen(const std::string& Path, THold Hold)
{
    if (const auto Host = HostPath(Path))
        FHeld[AttributeKey(*Host)] = Hold;
}

bool TSimulatedFileSystem::CreateNewFile(const std::string& Path, const std::vector<std::uint8_t>& Bytes)
{
    if (GetAttributes(Path) != FileAttrInvalid)
        return false;
    WriteNewFile(Path, Bytes);
    return true;
}

bool TSimulatedFileSystem::CopyNewFile(const std::string& From, const std::string& To)
{
    if (GetAttributes(To) != FileAttrInvalid)
        return false;
    const auto Source = HostPath(From);
    const auto Target = HostPath(To);
    std::error_code Error;
    // A file held exclusively cannot be read for the copy, as on Windows.
    const auto Held = Source ? FHeld.find(AttributeKey(*Source)) : FHeld.end();
    if (RefuseCreate || !FileExists(From) || !Target || (Held != FHeld.end() && Held->second == THold::Exclusive) ||
        !fs::copy_file(*Source, *Target, Error))
        throw EFileError(base::FormatText("Cannot copy file %s to %s", {From, To}));
    fs::last_write_time(*Target, fs::last_write_time(*Source, Error), Error);
    return true;
}

void TSimulatedFileSystem::CreateFolders(const std::string& Path)
{
    const auto Host = HostPath(Path);
    std::error_code Error;
    if (!RefuseCreate && Host)
        fs::create_directories(*Host, Error);
    if (RefuseCreate || !Host || !fs::is_directory(*Host, Error))
        throw EFileError(base::FormatText("Cannot create folder %s", {Path}));
}

void TSimulatedFileSystem::WriteNewFile(const std::string& Path, const std::vector<std::uint8_t>& Bytes)
{
    // Windows refuses to replace a read-only, hidden or system file with a
    // plain one.
    const std::uint32_t Existing = GetAttributes(Path);
    const bool Protected = Existing != FileAttrInvalid &&
                           (Existing & (FileAttrReadOnly | FileAttrHidden | FileAttrSystem | FileAttrDirectory)) != 0;
    const auto Host = HostPath(Path);
    if (!RefuseCreate && !Protected && Host) {
        std::ofstream Out(*Host, std::ios::binary | std::ios::trunc);
        Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
        if (Out.good()) {
            FAttributes.erase(AttributeKey(*Host));
            return;
        }
    }
    throw EFileError(base::FormatText("Cannot create file %s", {Path}));
}

void TSimulatedFileSystem::CreateFolder(const std::string& Path)
{
    if (const auto Host = HostPath(Path))
        fs::create_directories(*Host);
}

void TSimulatedFileSystem::PutFile(const std::string& Path, const std::vector<std::uint8_t>& Bytes)
{
    const auto Host = HostPath(Path);
    if (!Host)
        throw EFileError(base::FormatText("Cannot create file %s", {Path}));
    fs::create_directories(Host->parent_path());
    FAttributes.erase(AttributeKey(*Host));
    std::ofstream Out(*Host, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
}

void TSimulatedFileSystem::PutFile(const std::string& Path, std::string_view Text)
{
    PutFile(Path, std::vector<std::uint8_t>(Text.begin(), Text.end()));
}

std::optional<std::vector<std::uint8_t>> TSimulatedFileSystem::FileBytes(const std::string& Path)
{
    if (!FileExists(Path))
        return std::nullopt;
    std::ifstream In(*HostPath(Path), std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

bool TSimulatedFileSystem::MoveOut(const std::string& Path, const fs::path& Target)
{
    const auto Host = HostPath(Path);
    std::error_code Error;
    if (!Host || !fs::exists(*Host, Error) || FHeld.count(AttributeKey(*Host)) != 0)
        return false;
    fs::rename(*Host, Target, Error);
    if (Error)
        return false;
    FAttributes.erase(AttributeKey(*Host));
    return true;
}

bool TSimulatedFileSystem::DeleteOut(const std::string& Path)
{
    const auto Host = HostPath(Path);
    std::error_code Error;
    if (!Host || FHeld.count(AttributeKey(*Host)) != 0 || !fs::remove(*Host, Error))
        return false;
    FAttributes.erase(AttributeKey(*Host));
    return true;
}

bool TSimulatedFileSystem::RemoveFile(const std::string& Path) { return FileExists(Path) && DeleteOut(Path); }

bool TSimulatedFileSystem::RemoveFileAtRestart(const std::string& Path)
{
    if (RefuseRemovalAtRestart)
        return false;
    RemovedAtRestart.push_back(Path);
    return true;
}

TSimulatedShell::TSimulatedShell(TSimulatedFileSystem& Files, fs::path RecycleBin)
    : FFiles(Files), FRecycleBin(std::move(RecycleBin))
{
}

bool TSimulatedShell::HasRecycleBin(const std::string& Path)
{
    return Path.size() >= 2 && IsDriveLetter(Path[0]) && Path[1] == ':' &&
           DrivesWithoutRecycleBin.count(static_cast<char>(Path[0] & ~0x20)) == 0;
}

TShellDeleteResult TSimulatedShell::DeleteFiles(TWindowHandle, const std::vector<std::string>& Paths)
{
    Requests.push_back(Paths);
    if (DeleteMode == TDeleteMode::Cancel)
        return {true, false};
    if (DeleteMode == TDeleteMode::Fail || Paths.empty())
        return {false, false};
    // The shell checks every source before it moves any.
    for (const std::string& Path : Paths)
        if (FFiles.GetAttributes(Path) == FileAttrInvalid)
            return {false, false};
    fs::create_directories(FRecycleBin);
    for (const std::string& Path : Paths) {
        if (!HasRecycleBin(Path)) {
            if (!FFiles.DeleteOut(Path))
                return {false, false};
            continue;
        }
        const std::string Name = std::to_string(FRecycled.size()) + "-" + ToUtf8(FFiles.HostPath(Path)->filename());
        if (!FFiles.MoveOut(Path, FRecycleBin / FromUtf8(Name)))
            return {false, false};
        FRecycled.push_back(Name);
    }
    return {false, true};
}

}  // namespace platform
