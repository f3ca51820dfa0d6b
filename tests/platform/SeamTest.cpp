// SPDX-License-Identifier: GPL-3.0-or-later
// What the copy promises just before it puts a file in place, and the flushes it must make, seen through the
// platform layer's flush, rename and mark calls: this test program has the linker route them here (--wrap), so
// that a test can make one fail or count them without a failing device.
#include "platform/FileCopy.h"
#include "platform/TemporaryName.h"
#include "platform/Trash.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/CopyAsFound.h"
#include "tests/support/FatMount.h"
#include "tests/support/TempDir.h"
#include "tests/support/TrashClient.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

struct Calls {
    std::function<int(int)> syncfs;
    std::function<int(int)> fsync;
    std::function<void(unsigned flags)> renamed;
    std::function<int()> fsetxattr;
};
Calls calls;

} // namespace

extern "C" {
int __real_syncfs(int fd);
int __real_fsync(int fd);
int __real_renameat2(int from, const char* old, int to, const char* name, unsigned flags);
int __real_fsetxattr(int fd, const char* name, const void* value, size_t size, int flags);

int __wrap_syncfs(int fd) {
    return calls.syncfs ? calls.syncfs(fd) : __real_syncfs(fd);
}
int __wrap_fsync(int fd) {
    return calls.fsync ? calls.fsync(fd) : __real_fsync(fd);
}
int __wrap_renameat2(int from, const char* old, int to, const char* name, unsigned flags) {
    if (calls.renamed) {
        calls.renamed(flags);
    }
    return __real_renameat2(from, old, to, name, flags);
}
int __wrap_fsetxattr(int fd, const char* name, const void* value, size_t size, int flags) {
    return calls.fsetxattr ? calls.fsetxattr() : __real_fsetxattr(fd, name, value, size, flags);
}
}

