// SPDX-License-Identifier: GPL-3.0-or-later
// What a copy carries besides its data: the user's extended attributes, the access ACL, the setgid bit, and never
// the program's own mark; where the destination keeps no ACL, no one gets more than the ACL gave them.
#include "platform/FileCopy.h"
#include "platform/TemporaryName.h"
#include "platform/posix/AccessAcl.h"
#include "platform/posix/TemporarySibling.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/CopyAsFound.h"
#include "tests/support/FileMetadata.h"
#include "tests/support/MountedFolder.h"
#include "tests/support/TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>

namespace quillmere::platform {
namespace {

using test::TempDir;
using test::WriteFile;
using Attributes = std::map<std::string, std::string>;

using test::CopyAsFound;

// The mark a temporary file carries, as the program sets it (its name and value), read off a fresh one.
Attributes FreshMark(const std::string& folder) {
    const posix::UniqueFd opened(::open(folder.c_str(), O_PATH | O_DIRECTORY));
    const posix::TemporarySibling temporary(opened.Get());
    return test::UserAttributes(folder + "/" + temporary.Name());
}

// A source that was itself once a copy may carry a mark (left by an older version, or by a crash): it names none of
// the new copy's temporary files and stays behind, as does the new copy's own.
TEST(CopyMetadata, UserAttributesGoWithTheCopyAndNoMarkEver) {
    TempDir sources;
    const std::string source = sources / "f.txt";
    WriteFile(source, "data");
    const Attributes users = {{"user.comment", "kept"}, {"user.empty", ""}};
    for (const auto& [name, value] : users) {
        ASSERT_TRUE(test::SetAttribute(source, name, value));
    }
    for (const auto& [name, value] : FreshMark(sources.Path())) {
        ASSERT_TRUE(test::SetAttribute(source, name, TemporaryName("0123456789abcdef"))) << name;
    }
    test::OnTemporaryFolderAndTmpfs([&](const std::string& where, const std::string& folder) {
        const std::string added = folder + "/added.txt";
        const std::string replaced = folder + "/replaced.txt";
        WriteFile(replaced, "old");
        ASSERT_TRUE(CopyAsFound(source, added)) << where;
        ASSERT_TRUE(CopyAsFound(source, replaced)) << where;
        EXPECT_EQ(test::UserAttributes(added), users) << where;
        EXPECT_EQ(test::UserAttributes(replaced), users) << where;
    });
}

// Root ignores permission bits; an ordinary user cannot change the attributes of a file it may not write, so the
// copy of a read-only file must shed its mark all the same.
TEST(CopyMetadata, ACopyOfAReadOnlyFileMadeByAnOrdinaryUserKeepsNoMark) {
    TempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    if (const auto reason = test::CannotRunAsNobodyIn(dir.Path())) {
        GTEST_SKIP() << *reason;
    }
    ASSERT_EQ(::chown(dir.Path().c_str(), test::kNobody, test::kNobody), 0);
    const auto copied = test::RunAsNobody([&] {
        WriteFile(dir / "f.txt", "read only");
        ::chmod((dir / "f.txt").c_str(), 0444);
        return std::string(CopyAsFound(dir / "f.txt", dir / "copy.txt") ? "copied" : "not copied");
    });
    ASSERT_EQ(copied, "copied");
    EXPECT_TRUE(test::UserAttributes(dir / "copy.txt").empty());
    EXPECT_EQ(test::ModeOf(dir / "copy.txt"), 0444u);
}

// A file of mode 0600 whose ACL lets the group read through its mask only (mode shows 0640): where the destination
// keeps ACLs the copy has the same one, and the same effective rights.
TEST(CopyMetadata, TheAccessAclIsCopiedWhereTheDestinationKeepsAcls) {
    if (const auto reason = test::AclToolsSkipReason()) {
        GTEST_SKIP() << *reason;
    }
    TempDir sources;
    const std::string source = sources / "f.txt";
    WriteFile(source, "private");
    ::chmod(source.c_str(), 0600);
    ASSERT_TRUE(test::ModifyAcl(source, "m::r"));
    ASSERT_TRUE(test::ModifyAcl(source, "u:nobody:r"));
    test::OnTemporaryFolderAndTmpfs([&](const std::string& where, const std::string& folder) {
        const std::string copy = folder + "/f.txt";
        ASSERT_TRUE(CopyAsFound(source, copy)) << where;
        EXPECT_EQ(test::AclEntries(copy), test::AclEntries(source)) << where;
        EXPECT_EQ(test::ModeOf(copy), test::ModeOf(source)) << where;
    });
}

// A source without an ACL copied into a folder whose default ACL gives a named user rights: the copy has the
// source's permissions, not the folder's extra entries (which the group bits would open to that user).
TEST(CopyMetadata, ACopyOfAFileWithoutAclTakesNoneFromItsFolder) {
    if (const auto reason = test::AclToolsSkipReason()) {
        GTEST_SKIP() << *reason;
    }
    TempDir dir;
    test::MakeFolder(dir / "shared");
    ASSERT_TRUE(test::ModifyDefaultAcl(dir / "shared", "u:nobody:rw"));
    WriteFile(dir / "f.txt", "no acl");
    ::chmod((dir / "f.txt").c_str(), 0640);
    ASSERT_TRUE(CopyAsFound(dir / "f.txt", dir / "shared/f.txt"));
    EXPECT_FALSE(test::RawAccessAcl(dir / "shared/f.txt").has_value()) << test::AclEntries(dir / "shared/f.txt");
    EXPECT_EQ(test::ModeOf(dir / "shared/f.txt"), 0640u);
}

// Files with an ACL, and the permission bits a copy may take where no ACL can be kept: for the group, the least of
// what the group entry and each named user have (a named user may be in the group); for others, the least of what
// the other entry and each named entry have (anyone named falls among the others).
struct AclCase {
    mode_t mode;
    const char* entries; // for setfacl -m
    mode_t withoutAcl;
};

const AclCase kAclCases[] = {
    {0600, "m::r", 0600},              // the group reads only through the mask: the mask is not the group's right
    {0640, "u:nobody:-", 0600},        // a named user who may be in the group gets nothing
    {0644, "g:nogroup:-", 0640},       // a named group's members would fall among the others
    {0644, "u:nobody:rw,m::rw", 0644}, // the mask lets the named user write, not the group
    {0750, "m::rwx", 0750},            // nothing named, the group entry under a wider mask
    {0640, "u:nobody:r", 0640},        // a named user with the group's rights narrows nothing
};

TEST(AccessAcl, PermissionsWithoutTheAclGiveNoOneMore) {
    if (const auto reason = test::AclToolsSkipReason()) {
        GTEST_SKIP() << *reason;
    }
    TempDir dir;
    for (const AclCase& acl : kAclCases) {
        const std::string path = dir / "f.txt";
        WriteFile(path, "");
        ::chmod(path.c_str(), acl.mode);
        ASSERT_TRUE(test::ModifyAcl(path, acl.entries)) << acl.entries;
        const std::optional<std::string> raw = test::RawAccessAcl(path);
        ASSERT_TRUE(raw.has_value()) << acl.entries;
        EXPECT_EQ(posix::PermissionsWithoutAcl(*raw, test::ModeOf(path)), acl.withoutAcl) << acl.entries;
        std::filesystem::remove(path);
    }
    EXPECT_EQ(posix::PermissionsWithoutAcl("not an acl", 0755), 0700u) << "what cannot be read allows nothing";
}

// ramfs keeps permission bits but no ACL: the copy of each file above takes the narrowed bits.
TEST(AccessAcl, ACopyWhereNoAclIsKeptGivesNoOneMore) {
    if (const auto reason = test::AclToolsSkipReason()) {
        GTEST_SKIP() << *reason;
    }
    const test::MountedFolder ramfs(test::FolderKind::Ramfs);
    if (!ramfs.Mounted()) {
        GTEST_SKIP() << ramfs.Failure();
    }
    TempDir sources;
    for (const AclCase& acl : kAclCases) {
        const std::string source = sources / "f.txt";
        const std::string copy = ramfs.Path() + "/f.txt";
        WriteFile(source, "private");
        ::chmod(source.c_str(), acl.mode);
        ASSERT_TRUE(test::ModifyAcl(source, acl.entries)) << acl.entries;
        ASSERT_TRUE(CopyAsFound(source, copy)) << acl.entries;
        EXPECT_EQ(test::ModeOf(copy), acl.withoutAcl) << acl.entries;
        std::filesystem::remove(source);
        std::filesystem::remove(copy);
    }
}

// A copy keeps the setgid bit only where it belongs to the source's group: root copying into another user's folder
// gives the copy that folder's group, and the bit would hand the source's program a group it never had.
TEST(CopyMetadata, TheSetgidBitIsKeptOnlyWithTheSourcesGroup) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give the folder and the file other groups";
    }
    TempDir dir;
    test::MakeFolder(dir / "same");
    test::MakeFolder(dir / "other");
    ASSERT_EQ(::chown((dir / "other").c_str(), test::kNobody, test::kNobody), 0);
    WriteFile(dir / "tool", "#!/bin/sh\n");
    ::chmod((dir / "tool").c_str(), 02755);
    ASSERT_TRUE(CopyAsFound(dir / "tool", dir / "same/tool"));
    ASSERT_TRUE(CopyAsFound(dir / "tool", dir / "other/tool"));
    EXPECT_EQ(test::ModeOf(dir / "same/tool"), 02755u);
    EXPECT_EQ(test::ModeOf(dir / "other/tool"), 0755u);
}

// ramfs keeps no extended attributes: the copy is made without them.
TEST(CopyMetadata, ADestinationWithoutAttributesStillGetsTheCopy) {
    const test::MountedFolder ramfs(test::FolderKind::Ramfs);
    if (!ramfs.Mounted()) {
        GTEST_SKIP() << ramfs.Failure();
    }
    TempDir sources;
    WriteFile(sources / "f.txt", "data");
    ASSERT_TRUE(test::SetAttribute(sources / "f.txt", "user.comment", "not kept there"));
    ASSERT_TRUE(CopyAsFound(sources / "f.txt", ramfs.Path() + "/f.txt"));
    EXPECT_EQ(test::ReadFile(ramfs.Path() + "/f.txt"), "data");
    EXPECT_TRUE(test::UserAttributes(ramfs.Path() + "/f.txt").empty());
}

} // namespace
} // namespace quillmere::platform
