// SPDX-License-Identifier: GPL-3.0-or-later
// The quillmere-sync program itself, run as a user runs it.
#include "tests/support/FatMount.h"
#include "tests/support/TempDir.h"
#include "tests/support/TrashClient.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace quillmere::test {
namespace {

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Starts the program with args; its standard output goes to outFd (a file or a pipe), its errors to errFd. A
// launcher (a shell that sets a limit, say) may run it, given the program and args after its own arguments.
pid_t Start(const std::vector<std::string>& args, int outFd, int errFd, const std::vector<std::string>& launcher = {}) {
    std::vector<std::string> all = launcher;
    all.push_back(QUILLMERE_SYNC_PROGRAM);
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    // The stop signals, and the one a file-size limit sends, as a user's shell leaves them, even where the tests
    // run with one ignored (nohup).
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) {
        sigaddset(&stopSignals, signal);
    }
    posix_spawnattr_setsigdefault(&attributes, &stopSignals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t child = -1;
    const int failed = posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? child : -1;
}

int WaitFor(pid_t child) {
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

class Program : public ::testing::Test {
protected:
    Outcome Run(const std::vector<std::string>& args, const std::vector<std::string>& launcher = {}) {
        const std::string outPath = dir / "stdout";
        const std::string errPath = dir / "stderr";
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        Outcome outcome;
        outcome.exitCode = WaitFor(Start(args, out, err, launcher));
        close(out);
        close(err);
        outcome.out = ReadFile(outPath);
        outcome.err = ReadFile(errPath);
        return outcome;
    }

    // Writes a file under one of the two folders, making its subfolder.
    void Put(const std::string& path, const std::string& text, std::int64_t seconds) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        WriteFile(path, text);
        SetLastWriteNs(path, seconds * 1'000'000'000);
    }

    TempDir dir;
    TempDir trees;
    std::string one = trees / "one";
    std::string two = trees / "two";
    void SetUp() override {
        MakeFolder(one);
        MakeFolder(two);
    }
};

TEST_F(Program, HelpAndVersion) {
    const Outcome help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("usage: quillmere-sync [--direction both|1to2|2to1] [--dry-run] [--no-trash] "
                             "[--watch] [--every SECONDS] FOLDER1 FOLDER2\n",
                             0),
              0u);
    EXPECT_EQ(help.err, "");
    const Outcome version = Run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "quillmere-sync " QUILLMERE_VERSION "\n");
}

// Every wrong argument is told apart by the argument reading; here the program's answer to each kind: a wrong
// argument gives its cause and where the usage is, a folder that is no folder one line naming it as typed.
TEST_F(Program, WrongArgumentsGiveTheirCauseAndTouchNothing) {
    Put(one + "/a.txt", "a", 1'700'000'000);
    WriteFile(trees / "plain-file", "not a folder");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--turbo", one, two}, "quillmere-sync: unknown option: --turbo\nTry 'quillmere-sync --help'.\n"},
        {{one}, "quillmere-sync: missing argument: FOLDER2\nTry 'quillmere-sync --help'.\n"},
        {{one, trees / "missing"}, "quillmere-sync: FOLDER2 '" + trees / "missing" + "' does not exist\n"},
        {{trees / "plain-file//", two}, "quillmere-sync: FOLDER1 '" + trees / "plain-file//" + "' is not a folder\n"},
    };
    for (const auto& [args, err] : cases) {
        const Outcome outcome = Run(args);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, err);
    }
    EXPECT_FALSE(std::filesystem::exists(two + "/a.txt"));
    EXPECT_FALSE(std::filesystem::exists(trees / "missing"));
}

