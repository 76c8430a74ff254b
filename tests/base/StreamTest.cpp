#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "base/ListError.h"
#include "base/PageCacheStream.h"
#include "base/Stream.h"
#include "base/TextConversion.h"
#include "base/Win32Handle.h"
#include "tests/support/TempFolder.h"

using namespace base;

namespace {

std::filesystem::path TempFile(const testing_support::TTempFolder& Folder, const std::string& Name,
                               const std::vector<std::uint8_t>& Bytes)
{
    const auto Path = Folder.Path() / Name;
    std::ofstream(Path, std::ios::binary).write(reinterpret_cast<const char*>(Bytes.data()),
                                                 static_cast<std::streamsize>(Bytes.size()));
    return Path;
}

}  // namespace

TEST(Stream, MemoryStreamGrowsWithZerosAndBulkReadsFailShort)
{
    TMemoryStream S;
    S.SetPosition(4);
    const std::uint8_t Byte = 7;
    S.Write(&Byte, 1);
    EXPECT_EQ(S.Bytes(), (std::vector<std::uint8_t>{0, 0, 0, 0, 7}));

    S.SetPosition(3);
    std::uint8_t Two[2];
    S.ReadBuffer(Two, 2);
    EXPECT_EQ(Two[1], 7);
    S.SetPosition(4);
    EXPECT_THROW(S.ReadBuffer(Two, 2), EStreamError);
    S.SetPosition(1000);
    EXPECT_EQ(S.Remaining(), 0);
    EXPECT_EQ(S.Read(Two, 2), 0u);
}

TEST(Stream, FileStreamReadsAcrossItsWindowAndPastTheEnd)
{
    std::vector<std::uint8_t> Bytes(200000);
    for (std::size_t i = 0; i < Bytes.size(); ++i)
        Bytes[i] = static_cast<std::uint8_t>(i * 31 + i / 256);
    const testing_support::TTempFolder Folder;
    const auto Path = TempFile(Folder, "stream.bin", Bytes);
    {
        TFileStream S(Path.string());
        EXPECT_EQ(S.Size(), 200000);

        // A read that straddles the 64 KiB window, then one far back.
        std::vector<std::uint8_t> Got(10);
        S.SetPosition(65530);
        S.ReadBuffer(Got.data(), Got.size());
        EXPECT_TRUE(std::equal(Got.begin(), Got.end(), Bytes.begin() + 65530));
        S.SetPosition(3);
        S.ReadBuffer(Got.data(), 1);
        EXPECT_EQ(Got[0], Bytes[3]);

        // A bulk read larger than the window.
        std::vector<std::uint8_t> All(Bytes.size());
        S.SetPosition(0);
        S.ReadBuffer(All.data(), All.size());
        EXPECT_EQ(All, Bytes);

        // Empty reads, also of an empty buffer, transfer nothing.
        EXPECT_EQ(S.Read(nullptr, 0), 0u);
        S.SetPosition(199999);
        EXPECT_EQ(S.Read(Got.data(), 10), 1u);
        EXPECT_EQ(S.Position(), 200000);
    }
}

// The window grows while reads go on where it ends and starts small again
// after a jump; whatever it does, every read must deliver what a plain view of
// the same bytes delivers.
TEST(Stream, FileStreamReadsWhatTheBytesHoldWhateverTheReadPattern)
{
    std::vector<std::uint8_t> Bytes(150001);
    for (std::size_t i = 0; i < Bytes.size(); ++i)
        Bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 509);
    const testing_support::TTempFolder Folder;
    const auto Path = TempFile(Folder, "pattern.bin", Bytes);
    {
        TFileStream File(Path.string());
        TSpanStream View(Bytes.data(), Bytes.size());
        std::vector<std::uint8_t> FromFile(9000);
        std::vector<std::uint8_t> FromView(9000);
        auto Compare = [&](std::int64_t At, std::size_t Count) {
            File.SetPosition(At);
            View.SetPosition(At);
            const std::size_t Got = File.Read(FromFile.data(), Count);
            ASSERT_EQ(Got, View.Read(FromView.data(), Count)) << At << " " << Count;
            ASSERT_TRUE(std::equal(FromFile.begin(), FromFile.begin() + static_cast<std::ptrdiff_t>(Got),
                                   FromView.begin()))
                << At << " " << Count;
            ASSERT_EQ(File.Position(), View.Position());
        };
        // Two bytes at a time through the whole file, as a table parse reads.
        for (std::int64_t At = 0; At < 150002; At += 2)
            Compare(At, 2);
        // Jumps with sizes on both sides of the window's steps.
        std::uint32_t Seed = 12345;
        for (int i = 0; i < 3000; ++i) {
            Seed = Seed * 1103515245 + 12345;
            const std::int64_t At = (Seed >> 8) % 152000;
            Seed = Seed * 1103515245 + 12345;
            const std::size_t Count = (Seed >> 8) % 9000;
            Compare(At, Count);
            Compare(At + static_cast<std::int64_t>(Count), (Seed >> 4) % 70);
        }
    }
}

