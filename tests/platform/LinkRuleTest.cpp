// SPDX-License-Identifier: GPL-3.0-or-later
// A link is followed only where its owner is the user running the program, root, or also owns what it leads
// to, wherever it lies on a path and however links are chained.
#include "platform/posix/LinkRule.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace quillmere::platform::posix {
namespace {

class LinkRuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root to give files and links to the user nobody";
        }
        test::MakeFolder(dir / "users");
        test::WriteFile(dir / "users/file", "the user's");
        test::MakeFolder(dir / "roots");
        test::WriteFile(dir / "roots/secret", "root's");
        for (const char* path : {"users", "users/file"}) {
            Own(dir / path);
        }
        Link("roots/secret", "root-to-root", false);
        Link("users/file", "user-to-user", true);
        Link("roots/secret", "user-to-root", true);
        Link("roots", "user-to-root-folder", true);
        Link("user-to-root", "root-to-user-link", false);
        Link("root-to-root", "user-to-root-link", true);
    }
    static void Own(const std::string& path) { ASSERT_EQ(::lchown(path.c_str(), test::kNobody, test::kNobody), 0); }
    void Link(const std::string& target, const std::string& name, bool byTheUser) {
        std::filesystem::create_symlink(dir / target, dir / name);
        if (byTheUser) {
            Own(dir / name);
        }
    }
    test::TempDir dir;
};

TEST_F(LinkRuleTest, LinksAreFollowedOnlyByTheRule) {
    const std::pair<const char*, bool> cases[] = {
        {"root-to-root", true},                // the running user's (and root's) own link
        {"user-to-user", true},                // the link's owner owns what it leads to
        {"user-to-root", false},               // planted towards a file its owner does not own
        {"user-to-root-folder/secret", false}, // such a link on the way to a file
        {"root-to-user-link", false},          // such a link further along a chain
        {"user-to-root-link", false},          // a chain its first owner does not own the end of
        {"users/file", true},                  // no link at all
    };
    for (const auto& [path, followed] : cases) {
        const OpenedFile opened = OpenReached(AT_FDCWD, dir / path, O_RDONLY);
        EXPECT_EQ(opened.reach.Ok(), followed) << path;
        EXPECT_EQ(opened.reach.linkRefused, !followed) << path;
        EXPECT_EQ(opened.fd.Valid(), followed) << path;
    }
}

// Run by an ordinary user, so that root's own links are told apart from the running user's: root's are followed,
// another user's towards root's file are not, and a link leading on to a link that leads nowhere is taken as
// itself, through which nothing is read or written.
TEST_F(LinkRuleTest, AnOrdinaryUserFollowsRootsLinksAndNoOneElses) {
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod((dir / "roots").c_str(), 0755);
    ::chmod((dir / "roots/secret").c_str(), 0644);
    if (const auto reason = test::CannotRunAsNobodyIn(dir.Path())) {
        GTEST_SKIP() << *reason;
    }
    constexpr unsigned kDaemon = 1; // a third user, neither root nor the one running
    std::filesystem::create_symlink(dir / "roots/secret", dir / "daemon-to-root");
    ASSERT_EQ(::lchown((dir / "daemon-to-root").c_str(), kDaemon, kDaemon), 0);
    test::WriteFile(dir / "daemons", "the daemon's");
    ASSERT_EQ(::chown((dir / "daemons").c_str(), kDaemon, kDaemon), 0);
    std::filesystem::create_symlink(dir / "daemons", dir / "root-to-daemon");
    std::filesystem::create_symlink(dir / "nowhere", dir / "root-to-nowhere");
    std::filesystem::create_symlink(dir / "root-to-nowhere", dir / "user-to-dangling-link");
    Own(dir / "user-to-dangling-link");
    const std::pair<const char*, const char*> cases[] = {
        {"root-to-daemon", "followed"},               // root's link, to a file neither root's nor the user's
        {"user-to-root", "followed"},                 // the running user's own
        {"daemon-to-root", "not followed"},           // another user's, towards a file that user does not own
        {"user-to-dangling-link", "the link itself"}, // it leads nowhere in the end
    };
    for (const auto& [path, expected] : cases) {
        const auto judged = test::RunAsNobody([&, path = path] {
            const ReachedEntry entry = ReachEntry(AT_FDCWD, dir / path);
            if (entry.reach.linkRefused) {
                return std::string("not followed");
            }
            const bool link = entry.info && S_ISLNK(entry.info->st_mode);
            return std::string(!entry.reach.Ok() ? "failed" : link ? "the link itself" : "followed");
        });
        EXPECT_EQ(judged, expected) << path;
    }
}

TEST_F(LinkRuleTest, TheRunningUsersOwnLinksAreFollowed) {
    ::chmod(dir.Path().c_str(), 0755);
    if (const auto reason = test::CannotRunAsNobodyIn(dir.Path())) {
        GTEST_SKIP() << *reason;
    }
    const auto opened = test::RunAsNobody(
        [&] { return std::string(OpenReached(AT_FDCWD, dir / "user-to-root", O_RDONLY).reach.Ok() ? "yes" : "no"); });
    EXPECT_EQ(opened, "yes");
}

} // namespace
} // namespace quillmere::platform::posix