// A pass between them would copy the whole of FOLDER1 into its own subfolder, and again at every pass.
TEST_F(Program, FoldersInsideEachOtherAreRefusedBeforeAnyPass) {
    Put(one + "/sub/a.txt", "a", 1'700'000'000);
    Put(one + "/b.txt", "b", 1'700'000'000);
    std::filesystem::create_directory_symlink(one + "/sub", trees / "link");
    const std::string sub = one + "/sub";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{one, sub}, "FOLDER2 '" + sub + "' lies inside FOLDER1 '" + one + "'"},
        {{sub, one + "/"}, "FOLDER1 '" + sub + "' lies inside FOLDER2 '" + one + "/'"},
        {{"--every=5", one, trees / "link"}, "FOLDER2 '" + trees / "link" + "' lies inside FOLDER1 '" + one + "'"},
        {{one, one}, "FOLDER1 '" + one + "' and FOLDER2 '" + one + "' are the same folder"},
    };
    for (const auto& [args, problem] : cases) {
        const Outcome outcome = Run(args);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, "quillmere-sync: " + problem + "\n");
    }
    EXPECT_EQ(NamesIn(sub), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(NamesIn(one), (std::vector<std::string>{"b.txt", "sub"}));
}

TEST_F(Program, OnePassPrintsEachCopyAndASummary) {
    Put(one + "/sub/a.txt", "a", 1'700'000'000);
    Put(one + "/b.txt", "new b", 1'700'000'100);
    Put(two + "/deep/b.txt", "old b", 1'700'000'000);
    const Outcome outcome = Run({one + "//", two});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "");
    const std::string copies = "copied " + one + "/sub/a.txt -> " + two + "/a.txt\n" + "trash " + two +
                               "/deep/b.txt\n" + "copied " + one + "/b.txt -> " + two + "/deep/b.txt\n";
    ASSERT_EQ(outcome.out.substr(0, copies.size()), copies);
    EXPECT_EQ(
        outcome.out.substr(copies.size())
            .rfind("pass: 4 folders, 3 files listed, 1 pairs compared, 2 copied, 1 kept in the Trash, 0 not kept, "
                   "0 refused, 0 failed, 0 not read in ",
                   0),
        0u)
        << outcome.out;
    EXPECT_EQ(ReadFile(two + "/deep/b.txt"), "new b");
    EXPECT_EQ(ReadFile(two + "/a.txt"), "a");
}

TEST_F(Program, DryRunPrintsTheCopiesOfARealRunAndWritesNothing) {
    Put(one + "/x/chain.txt", "newest", 1'700'000'300);
    Put(one + "/y/chain.txt", "oldest", 1'700'000'000);
    Put(two + "/chain.txt", "middle", 1'700'000'100);
    Put(two + "/only2.txt", "2", 1'700'000'000);
    for (const char* direction : {"both", "1to2", "2to1"}) {
        const Outcome dry = Run({"--dry-run", "--direction", direction, one, two});
        EXPECT_EQ(ReadFile(two + "/chain.txt"), "middle");
        EXPECT_FALSE(std::filesystem::exists(one + "/only2.txt"));
        EXPECT_EQ(dry.exitCode, 0);
        const std::size_t copiesEnd = dry.out.find("dry run: ");
        ASSERT_NE(copiesEnd, std::string::npos) << dry.out;

        TempDir backup;
        std::filesystem::copy(trees.Path(), backup.Path(), std::filesystem::copy_options::recursive);
        const Outcome real = Run({"--direction", direction, one, two});
        EXPECT_EQ(real.exitCode, 0);
        EXPECT_EQ(real.out.substr(0, real.out.find("pass: ")), dry.out.substr(0, copiesEnd)) << direction;
        // Put the trees back as they were for the next direction.
        std::filesystem::remove_all(trees.Path());
        std::filesystem::copy(backup.Path(), trees.Path(), std::filesystem::copy_options::recursive);
    }
}

// The test that counts: what a pass replaces is in the home trash, where an independent client (trash-cli) lists
// each file with its place and deletion date and puts it back. A dry run tells the same; --no-trash keeps nothing.
TEST_F(Program, ReplacedFilesGoToTheTrashWhereTrashCliListsAndRestoresThem) {
    if (const auto reason = TrashCliSkipReason()) {
        GTEST_SKIP() << *reason;
    }
    Put(one + "/a.txt", "new a", 1'700'000'100);
    Put(two + "/a.txt", "old a", 1'700'000'000);
    Put(one + "/sub/b.txt", "old b", 1'700'000'000);
    Put(two + "/b.txt", "new b", 1'700'000'100);
    const std::string lines = "trash " + two + "/a.txt\ncopied " + one + "/a.txt -> " + two + "/a.txt\ntrash " + one +
                              "/sub/b.txt\ncopied " + two + "/b.txt -> " + one + "/sub/b.txt\n";
    const Outcome dry = Run({"--dry-run", one, two});
    EXPECT_EQ(dry.out.substr(0, lines.size()), lines);
    EXPECT_NE(dry.out.find(", 2 to copy, 2 to keep in the Trash, "), std::string::npos) << dry.out;

    const std::string before = LocalTimeAsListed();
    const Outcome real = Run({one, two});
    const std::string after = LocalTimeAsListed();
    EXPECT_EQ(real.exitCode, 0) << real.err;
    EXPECT_EQ(real.out.substr(0, lines.size()), lines);
    EXPECT_NE(real.out.find(", 2 copied, 2 kept in the Trash, "), std::string::npos) << real.out;
    EXPECT_EQ(CheckKeptAndRestore({{two + "/a.txt", "old a"}, {one + "/sub/b.txt", "old b"}}, before, after), "");

    const Outcome outright = Run({"--no-trash", one, two});
    EXPECT_EQ(outright.out.find("trash "), std::string::npos) << outright.out;
    EXPECT_NE(outright.out.find(", 2 copied, 0 kept in the Trash, "), std::string::npos) << outright.out;
    EXPECT_TRUE(ListedDatesOf(TrashList(), two + "/a.txt").empty());
}

// A hangup (the terminal closed) stops as cleanly as a request to terminate: a copy is never cut off halfway.
TEST_F(Program, EveryStopsCleanlyOnSigtermAndHangup) {
    Put(one + "/a.txt", "a", 1'700'000'000);
    for (const int signal : {SIGTERM, SIGHUP}) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const int err = open((dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const pid_t child = Start({"--every", "3600", one, two}, pipeFds[1], err);
        close(pipeFds[1]);
        close(err);
        ASSERT_GT(child, 0);
        // Wait for the first pass to end (its summary line), then ask the program to stop while it waits.
        std::string out;
        char buffer[256];
        while (out.find("pass: ") == std::string::npos || out.back() != '\n') {
            const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
            ASSERT_GT(got, 0) << out;
            out.append(buffer, static_cast<std::size_t>(got));
        }
        kill(child, signal);
        EXPECT_EQ(WaitFor(child), 0) << strsignal(signal);
        close(pipeFds[0]);
        EXPECT_EQ(ReadFile(two + "/a.txt"), "a");
        EXPECT_EQ(ReadFile(dir / "stderr"), "");
    }
}

// Reads fd into out until out holds count lines starting with start, or seconds pass; false then.
bool ReadUntil(int fd, std::string& out, const std::string& start, std::size_t count, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    const auto lines = [&] {
        std::istringstream text(out);
        std::size_t found = 0;
        for (std::string line; std::getline(text, line);) {
            found += line.starts_with(start) ? 1 : 0;
        }
        return found;
    };
    while (lines() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        char buffer[256];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            return false;
        }
        out.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

// A save is copied within the quiet rule's few seconds; the pass its copy sets off finds nothing, and then no
// pass runs while nothing changes, until a signal ends the program cleanly.
TEST_F(Program, WatchCopiesEachChangeSoonAndIsIdleOtherwise) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const int err = open((dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const pid_t child = Start({"--watch", one, two}, pipeFds[1], err);
    close(pipeFds[1]);
    close(err);
    ASSERT_GT(child, 0);
    std::string out;
    ASSERT_TRUE(ReadUntil(pipeFds[0], out, "pass: ", 1, 30)) << out;
    Put(one + "/saved.txt", "saved", 1'700'000'000);
    EXPECT_TRUE(ReadUntil(pipeFds[0], out, "copied ", 1, 15)) << out;
    EXPECT_TRUE(ReadUntil(pipeFds[0], out, "pass: ", 3, 15)) << "the follow-up pass: " << out;
    EXPECT_FALSE(ReadUntil(pipeFds[0], out, "pass: ", 4, 3)) << "no pass while nothing changes: " << out;
    kill(child, SIGTERM);
    EXPECT_EQ(WaitFor(child), 0);
    close(pipeFds[0]);
    EXPECT_EQ(ReadFile(two + "/saved.txt"), "saved");
    EXPECT_EQ(ReadFile(dir / "stderr"), "");
}

// Many small files for a pass to copy, so that it is still copying when a test cuts it off.
void PutMany(const std::string& folder, int count) {
    for (int i = 0; i < count; ++i) {
        WriteFile(folder + "/f" + std::to_string(i), "x");
    }
}

std::size_t CountLines(const std::string& text, const std::string& start) {
    std::istringstream lines(text);
    std::size_t count = 0;
    for (std::string line; std::getline(lines, line);) {
        count += line.starts_with(start) ? 1 : 0;
    }
    return count;
}

// The files a pass has put in place: its temporary files begin with "~".
std::size_t CountCopies(const std::string& folder) {
    const std::vector<std::string> names = NamesIn(folder);
    return static_cast<std::size_t>(
        std::count_if(names.begin(), names.end(), [](const std::string& name) { return !name.starts_with("~"); }));
}

// Starts one pass over many files with its output going to the file out, and returns once it has put its first
// copies in place, frozen with SIGSTOP, so that the test cuts it off mid-pass.
pid_t StartAndFreezeMidPass(const std::string& one, const std::string& two, const std::string& out) {
    const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int errFd = open("/dev/null", O_WRONLY);
    const pid_t child = Start({one, two}, outFd, errFd);
    close(outFd);
    close(errFd);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (child > 0 && CountCopies(two) < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    kill(child, SIGSTOP);
    return child;
}

// A pass a signal stops before its work is done does not claim success: its status is 128 and the signal's
// number, and every copy it made is printed.
TEST_F(Program, AStoppedPassExitsWithTheSignalsStatus) {
    for (const int signal : {SIGTERM, SIGINT}) {
        std::filesystem::remove_all(two);
        MakeFolder(two);
        PutMany(one, 1000);
        const pid_t child = StartAndFreezeMidPass(one, two, dir / "stdout");
        ASSERT_GT(child, 0);
        kill(child, signal);
        kill(child, SIGCONT);
        EXPECT_EQ(WaitFor(child), 128 + signal) << strsignal(signal);
        const std::string out = ReadFile(dir / "stdout");
        EXPECT_NE(out.find(", stopped\n"), std::string::npos) << out;
        EXPECT_LT(CountCopies(two), 1000u) << "cut off before its end";
        EXPECT_EQ(CountLines(out, "copied "), CountCopies(two));
    }
}

// Killed outright, the log still tells every copy but the one in hand: each line is written out as it is printed.
TEST_F(Program, AKilledRunsLogHoldsTheCopiesItMade) {
    PutMany(one, 1000);
    for (int round = 0; round < 2; ++round) {
        std::filesystem::remove_all(two);
        MakeFolder(two);
        const pid_t child = StartAndFreezeMidPass(one, two, dir / "stdout");
        ASSERT_GT(child, 0);
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const std::size_t lines = CountLines(ReadFile(dir / "stdout"), "copied ");
        const std::size_t copies = CountCopies(two);
        EXPECT_LE(lines, copies);
        EXPECT_GE(lines + 1, copies) << "round " << round;
    }
}

// A draft dated a year ahead (a wrong clock somewhere) must not replace today's edit, silently and again after
// every edit for a year.
TEST_F(Program, AFileDatedAYearAheadIsNotCopiedAndTheStatusSaysSo) {
    const auto now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    Put(one + "/draft.txt", "draft", now + 365 * 24 * 3600);
    Put(two + "/draft.txt", "today's edit", now);
    const Outcome outcome = Run({one, two});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err, "failed " + one + "/draft.txt -> " + two + "/draft.txt: dated in the future\n");
    EXPECT_EQ(ReadFile(two + "/draft.txt"), "today's edit");
    EXPECT_NE(outcome.out.find(", 0 copied, 0 kept in the Trash, 0 not kept, 1 refused, "), std::string::npos)
        << outcome.out;
}

// Another program's pass holds one of the folders (here the test itself holds it, as a pass does).
TEST_F(Program, APassOnFoldersAnotherPassHoldsRunsNone) {
    Put(one + "/a.txt", "a", 1'700'000'000);
    const int held = open(two.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    const Outcome outcome = Run({one, two});
    close(held);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err, "quillmere-sync: another pass is running on these folders\n");
    EXPECT_FALSE(std::filesystem::exists(two + "/a.txt"));
    EXPECT_EQ(Run({one, two}).exitCode, 0) << "free again";
}

// A file the destination cannot take, for lack of room or under a file-size limit, is one failed copy with the
// system's words for it: the pass goes on with the other files, prints its summary, leaves no temporary file
// behind, and the exit status says that something failed, and at which step.
void ExpectOneFailedCopy(const Outcome& outcome, const std::string& one, const std::string& two, int error) {
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err, "failed " + one + "/big.bin -> " + two +
                               "/big.bin: cannot write the temporary file: " + std::strerror(error) + "\n");
    EXPECT_NE(outcome.out.find("copied " + one + "/small.txt -> " + two + "/small.txt\n"), std::string::npos);
    EXPECT_NE(outcome.out.find(", 1 copied, 0 kept in the Trash, 0 not kept, 0 refused, 1 failed, 0 not read in "),
              std::string::npos)
        << outcome.out;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(two)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"small.txt"});
}

TEST_F(Program, AFullDestinationIsAFailedCopy) {
    if (geteuid() != 0 || RunProgram("mount", {"-t", "tmpfs", "-o", "size=4m", "tmpfs", two}) != 0) {
        GTEST_SKIP() << "needs root and a tmpfs mount, to have a small file system to fill";
    }
    Put(one + "/big.bin", std::string(6 << 20, 'b'), 1'700'000'000);
    Put(one + "/small.txt", "small", 1'700'000'000);
    const Outcome outcome = Run({one, two});
    ExpectOneFailedCopy(outcome, one, two, ENOSPC);
    RunProgram("umount", {two});
}

TEST_F(Program, AFileLargerThanTheSizeLimitIsAFailedCopy) {
    Put(one + "/big.bin", std::string(1 << 20, 'b'), 1'700'000'000);
    Put(one + "/small.txt", "small", 1'700'000'000);
    // ulimit -f counts blocks of 512 bytes in dash, 1024 in bash: a limit below the big file either way.
    const Outcome outcome = Run({one, two}, {"/bin/sh", "-c", "ulimit -f 64 && exec \"$0\" \"$@\""});
    ExpectOneFailedCopy(outcome, one, two, EFBIG);
}

// One line is always one record, whatever the names hold.
TEST_F(Program, ControlCharactersInNamesAreEscaped) {
    Put(one + "/a\ncopied x -> y\x01", "a", 1'700'000'000);
    const Outcome outcome = Run({one, two});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.out.substr(0, outcome.out.find('\n') + 1),
              "copied " + one + "/a\\ncopied x -> y\\x01 -> " + two + "/a\\ncopied x -> y\\x01\n");
    EXPECT_EQ(std::count(outcome.out.begin(), outcome.out.end(), '\n'), 2) << "one copy and the summary";
}

} // namespace
} // namespace quillmere::test