TEST(Stream, FileStreamNamesTheFileItCannotOpen)
{
    try {
        TFileStream S("/no/such/velmorant/file.ttf");
        FAIL();
    } catch (const EStreamError& Error) {
        EXPECT_STREQ(Error.what(), "Cannot open file /no/such/velmorant/file.ttf");
    }
}

// Windows names may hold an unpaired surrogate; the file stream gets them as
// WTF-8 from the folder listing and must open what they name.
TEST(Stream, FileStreamOpensNamesWithUnpairedSurrogates)
{
    const testing_support::TTempFolder Folder;
    const std::string Name = Utf16ToUtf8(std::u16string(u"lone ") + char16_t(0xD800) + u".bin");
#ifdef _WIN32
    const std::wstring Wide = Folder.Path().wstring() + L"\\" + Utf8ToWide(Name);
    {
        const TFileHandle File(
            CreateFileW(Wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!File.Valid())
            GTEST_SKIP() << "this file system holds no unpaired surrogates in names";
        DWORD Written = 0;
        WriteFile(File.Get(), "abc", 3, &Written, nullptr);
    }
    const std::string Path = WideToUtf8(Folder.Path().wstring()) + "\\" + Name;
#else
    // The host takes the name's bytes as they are.
    const std::string Path = Folder.Path().string() + "/" + Name;
    std::ofstream(Path, std::ios::binary) << "abc";
#endif
    TFileStream S(Path);
    EXPECT_EQ(S.Size(), 3);
}

TEST(Stream, ListIndexErrorsNameTheIndex)
{
    std::vector<int> Items{1, 2};
    EXPECT_EQ(ListItem(Items, 1), 2);
    try {
        ListItem(Items, 2);
        FAIL();
    } catch (const EListError& Error) {
        EXPECT_STREQ(Error.what(), "List index out of bounds (2)");
    }
    EXPECT_THROW(ListItem(Items, -1), EListError);
}

TEST(Stream, PageCacheDeliversWhatTheSourceHoldsAcrossPagesAndPastTheEnd)
{
    std::vector<std::uint8_t> Bytes(10000);
    for (std::size_t i = 0; i < Bytes.size(); ++i)
        Bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    TMemoryStream Source(Bytes);
    Source.SetPosition(5);
    TPageCacheStream Cache(Source);
    EXPECT_EQ(Cache.Position(), 5);
    EXPECT_EQ(Cache.Size(), 10000);

    // Jumps back and forth, reads straddling pages, and one running past the end.
    const std::pair<std::int64_t, std::size_t> Reads[] = {{4090, 20}, {0, 1}, {8191, 2}, {4095, 9000}, {9990, 50}};
    for (const auto& [At, Count] : Reads) {
        std::vector<std::uint8_t> Got(Count, 0xEE);
        Cache.SetPosition(At);
        const std::size_t N = Cache.Read(Got.data(), Count);
        const std::size_t Expected = std::min<std::size_t>(Count, Bytes.size() - static_cast<std::size_t>(At));
        ASSERT_EQ(N, Expected) << At;
        EXPECT_TRUE(std::equal(Got.begin(), Got.begin() + static_cast<std::ptrdiff_t>(N), Bytes.begin() + At)) << At;
        EXPECT_EQ(Cache.Position(), At + static_cast<std::int64_t>(N));
    }
    Cache.SetPosition(20000);
    std::uint8_t One = 0;
    EXPECT_EQ(Cache.Read(&One, 1), 0u);
}
