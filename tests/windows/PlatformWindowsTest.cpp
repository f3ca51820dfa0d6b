// SPDX-License-Identifier: GPL-3.0-or-later
// The Win32 file services, run for real (under Wine on Linux; see the notes where Wine differs from Windows).
#include "platform/FileSystem.h"
#include "platform/windows/VolumeTimes.h"
#include "platform/windows/WideText.h"
#include "tests/windows/WindowsTestFolder.h"

#include <gtest/gtest.h>

#include <limits>

namespace quillmere::platform {
namespace {

using testing::WindowsTestFolder;

constexpr std::uint64_t kStepsTo1970 = 116444736000000000; // 100 ns steps from 1601 to 1970
constexpr std::int64_t kSecond = 1'000'000'000;

TEST(WindowsAttributes, HiddenSystemFolderReadsExactly22) {
    WindowsTestFolder root;
    const std::string folder = root / "$Recycle.Bin";
    testing::MakeFolder(folder);
    testing::SetAttributes(folder, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(ReadAttributes(folder), 22u);
    EXPECT_EQ(ReadAttributes(folder + "\\"), 22u);
    testing::SetAttributes(folder, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(ReadAttributes(folder), 18u);
}

TEST(WindowsAttributes, ReadOnlyFileAndMissingPath) {
    WindowsTestFolder root;
    const std::string file = root / "a.txt";
    testing::WriteText(file, "a");
    testing::SetAttributes(file, FILE_ATTRIBUTE_READONLY);
    // Windows gives exactly 1 here; Wine adds the archive bit to every file.
    const auto attributes = ReadAttributes(file);
    ASSERT_TRUE(attributes);
    EXPECT_EQ(*attributes & ~attr::Archive, attr::ReadOnly);
    EXPECT_EQ(ReadAttributes(root / "missing"), std::nullopt);
    EXPECT_EQ(ReadAttributes("bad \xff utf-8"), std::nullopt);
}

TEST(WindowsLongPaths, FromTheClassicLimitOnPathsTakeTheLongForm) {
    using windows::LongPathForm;
    const auto filled = [](std::wstring start, std::size_t length) {
        return start + std::wstring(length - start.size(), L'x');
    };
    const std::wstring atLimit = filled(L"C:\\Data\\", 260);
    struct Case {
        std::wstring path;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"C:\\Data\\a.txt", L"C:\\Data\\a.txt"},
        {filled(L"C:\\Data\\", 259), filled(L"C:\\Data\\", 259)},
        {atLimit, L"\\\\?\\" + atLimit},
        {filled(L"C:/Data/", 300), L"\\\\?\\" + filled(L"C:\\Data\\", 300)},
        {filled(L"C:\\Data\\..\\Other\\", 300), L"\\\\?\\C:\\Other\\" + std::wstring(300 - 17, L'x')},
        {filled(L"\\\\server\\share\\", 300), L"\\\\?\\UNC\\" + filled(L"server\\share\\", 298)},
        {L"\\\\?\\" + atLimit, L"\\\\?\\" + atLimit},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LongPathForm(c.path), c.expected) << c.path.size();
}

TEST(WindowsRootFolder, DriveRootsAndShareRoots) {
    for (const char* root : {"C:\\", "d:\\", "Z:", "C:/", "\\\\server\\share", "\\\\server\\share\\"})
        EXPECT_TRUE(IsRootFolder(root)) << root;
    for (const char* other : {"C:\\Data\\", "C:\\Data", "CC:\\", "1:\\", "\\\\server\\", "\\\\server",
                              "\\\\server\\share\\dir\\", "\\\\server\\\\share", "\\\\\\server\\share", "\\", ""})
        EXPECT_FALSE(IsRootFolder(other)) << other;
}

TEST(WindowsRootFolder, RealDriveRootIsAFolder) {
    EXPECT_TRUE(IsRootFolder("C:\\"));
    const auto attributes = ReadAttributes("C:\\");
    ASSERT_TRUE(attributes);
    EXPECT_TRUE(*attributes & attr::Directory);
    // Windows reports its drive roots hidden and system (22); Wine reports 16. The walk enters roots either way.
}

TEST(WindowsListing, FilesAndFoldersApartSortedHiddenIncluded) {
    WindowsTestFolder root;
    testing::MakeFolder(root / "b");
    testing::MakeFolder(root / "a");
    testing::WriteText(root / "z.txt", "z");
    testing::WriteText(root / "h.txt", "h");
    testing::SetAttributes(root / "h.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    const Listing folders = ListSubfolderNames(root.path());
    EXPECT_EQ(folders.status, ListingStatus::Ok);
    EXPECT_EQ(folders.names, (std::vector<std::string>{"a", "b"}));
    const std::string withoutSeparator = root.path().substr(0, root.path().size() - 1);
    const Listing files = ListFileNames(withoutSeparator);
    EXPECT_EQ(files.status, ListingStatus::Ok);
    EXPECT_EQ(files.names, (std::vector<std::string>{"h.txt", "z.txt"}));
    EXPECT_TRUE(ListFileNames(root / "a").names.empty());
}

TEST(WindowsListing, MissingFolderAndFileAreNotFound) {
    WindowsTestFolder root;
    testing::WriteText(root / "file.txt", "x");
    EXPECT_EQ(ListSubfolderNames(root / "missing").status, ListingStatus::PathNotFound);
    EXPECT_EQ(ListFileNames(root / "missing\\deeper").status, ListingStatus::PathNotFound);
    EXPECT_EQ(ListSubfolderNames(root / "file.txt").status, ListingStatus::PathNotFound);
    EXPECT_EQ(ListSubfolderNames("").status, ListingStatus::PathNotFound);
    // A refused listing (PermissionDenied) needs an access-control list that denies it; Wine does not enforce
    // Windows access rights, so that case is left to a real Windows.
}

TEST(WindowsListing, NamesOutsideAsciiRoundTrip) {
    WindowsTestFolder root;
    const std::string folder = "B\xc3\xbc"
                               "cher";                       // Bücher
    const std::string file = "\xe6\x97\xa5\xe6\x9c\xac.txt"; // 日本.txt
    testing::MakeFolder(root / folder);
    testing::WriteText(root / folder + "\\" + file, "x");
    EXPECT_EQ(ListSubfolderNames(root.path()).names, std::vector<std::string>{folder});
    EXPECT_EQ(ListFileNames(root / folder).names, std::vector<std::string>{file});
    EXPECT_TRUE(CanOpenExistingFile(root / folder + "\\" + file));
}

TEST(WindowsOpen, OnlyExistingFilesOpen) {
    WindowsTestFolder root;
    testing::WriteText(root / "a.txt", "a");
    testing::SetAttributes(root / "a.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(CanOpenExistingFile(root / "a.txt"));
    EXPECT_FALSE(CanOpenExistingFile(root.path())); // Wine would open a folder; the handle tells it apart
    EXPECT_FALSE(CanOpenExistingFile(root / "b.txt"));
    EXPECT_FALSE(CanOpenExistingFile(""));
}

TEST(WindowsTimes, LastWriteTimeComesFromTheWindowsFileTime) {
    WindowsTestFolder root;
    const std::string file = root / "a.txt";
    testing::WriteText(file, "a");
    // 2021-08-31 10:00:01.2345678 UTC: the last 100 ns step must survive.
    const std::int64_t unixSeconds = 1630404001;
    testing::SetLastWriteSteps(file, kStepsTo1970 + unixSeconds * 10'000'000 + 2'345'678);
    EXPECT_EQ(ReadLastWriteTime(file), (FileTime{unixSeconds, 234'567'800}));

    testing::SetLastWriteSteps(file, kStepsTo1970 - 10'000'000); // one second before 1970
    EXPECT_EQ(ReadLastWriteTime(file), (FileTime{-1, 0}));
    EXPECT_EQ(ReadLastWriteTime(root / "missing"), std::nullopt);
}

TEST(WindowsTimes, FolderHasItsOwnTime) {
    WindowsTestFolder root;
    testing::MakeFolder(root / "f");
    testing::SetLastWriteSteps(root / "f", kStepsTo1970 + 10'000'000);
    EXPECT_EQ(ReadLastWriteTime(root / "f"), (FileTime{1, 0}));
    EXPECT_EQ(ReadLastWriteTime(root / "f\\"), (FileTime{1, 0}));
}

TEST(WindowsTimes, LocalOffsetIsWithinTheWorldsTimeZones) {
    const auto offset = LocalTimeOffsetSeconds();
    ASSERT_TRUE(offset);
    EXPECT_LE(*offset, 14 * 3600);
    EXPECT_GE(*offset, -12 * 3600);
}

TEST(WindowsTimes, FileTimesBeyondNanosecondsKeepTheirOrder) {
    // Wine keeps file times in the Linux file system, which cannot hold 1601, so the arithmetic is asked directly.
    EXPECT_EQ(windows::FileTimeOfSteps(0), (FileTime{-11'644'473'600, 0}));
    EXPECT_EQ(windows::FileTimeOfSteps(kStepsTo1970), FileTime{});
    // 2300 and 2400, beyond 64 bits of nanoseconds, stay apart and in order.
    const std::uint64_t year2300 = kStepsTo1970 + std::uint64_t{10'413'792'000} * 10'000'000;
    const std::uint64_t year2400 = kStepsTo1970 + std::uint64_t{13'569'465'600} * 10'000'000;
    EXPECT_LT(windows::FileTimeOfSteps(year2300), windows::FileTimeOfSteps(year2400));
    EXPECT_LT(windows::FileTimeOfSteps(std::numeric_limits<std::uint64_t>::max() - 1),
              windows::FileTimeOfSteps(std::numeric_limits<std::uint64_t>::max()));
}

TEST(WindowsTimeResolution, ByFileSystemName) {
    // exFAT cannot be mounted here (no loop devices), so its rule is checked by name only.
    EXPECT_EQ(windows::TimeResolutionOfFileSystem(L"FAT32"), 2 * kSecond);
    EXPECT_EQ(windows::TimeResolutionOfFileSystem(L"fat"), 2 * kSecond);
    EXPECT_EQ(windows::TimeResolutionOfFileSystem(L"FAT16"), 2 * kSecond);
    EXPECT_EQ(windows::TimeResolutionOfFileSystem(L"exFAT"), 10'000'000);
    EXPECT_EQ(windows::TimeResolutionOfFileSystem(L"NTFS"), 100);
    EXPECT_EQ(windows::TimeResolutionOfFileSystem(L"ReFS"), 100);
    EXPECT_EQ(windows::TimeResolutionOfFileSystem(L"FATX"), 100);
    EXPECT_EQ(windows::TimeResolutionOfFileSystem(L""), 100);
}

TEST(WindowsTimeResolution, OfARealFolder) {
    WindowsTestFolder root;
    // Wine names its drives' file system NTFS whatever the Linux file system below is.
    EXPECT_EQ(TimeResolution(root.path()), 100);
    EXPECT_EQ(TimeResolution(root / "missing\\deeper"), 100);
}

TEST(WindowsIdentity, SameFolderWhateverTheSpelling) {
    WindowsTestFolder root;
    testing::MakeFolder(root / "a");
    testing::MakeFolder(root / "b");
    const auto a = ReadFolderIdentity(root / "a");
    ASSERT_TRUE(a);
    EXPECT_EQ(ReadFolderIdentity(root / "a\\"), a);
    EXPECT_EQ(ReadFolderIdentity(root / "b\\..\\a"), a);
    EXPECT_NE(ReadFolderIdentity(root / "b"), a);
    EXPECT_EQ(ReadFolderIdentity(root / "missing"), std::nullopt);
}

} // namespace
} // namespace quillmere::platform
