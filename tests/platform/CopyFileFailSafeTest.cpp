// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"
#include "platform/posix/TemporarySibling.h"
#include "tests/platform/FileTestNames.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/CopyAsFound.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

namespace quillmere::platform {
namespace {

using test::CopyAsFound;

constexpr std::int64_t kSourceTime = 1'650'000'000'987'654'321;

unsigned ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

class CopyFileFailSafeTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeFolder(dir / "src");
        test::MakeFolder(dir / "dst");
        WriteFile(source, "new contents");
        ::chmod(source.c_str(), 0640);
        test::SetLastWriteNs(source, kSourceTime);
    }
    TempDir dir;
    std::string source = dir / "src/f.txt";
    std::string destination = dir / "dst/f.txt";
};

TEST_F(CopyFileFailSafeTest, NewFileKeepsTimeToTheNanosecondAndPermissions) {
    ASSERT_TRUE(CopyAsFound(source, destination));
    EXPECT_EQ(ReadFile(destination), "new contents");
    EXPECT_EQ(test::LastWriteNs(destination), kSourceTime);
    EXPECT_EQ(ModeOf(destination), 0640u);
    EXPECT_EQ(NamesIn(dir / "dst"), std::vector<std::string>{"f.txt"}) << "no temporary file may be left";
    EXPECT_EQ(test::LastWriteNs(source), kSourceTime);
}

TEST_F(CopyFileFailSafeTest, ReplacesAnExistingFile) {
    WriteFile(destination, "old contents that are longer");
    ASSERT_TRUE(CopyAsFound(source, destination));
    EXPECT_EQ(ReadFile(destination), "new contents");
    EXPECT_EQ(test::LastWriteNs(destination), kSourceTime);
}

TEST_F(CopyFileFailSafeTest, ReadOnlyDestinationIsKeptEvenForRoot) {
    WriteFile(destination, "old");
    ::chmod(destination.c_str(), 0444);
    EXPECT_FALSE(CopyAsFound(source, destination));
    EXPECT_EQ(ReadFile(destination), "old");
    EXPECT_EQ(NamesIn(dir / "dst"), std::vector<std::string>{"f.txt"});
}

TEST_F(CopyFileFailSafeTest, RefusesWhatCannotBeCopied) {
    test::MakeFolder(dir / "dst/folder");
    ::mkfifo((dir / "src/pipe").c_str(), 0600);
    EXPECT_FALSE(CopyAsFound(source, dir / "dst/folder")) << "a folder is no file to replace";
    EXPECT_FALSE(CopyAsFound(source, dir / "dst/")) << "a folder is no file to replace";
    EXPECT_FALSE(CopyAsFound(dir / "src", destination)) << "a folder is no source";
    EXPECT_FALSE(CopyAsFound(dir / "src/missing", destination));
    EXPECT_FALSE(CopyAsFound(dir / "src/pipe", destination)) << "a pipe must neither hang nor be copied";
    EXPECT_FALSE(CopyAsFound(source, source)) << "a file is not copied onto itself";
    EXPECT_EQ(ReadFile(source), "new contents");
    EXPECT_FALSE(CopyAsFound(source, dir / "dst/no/such/folder/f.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "dst/no")) << "no folder may be created";
    EXPECT_EQ(NamesIn(dir / "dst"), std::vector<std::string>{"folder"});
}

TEST_F(CopyFileFailSafeTest, LinkAsDestinationReplacesItsTargetAndStaysALink) {
    WriteFile(dir / "dst/real.txt", "old");
    std::filesystem::create_symlink("real.txt", destination);
    ASSERT_TRUE(CopyAsFound(source, destination));
    EXPECT_TRUE(std::filesystem::is_symlink(destination));
    EXPECT_EQ(ReadFile(dir / "dst/real.txt"), "new contents");
    EXPECT_EQ(test::LastWriteNs(dir / "dst/real.txt"), kSourceTime);
}

TEST_F(CopyFileFailSafeTest, ReplacedFileKeepsItsOwnerAndNewFileTakesItsFolders) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give files away";
    }
    WriteFile(destination, "old");
    ASSERT_EQ(::chown(destination.c_str(), test::kNobody, test::kNobody), 0);
    test::MakeFolder(dir / "users");
    ASSERT_EQ(::chown((dir / "users").c_str(), test::kNobody, test::kNobody), 0);

    ASSERT_TRUE(CopyAsFound(source, destination));
    ASSERT_TRUE(CopyAsFound(source, dir / "users/f.txt"));
    for (const std::string& copy : {destination, dir / "users/f.txt"}) {
        struct stat info {};
        ASSERT_EQ(::stat(copy.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, test::kNobody) << copy;
        EXPECT_EQ(info.st_gid, test::kNobody) << copy;
    }
}

TEST_F(CopyFileFailSafeTest, FailingWriteLeavesDestinationUntouchedAndNoTemporaryFile) {
    WriteFile(source, std::string(64 * 1024, 'n'));
    WriteFile(destination, "old");
    test::SetLastWriteNs(destination, 1'000'000'000);
    // A real failing write: with the file size limit below the source's size, write() fails with EFBIG.
    const auto result = test::RunInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16 * 1024, 16 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return std::string(CopyAsFound(source, destination) ? "copied" : "refused");
    });
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, "refused");
    EXPECT_EQ(ReadFile(destination), "old");
    EXPECT_EQ(test::LastWriteNs(destination), 1'000'000'000);
    EXPECT_EQ(NamesIn(dir / "dst"), std::vector<std::string>{"f.txt"});
}

TEST(TemporarySibling, IsClosedInProgramsStartedMeanwhile) {
    TempDir dir;
    const posix::UniqueFd folder(::open(dir.Path().c_str(), O_PATH | O_DIRECTORY));
    const posix::TemporarySibling temporary(folder.Get());
    ASSERT_TRUE(temporary.Valid());
    EXPECT_NE(::fcntl(temporary.Fd(), F_GETFD) & FD_CLOEXEC, 0);
}

} // namespace
} // namespace quillmere::platform