namespace quillmere::platform {
namespace {

using test::ReadFile;
using test::WriteFile;

class Seam : public ::testing::Test {
protected:
    void TearDown() override { calls = {}; }
    static int Fail(int error) {
        errno = error;
        return -1;
    }
    const test::PrivateHomeTrash trash;
    const test::TempDir dir;
};

std::vector<std::string> TemporariesIn(const std::string& folder) {
    std::vector<std::string> found;
    for (const std::string& name : test::NamesIn(folder)) {
        if (IsTemporaryName(name)) {
            found.push_back(name);
        }
    }
    return found;
}

TEST_F(Seam, AFailedFlushPutsNothingOfTheBatchInPlace) {
    WriteFile(dir / "new", "new");
    WriteFile(dir / "old", "old");
    calls.syncfs = [](int) { return Fail(EIO); };
    CopyBatch batch;
    batch.Add(test::AsFound(dir / "new", dir / "old"));
    batch.Add(test::AsFound(dir / "new", dir / "added"));
    std::vector<std::string> causes;
    batch.Commit([&](const CopyRequest&, const CopyOutcome& outcome) { causes.push_back(outcome.cause); });
    EXPECT_EQ(causes, std::vector<std::string>(2, "cannot flush the copies to the disk: " + SystemMessage(EIO)));
    EXPECT_EQ(ReadFile(dir / "old"), "old");
    EXPECT_FALSE(std::filesystem::exists(dir / "added"));
    EXPECT_EQ(TemporariesIn(dir.Path()), std::vector<std::string>{});
}

// A crash between the swap and the swap back would leave the user's file under the temporary name, which only the
// mark tells apart from a leftover.
TEST_F(Seam, AnUnmarkedTemporaryFileIsNeverSwappedIntoPlace) {
    WriteFile(dir / "new", "new");
    WriteFile(dir / "old", "old");
    calls.fsetxattr = [] { return Fail(ENOTSUP); };
    std::vector<unsigned> flags;
    calls.renamed = [&](unsigned used) { flags.push_back(used); };
    EXPECT_TRUE(test::CopyAsFound(dir / "new", dir / "old"));
    EXPECT_EQ(ReadFile(dir / "old"), "new");
    EXPECT_EQ(std::count(flags.begin(), flags.end(), unsigned{RENAME_EXCHANGE}), 0) << "renames: " << flags.size();
}

// The old file is linked into the trash before the flush; whatever the trash holds by the check must be the very
// file compared, or the copy is refused and nothing is kept for it.
TEST_F(Seam, TheTrashMustHoldTheFileCompared) {
    WriteFile(dir / "new", "new");
    WriteFile(dir / "old", "old");
    calls.syncfs = [&](int fd) {
        const std::string kept = trash.Path() + "/files/old";
        std::filesystem::remove(kept);
        WriteFile(kept, "another file");
        return __real_syncfs(fd);
    };
    CopyRequest request = test::AsFound(dir / "new", dir / "old");
    request.keepReplaced = true;
    const CopyOutcome outcome = CopyFileFailSafe(request);
    EXPECT_EQ(outcome.refusal, Refusal::DestinationChanged);
    EXPECT_NE(outcome.replaced, ReplacedFile::Kept);
    EXPECT_EQ(ReadFile(dir / "old"), "old");
}

TEST_F(Seam, ADestinationDeletedAfterTheCopyWasPreparedIsNeverWritten) {
    WriteFile(dir / "new", "new");
    WriteFile(dir / "old", "old");
    for (const bool keep : {false, true}) {
        CopyRequest request = test::AsFound(dir / "new", dir / "old");
        request.keepReplaced = keep;
        request.onStage = [&](CopyStage stage) {
            if (stage == CopyStage::DataWritten) {
                std::filesystem::remove(dir / "old");
            }
        };
        EXPECT_EQ(CopyFileFailSafe(request).refusal, Refusal::DestinationChanged) << keep;
        EXPECT_FALSE(std::filesystem::exists(dir / "old")) << keep;
        WriteFile(dir / "old", "old");
    }
}

// Every .trashinfo reaches the disk: by its own flush, or by the batch's flush of its whole file system.
TEST_F(Seam, EachTrashInfoIsFlushed) {
    WriteFile(dir / "old", "old");
    int flushes = 0;
    calls.fsync = [&](int fd) {
        ++flushes;
        return __real_fsync(fd);
    };
    const TrashEntry alone(dir / "old");
    ASSERT_TRUE(alone.Reserved()) << alone.Error();
    EXPECT_EQ(flushes, 1);
    const TrashEntry batched(dir / "old", true);
    ASSERT_TRUE(batched.Reserved()) << batched.Error();
    EXPECT_EQ(flushes, 1) << "the caller flushes the file system";
}

// FUSE's kernel side passes syncfs by: only an fsync of each file reaches the daemon that holds its data.
TEST_F(Seam, EachFileOnFuseIsFlushedByItself) {
    if (const auto reason = test::FatMount::SkipReason()) {
        GTEST_SKIP() << *reason;
    }
    const test::FatMount fat;
    if (!fat.Mounted()) {
        GTEST_SKIP() << fat.Failure();
    }
    WriteFile(dir / "a", "a");
    WriteFile(dir / "b", "b");
    int fsyncs = 0;
    int syncfss = 0;
    calls.fsync = [&](int fd) { return ++fsyncs, __real_fsync(fd); };
    calls.syncfs = [&](int fd) { return ++syncfss, __real_syncfs(fd); };
    CopyBatch batch;
    batch.Add(test::AsFound(dir / "a", fat.Path() + "/a"));
    batch.Add(test::AsFound(dir / "b", fat.Path() + "/b"));
    batch.Commit([](const CopyRequest&, const CopyOutcome& outcome) { EXPECT_TRUE(test::IsCopied(outcome)); });
    EXPECT_EQ(fsyncs, 2);
    EXPECT_EQ(syncfss, 0);
}

} // namespace
} // namespace quillmere::platform
