// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"
#include "tests/support/TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <limits>

namespace quillmere::platform {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(Attributes, FolderHiddenLinkAndReadOnlyMapToWindowsBits) {
    TempDir dir;
    test::MakeFolder(dir / "plain");
    test::MakeFolder(dir / ".hidden");
    WriteFile(dir / "file", "x");
    WriteFile(dir / "locked", "x");
    ::chmod((dir / "locked").c_str(), 0444);
    std::filesystem::create_directory_symlink(dir / "plain", dir / "link");

    EXPECT_EQ(ReadAttributes(dir / "plain"), attr::Directory);
    EXPECT_EQ(ReadAttributes(dir / "plain/"), attr::Directory);
    EXPECT_EQ(ReadAttributes(dir / ".hidden/"), attr::Directory | attr::Hidden);
    EXPECT_EQ(ReadAttributes(dir / "file"), 0u);
    // Decided from the bits, so it binds root too.
    EXPECT_EQ(ReadAttributes(dir / "locked"), attr::ReadOnly);
    // A trailing "/" must not make lstat look through the link.
    EXPECT_EQ(ReadAttributes(dir / "link/"), attr::Directory | attr::Alias);
    EXPECT_EQ(ReadAttributes(dir / "missing"), std::nullopt);
}

TEST(Attributes, DanglingLinkIsAnAliasOnly) {
    TempDir dir;
    std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");
    EXPECT_EQ(ReadAttributes(dir / "dangling"), attr::Alias);
    EXPECT_FALSE(CanOpenExistingFile(dir / "dangling"));
}

TEST(Attributes, RootFolderIsSlashNotAnOrdinaryFolder) {
    TempDir dir;
    EXPECT_TRUE(IsRootFolder("/"));
    EXPECT_FALSE(IsRootFolder(dir.Path()));
    EXPECT_FALSE(IsRootFolder(dir / "missing"));
}

TEST(Attributes, OnlyRegularFilesCanBeOpened) {
    TempDir dir;
    WriteFile(dir / "file", "x");
    ::chmod((dir / "file").c_str(), 0);
    ::mkfifo((dir / "pipe").c_str(), 0600);
    std::filesystem::create_symlink(dir / "file", dir / "link");
    EXPECT_TRUE(CanOpenExistingFile(dir / "file"));
    EXPECT_TRUE(CanOpenExistingFile(dir / "link"));
    EXPECT_FALSE(CanOpenExistingFile(dir.Path()));
    EXPECT_FALSE(CanOpenExistingFile(dir / "pipe"));
    EXPECT_FALSE(CanOpenExistingFile(dir / "missing"));
}

TEST(Attributes, LastWriteTimeKeepsNanoseconds) {
    TempDir dir;
    WriteFile(dir / "file", "x");
    test::SetLastWriteNs(dir / "file", 1'600'000'000'123'456'789);
    EXPECT_EQ(ReadLastWriteTime(dir / "file"), (FileTime{1'600'000'000, 123'456'789}));
    EXPECT_TRUE(ReadLastWriteTime(dir.Path()).has_value());
    EXPECT_EQ(ReadLastWriteTime(dir / "missing"), std::nullopt);
}

TEST(Attributes, TimesBeyondTheYear2262AreReadAsTheyAre) {
    TempDir dir;
    // 2300-01-01 and 2400-01-01: more seconds than 64 bits of nanoseconds can count.
    for (const std::int64_t seconds : {10'413'792'000, 13'569'465'600}) {
        WriteFile(dir / "future", "x");
        const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), 5}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "future").c_str(), times, 0), 0);
        EXPECT_EQ(ReadLastWriteTime(dir / "future"), (FileTime{seconds, 5}));
    }
}

TEST(Attributes, LocalTimeOffsetFollowsTheTimeZone) {
    const char* saved = std::getenv("TZ");
    const std::string restore = saved != nullptr ? saved : "";
    ::setenv("TZ", "UTC-3", 1); // POSIX sign: three hours east of UTC
    ::tzset();
    EXPECT_EQ(LocalTimeOffsetSeconds(), 3 * 3600);
    if (saved != nullptr) {
        ::setenv("TZ", restore.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

TEST(Attributes, FolderIdentityIsTheSameThroughALink) {
    TempDir dir;
    test::MakeFolder(dir / "a");
    test::MakeFolder(dir / "b");
    std::filesystem::create_directory_symlink(dir / "a", dir / "link");
    ASSERT_TRUE(ReadFolderIdentity(dir / "a").has_value());
    EXPECT_EQ(ReadFolderIdentity(dir / "link/"), ReadFolderIdentity(dir / "a"));
    EXPECT_NE(ReadFolderIdentity(dir / "b"), ReadFolderIdentity(dir / "a"));
    EXPECT_EQ(ReadFolderIdentity(dir / "missing"), std::nullopt);
}

TEST(Attributes, TemporaryFolderHasExactTimes) {
    // The test folders live on ext4, overlay or tmpfs here: all keep nanoseconds.
    TempDir dir;
    EXPECT_EQ(TimeResolution(dir.Path()), 1);
    EXPECT_EQ(TimeResolution(dir / "missing"), 1);
}

} // namespace
} // namespace quillmere::platform
