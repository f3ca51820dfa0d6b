// SPDX-License-Identifier: GPL-3.0-or-later
// A copy asked to keep the file it replaces: a file that cannot be kept is not replaced, and a copy killed midway
// leaves no trash entry. (What is kept is read back with trash-cli after real passes: tests/cli, tests/engine.)
#include "platform/FileCopy.h"
#include "tests/platform/FileTestNames.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TrashClient.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace quillmere::platform {
namespace {

class KeepReplaced : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteFile(source, "new");
        test::WriteFile(destination, "old");
    }
    CopyRequest Request() const {
        return CopyRequest{.source = source,
                           .destination = destination,
                           .destinationAsCompared = ReadFileFacts(destination),
                           .keepReplaced = true};
    }

    const test::PrivateHomeTrash trash;
    const test::TempDir dir;
    const std::string source = dir / "source.txt";
    const std::string destination = dir / "f.txt";
};

TEST_F(KeepReplaced, AFileThatCannotBeKeptIsNotReplaced) {
    test::WriteFile(trash.Path(), "a file where the trash should be");
    const CopyOutcome outcome = CopyFileFailSafe(Request());
    EXPECT_EQ(outcome.status, CopyStatus::Failed);
    EXPECT_NE(outcome.cause.find(trash.Path()), std::string::npos) << outcome.cause;
    EXPECT_EQ(ReadFile(destination), "old");
    EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"f.txt", "source.txt"}));
}

// Killed while its data is written (a long copy, a service manager's SIGKILL), a copy leaves no trash entry:
// trash clients would list one without its file, which cannot be restored.
TEST_F(KeepReplaced, ACopyKilledWhileWritingLeavesNoTrashEntry) {
    const auto finished = test::RunInChild([&] {
        CopyRequest request = Request();
        request.onStage = [](CopyStage) { std::raise(SIGKILL); };
        CopyFileFailSafe(request);
        return std::string("not killed");
    });
    ASSERT_FALSE(finished.has_value());
    EXPECT_FALSE(std::filesystem::exists(trash.Path() + "/info") && !NamesIn(trash.Path() + "/info").empty());
    EXPECT_EQ(ReadFile(destination), "old");
}

} // namespace
} // namespace quillmere::platform
