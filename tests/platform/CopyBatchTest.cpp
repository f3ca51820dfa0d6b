// SPDX-License-Identifier: GPL-3.0-or-later
// Copies made in one batch: none is in place before the batch's flush, each is told in the order added, a process
// killed before the commit leaves only its temporary files, and the data arrives whole whichever way the kernel
// lets it be copied.
#include "platform/FileCopy.h"
#include "platform/TemporaryName.h"
#include "tests/platform/FileTestNames.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/CopyAsFound.h"
#include "tests/support/TrashClient.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillmere::platform {
namespace {

TEST(CopyBatch, NothingIsInPlaceBeforeTheCommitAndEachCopyIsToldInOrder) {
    const test::TempDir dir;
    for (const char* name : {"a", "b", "c"}) {
        WriteFile(dir / (std::string("from-") + name), name);
    }
    WriteFile(dir / "b", "there already");
    CopyBatch batch;
    for (const char* name : {"a", "b", "c"}) {
        // An addition, as the pass found no file there: b is refused, the others go ahead.
        batch.Add(CopyRequest{.source = dir / (std::string("from-") + name), .destination = dir / name});
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "a"));
    EXPECT_FALSE(std::filesystem::exists(dir / "c"));
    std::vector<std::pair<std::string, CopyStatus>> told;
    batch.Commit([&](const CopyRequest& request, const CopyOutcome& outcome) {
        told.emplace_back(request.destination, outcome.status);
    });
    EXPECT_EQ(told,
              (std::vector<std::pair<std::string, CopyStatus>>{
                  {dir / "a", CopyStatus::Copied}, {dir / "b", CopyStatus::Refused}, {dir / "c", CopyStatus::Copied}}));
    EXPECT_EQ(ReadFile(dir / "a"), "a");
    EXPECT_EQ(ReadFile(dir / "b"), "there already");
    EXPECT_EQ(ReadFile(dir / "c"), "c");
    EXPECT_EQ(batch.Size(), 0u);
}

// Killed with its data written and not committed, a batch replacing kept files leaves every destination as it was,
// nothing in the trash, and only temporary files that no one holds any more, which a pass clears away.
TEST(CopyBatch, AProcessKilledBeforeTheCommitLeavesOnlyItsTemporaryFiles) {
    const test::PrivateHomeTrash trash;
    const test::TempDir dir;
    for (const char* name : {"a", "b"}) {
        WriteFile(dir / (std::string("new-") + name), "new");
        WriteFile(dir / name, "old");
    }
    const auto finished = test::RunInChild([&] {
        CopyBatch batch;
        for (const char* name : {"a", "b"}) {
            CopyRequest request = test::AsFound(dir / (std::string("new-") + name), dir / name);
            request.keepReplaced = true;
            batch.Add(request);
        }
        std::raise(SIGKILL);
        return std::string("not killed");
    });
    ASSERT_FALSE(finished.has_value());
    EXPECT_EQ(ReadFile(dir / "a"), "old");
    EXPECT_EQ(ReadFile(dir / "b"), "old");
    EXPECT_FALSE(std::filesystem::exists(trash.Path() + "/info") && !NamesIn(trash.Path() + "/info").empty());
    int leftovers = 0;
    for (const std::string& name : NamesIn(dir.Path())) {
        if (IsTemporaryName(name)) {
            ++leftovers;
            EXPECT_TRUE(RemoveLeftoverTemporary(dir / name)) << name;
        }
    }
    EXPECT_EQ(leftovers, 2);
    EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"a", "b", "new-a", "new-b"}));
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The kernel copies within a file system (or shares the blocks); across file systems the data goes through a
// buffer. Either way all of it arrives.
TEST(CopyBatch, TheWholeFileArrivesWhicheverWayTheKernelCopies) {
    const test::TempDir dir;
    const std::string big(600 * 1024 + 7, 'q');
    WriteFile(dir / "empty", "");
    WriteFile(dir / "big", big);
    std::vector<std::string> sources = {dir / "empty", dir / "big"};
    if (std::filesystem::is_directory("/dev/shm")) {
        const std::string elsewhere = "/dev/shm/quillmere-copy-test-" + std::to_string(::getpid());
        WriteFile(elsewhere, big);
        sources.push_back(elsewhere);
    }
    for (const std::string& source : sources) {
        const std::string expected = ReadWhole(source);
        const std::string destination = dir / "copy";
        std::filesystem::remove(destination);
        EXPECT_EQ(CopyFileFailSafe(test::AsFound(source, destination)).status, CopyStatus::Copied) << source;
        EXPECT_EQ(ReadWhole(destination), expected) << source;
    }
    if (sources.size() > 2) {
        std::filesystem::remove(sources.back());
    }
}

// A batch is flushed once it holds as many files as may stay open (two each, besides what the rest of the
// program holds) or as many bytes as one flush should wait for, and not one file later.
TEST(CopyBatch, IsFullAtItsFileCountOrItsSize) {
    const test::TempDir dir;
    WriteFile(dir / "small", "s");
    const auto counted = test::RunInChild([&] {
        const rlimit files{64 + 2 * 4, 64 + 2 * 4}; // room for four copies' files
        ::setrlimit(RLIMIT_NOFILE, &files);
        CopyBatch batch;
        std::string fullAt;
        for (int i = 1; i <= 4; ++i) {
            batch.Add(CopyRequest{.source = dir / "small", .destination = dir / ("copy" + std::to_string(i))});
            fullAt += batch.Full() ? "1" : "0";
        }
        return fullAt;
    });
    EXPECT_EQ(counted, "0001");
    for (const std::uint64_t size : {(std::uint64_t{64} << 20) - 1, std::uint64_t{64} << 20}) {
        std::filesystem::resize_file(dir / "small", size);
        CopyBatch batch;
        batch.Add(CopyRequest{.source = dir / "small", .destination = dir / "big"});
        EXPECT_EQ(batch.Full(), size == std::uint64_t{64} << 20) << size;
    }
}

} // namespace
} // namespace quillmere::platform
