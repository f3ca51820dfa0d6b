// SPDX-License-Identifier: GPL-3.0-or-later
// A pass that keeps replaced files, killed (SIGKILL) just before one of the calls by which it changes the disk, at
// each such call in turn: the next pass brings every file over, and leaves nothing of the killed one's behind,
// no temporary file and no trash entry that is empty, lacks its file or keeps a version a second time; trash-cli
// reads every entry. Tried where the old file is linked (the temporary folder, a tmpfs), moved (FAT) and copied (a
// bind mount on the home trash's drive) into the trash.
#include "platform/TemporaryName.h"
#include "tests/engine/TreeFiles.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/MountedFolder.h"
#include "tests/support/TrashClient.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <map>
#include <utility>

namespace {

// More than a pass of these cases makes.
constexpr long kMostCalls = 500;

// In the child only: the call before which it dies, and the calls counted so far.
long killAt = 0;
long counted = 0;

void Count() {
    if (killAt > 0 && ++counted >= killAt) {
        std::raise(SIGKILL);
    }
}

// The mode an opening passes on. Opening changes the disk only when it creates, and that is counted.
mode_t CountedMode(int flags, va_list arguments) {
    if ((flags & O_CREAT) == 0) {
        return 0;
    }
    Count();
    return static_cast<mode_t>(va_arg(arguments, unsigned));
}

} // namespace

extern "C" {
int __real_open(const char* path, int flags, ...);
int __real_openat(int folder, const char* path, int flags, ...);
int __real_link(const char* from, const char* to);
int __real_linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags);
int __real_rename(const char* from, const char* to);
int __real_renameat(int fromFolder, const char* from, int toFolder, const char* to);
int __real_renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags);
int __real_unlink(const char* path);
int __real_unlinkat(int folder, const char* path, int flags);
ssize_t __real_write(int fd, const void* data, size_t size);
int __real_fsync(int fd);
int __real_fflush(FILE* stream);
int __real_syncfs(int fd);
int __real_fsetxattr(int fd, const char* name, const void* value, size_t size, int flags);
int __real_fremovexattr(int fd, const char* name);
int __real_futimens(int fd, const timespec times[2]);
int __real_utimensat(int folder, const char* path, const timespec times[2], int flags);
int __real_fchmod(int fd, mode_t mode);
int __real_fchown(int fd, uid_t owner, gid_t group);
int __real_ftruncate(int fd, off_t size);
ssize_t __real_copy_file_range(int in, off_t* inAt, int out, off_t* outAt, size_t size, unsigned flags);
int __real_mkdir(const char* path, mode_t mode);

int __wrap_open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = CountedMode(flags, arguments);
    va_end(arguments);
    return __real_open(path, flags, mode);
}
int __wrap_openat(int folder, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = CountedMode(flags, arguments);
    va_end(arguments);
    return __real_openat(folder, path, flags, mode);
}
int __wrap_link(const char* from, const char* to) {
    Count();
    return __real_link(from, to);
}
int __wrap_linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
    Count();
    return __real_linkat(fromFolder, from, toFolder, to, flags);
}
int __wrap_rename(const char* from, const char* to) {
    Count();
    return __real_rename(from, to);
}
int __wrap_renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    Count();
    return __real_renameat(fromFolder, from, toFolder, to);
}
int __wrap_renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) {
    Count();
    return __real_renameat2(fromFolder, from, toFolder, to, flags);
}
int __wrap_unlink(const char* path) {
    Count();
    return __real_unlink(path);
}
int __wrap_unlinkat(int folder, const char* path, int flags) {
    Count();
    return __real_unlinkat(folder, path, flags);
}
ssize_t __wrap_write(int fd, const void* data, size_t size) {
    Count();
    return __real_write(fd, data, size);
}
int __wrap_fsync(int fd) {
    Count();
    return __real_fsync(fd);
}
// Buffered writes reach the disk here.
int __wrap_fflush(FILE* stream) {
    Count();
    return __real_fflush(stream);
}
int __wrap_syncfs(int fd) {
    Count();
    return __real_syncfs(fd);
}
int __wrap_fsetxattr(int fd, const char* name, const void* value, size_t size, int flags) {
    Count();
    return __real_fsetxattr(fd, name, value, size, flags);
}
int __wrap_fremovexattr(int fd, const char* name) {
    Count();
    return __real_fremovexattr(fd, name);
}
int __wrap_futimens(int fd, const timespec times[2]) {
    Count();
    return __real_futimens(fd, times);
}
int __wrap_utimensat(int folder, const char* path, const timespec times[2], int flags) {
    Count();
    return __real_utimensat(folder, path, times, flags);
}
int __wrap_fchmod(int fd, mode_t mode) {
    Count();
    return __real_fchmod(fd, mode);
}
int __wrap_fchown(int fd, uid_t owner, gid_t group) {
    Count();
    return __real_fchown(fd, owner, group);
}
int __wrap_ftruncate(int fd, off_t size) {
    Count();
    return __real_ftruncate(fd, size);
}
ssize_t __wrap_copy_file_range(int in, off_t* inAt, int out, off_t* outAt, size_t size, unsigned flags) {
    Count();
    return __real_copy_file_range(in, inAt, out, outAt, size, flags);
}
int __wrap_mkdir(const char* path, mode_t mode) {
    Count();
    return __real_mkdir(path, mode);
}
}

namespace quillmere::test {
namespace {

// One killed pass's folders: Folder 2 holds old versions of three files (one in a subfolder), Folder 1 newer ones
// and a file Folder 2 lacks. The names are the case's own, so that every case takes the same steps in the trash.
struct Case {
    std::string one;
    std::string two;
    std::vector<std::string> replaced; // below two
};

Case MakeCase(const std::string& localRoot, const std::string& remoteRoot, long point) {
    const std::string number = std::to_string(point);
    Case made{localRoot + "/k" + number + "/",
              remoteRoot + "/k" + number + "/",
              {"a" + number + ".txt", "b" + number + ".txt", "sub/c" + number + ".txt"}};
    for (const std::string& relative : made.replaced) {
        PutFile(made.two + relative, "old " + relative, kBaseTime);
        PutFile(made.one + std::filesystem::path(relative).filename().string(), "new " + relative,
                kBaseTime + 100 * kSecond);
    }
    PutFile(made.one + "d.txt", "added", kBaseTime);
    return made;
}

SyncCounts Pass(const Case& pair, RecordingObserver& observer) {
    return RunPassOf(FixedSettings(pair.one, pair.two, SyncDirection::Folder1ToFolder2), observer,
                     SyncOptions{.dryRun = false, .keepReplaced = true});
}

// The pass in a child that dies just before its point-th call that changes the disk: true when it made fewer
// calls and finished, false when it was killed.
bool FinishesBeforeCall(const Case& pair, long point) {
    return RunInChild([&] {
               counted = 0;
               killAt = point;
               RecordingObserver observer;
               Pass(pair, observer);
               killAt = 0;
               return std::string("finished");
           })
        .has_value();
}

std::vector<std::string> TemporariesBelow(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (platform::IsTemporaryName(entry.path().filename().string())) {
            found.push_back(entry.path());
        }
    }
    return found;
}

// What one trash holds, read directly: each entry's original path (made absolute against top, for a drive's own
// trash) with the content of its file; and whatever does not make a whole entry.
struct TrashContents {
    std::map<std::string, std::vector<std::string>> kept;
    std::string debris;
};

std::string PathLineOf(const std::string& info) {
    const auto at = info.find("\nPath=");
    const auto end = at == std::string::npos ? at : info.find('\n', at + 1);
    return end == std::string::npos ? std::string() : info.substr(at + 6, end - at - 6);
}

void ReadTrash(const std::string& trash, const std::string& top, TrashContents& contents) {
    if (!std::filesystem::exists(trash + "/info")) {
        return;
    }
    for (const std::string& name : NamesIn(trash + "/info")) {
        const std::string info = ReadFile(trash + "/info/" + name);
        const std::string path = PathLineOf(info);
        const std::string file = trash + "/files/" + name.substr(0, name.size() - std::string(".trashinfo").size());
        if (!name.ends_with(".trashinfo") || !info.starts_with("[Trash Info]\n") || path.empty() ||
            info.find("\nDeletionDate=") == std::string::npos) {
            contents.debris += trash + "/info/" + name + " is no whole .trashinfo\n";
        } else if (!std::filesystem::exists(file)) {
            contents.debris += trash + "/info/" + name + " has no file\n";
        } else {
            contents.kept[path.starts_with('/') ? path : top + "/" + path].push_back(ReadFile(file));
        }
    }
    for (const std::string& name : NamesIn(trash + "/files")) {
        if (!std::filesystem::exists(trash + "/info/" + name + ".trashinfo")) {
            contents.debris += trash + "/files/" + name + " has no .trashinfo\n";
        }
    }
}

enum class Where { TemporaryFolder, Tmpfs, Fat, BindMount };

// fusefat, after some kills in the middle of a pass, may stop making files in a folder (an exclusive create gives
// ENOENT, seen after 6 to 30 kill points on one image): each kill point has a FAT image of its own.

// A .trashinfo written in place (where no hard link makes it appear whole) and left empty by a kill is cleared by the
// first pass a minute later: its age is all that tells it from one being written.
void AMinuteLater(const std::string& trash) {
    if (!std::filesystem::exists(trash + "/info")) {
        return;
    }
    const timespec before[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
    for (const std::string& name : NamesIn(trash + "/info")) {
        ::utimensat(AT_FDCWD, (trash + "/info/" + name).c_str(), before, AT_SYMLINK_NOFOLLOW);
    }
}

class KilledPass : public ::testing::TestWithParam<Where> {
protected:
    void SetUp() override {
        if (auto reason = TrashCliSkipReason()) {
            GTEST_SKIP() << *reason;
        }
        if (GetParam() == Where::TemporaryFolder) {
            root_ = remoteDir_.Path();
            return;
        }
        if (auto reason = MountedFolder::SkipReason(Kind())) {
            GTEST_SKIP() << *reason;
        }
        Mount();
    }

    FolderKind Kind() const {
        return GetParam() == Where::Tmpfs ? FolderKind::Tmpfs
               : GetParam() == Where::Fat ? FolderKind::Fat
                                          : FolderKind::BindMount;
    }

    void Mount() {
        mount_.reset();
        mount_ = std::make_unique<MountedFolder>(Kind());
        ASSERT_TRUE(mount_->Mounted()) << mount_->Failure();
        root_ = mount_->Path();
    }

    std::string DrivesTrash() const { return root_ + "/.Trash-" + std::to_string(::geteuid()); }

    TrashContents Trashes() const {
        TrashContents contents;
        ReadTrash(home_.Path(), "", contents);
        ReadTrash(DrivesTrash(), root_, contents);
        return contents;
    }

    // The passes after a kill, until the pair settles: a replacement killed once it had swapped the files is put
    // back by the next pass, which has listed the folder by then, and made by the pass after it.
    void Settle(const Case& pair, long point) const {
        AMinuteLater(home_.Path());
        AMinuteLater(DrivesTrash());
        for (int pass = 0; pass < 2; ++pass) {
            RecordingObserver observer;
            Pass(pair, observer);
            for (const auto& failed : observer.notCopied) {
                ADD_FAILURE() << "after a kill before call " << point << ": " << failed.destination << ": "
                              << failed.cause;
            }
        }
        RecordingObserver settled;
        EXPECT_EQ(Pass(pair, settled).filesCopied, 0) << point;
        EXPECT_EQ(TemporariesBelow(pair.two), std::vector<std::string>{}) << point;
        EXPECT_EQ(ReadFile(pair.two + "d.txt"), "added") << point;
    }

    // Every replaced file holds its new version, and the trashes its old one once, whole and readable.
    void ExpectEachOldVersionKeptOnce(const std::map<long, Case>& cases) const {
        const TrashContents trash = Trashes();
        EXPECT_EQ(trash.debris, "");
        for (const auto& [point, pair] : cases) {
            for (const std::string& relative : pair.replaced) {
                const std::string path = pair.two + relative;
                // Where the old file is moved into the trash (FAT), a kill before the new one takes its place leaves
                // the place empty, and only a file of the same path in Folder 1 brings it back.
                if (GetParam() != Where::Fat || std::filesystem::exists(path) || !relative.starts_with("sub/")) {
                    EXPECT_EQ(ReadFile(path), "new " + relative);
                }
                const auto kept = trash.kept.find(path);
                EXPECT_EQ(kept == trash.kept.end() ? std::vector<std::string>{} : kept->second,
                          std::vector<std::string>{"old " + relative})
                    << "after a kill before call " << point << ", the old version of " << path << " is to be kept once";
            }
        }
        EXPECT_EQ(TrashListErrors(), "");
    }

    const PrivateHomeTrash home_;
    const TempDir localDir_;
    const TempDir remoteDir_;
    std::unique_ptr<MountedFolder> mount_;
    std::string root_;
};

TEST_P(KilledPass, TheNextPassesCompleteItAndLeaveNoDebris) {
    std::map<long, Case> cases; // of the mount in use
    long point = 1;
    for (; point < kMostCalls; ++point) {
        if (GetParam() == Where::Fat && point > 1) {
            ExpectEachOldVersionKeptOnce(std::exchange(cases, {}));
            Mount();
        }
        const Case pair = MakeCase(localDir_.Path(), root_, point);
        if (FinishesBeforeCall(pair, point)) {
            break; // it ended before that call: the kill came at every call it makes
        }
        Settle(pair, point);
        cases.emplace(point, pair);
    }
    ASSERT_GT(point, 20) << "the calls that change the disk are not seen";
    ExpectEachOldVersionKeptOnce(cases);
}

std::string TestNameOf(const ::testing::TestParamInfo<Where>& where) {
    constexpr const char* kNames[] = {"TemporaryFolder", "Tmpfs", "Fat", "BindMount"};
    return kNames[static_cast<int>(where.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryWayOfKeeping, KilledPass,
                         ::testing::Values(Where::TemporaryFolder, Where::Tmpfs, Where::Fat, Where::BindMount),
                         TestNameOf);

} // namespace
} // namespace quillmere::test
