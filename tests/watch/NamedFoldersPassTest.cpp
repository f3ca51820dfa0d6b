// SPDX-License-Identifier: GPL-3.0-or-later
// A watched pass told which folders changed brings the listings before up to date when each of those folders kept
// its subfolders, and walks the trees otherwise; either way it tells and copies what a full pass does.
#include "engine/WatchedPasses.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/watch/ToldLines.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

namespace quillmere::test {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kBase = 1'700'000'000'000'000'000;
constexpr std::int64_t kSecond = 1'000'000'000;

void Put(const std::string& path, std::int64_t time) {
    WriteFile(path, std::to_string(time));
    SetLastWriteNs(path, time);
}

// Both trees alike, same-named files in several folders, and (as root) a link the walk does not follow.
std::string MakeWorld(const std::string& root) {
    for (const char* top : {"one/", "two/"}) {
        for (const char* path : {"top.txt", "d/a.txt", "d/b.txt", "d/c.txt", "e/a.txt", "e/x.txt", "e/f/b.txt"}) {
            fs::create_directories(fs::path(root + top + path).parent_path());
            Put(root + top + path, kBase);
        }
    }
    if (::geteuid() == 0) {
        fs::create_symlink(root + "one/top.txt", root + "one/e/link");
        EXPECT_EQ(::lchown((root + "one/e/link").c_str(), kNobody, kNobody), 0);
    }
    return root;
}

std::map<std::string, std::string> FilesOf(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file() && !entry.is_symlink()) {
            files[entry.path().string().substr(root.size())] =
                ReadFile(entry.path()) + "@" + std::to_string(LastWriteNs(entry.path()));
        }
    }
    return files;
}

struct Change {
    const char* what;
    std::function<void(const std::string& root)> make;
    std::vector<std::string> named1; // the folders the watch would name, below one/ and two/
    std::vector<std::string> named2;
    bool patched; // whether the listings before can be brought up to date
};

const Change kChanges[] = {
    {"a file saved", [](const std::string& r) { Put(r + "one/d/b.txt", kBase + kSecond); }, {"d/"}, {}, true},
    {"a file saved in the top folder",
     [](const std::string& r) { Put(r + "one/top.txt", kBase + kSecond); },
     {""},
     {},
     true},
    {"a file added whose name other folders hold",
     [](const std::string& r) { Put(r + "one/e/b.txt", kBase + kSecond); },
     {"e/"},
     {},
     true},
    {"a file removed, so that the later files move",
     [](const std::string& r) {
         fs::remove(r + "one/d/a.txt");
         Put(r + "one/e/f/b.txt", kBase + kSecond);
     },
     {"d/", "e/f/"},
     {},
     true},
    {"a file renamed within its folder",
     [](const std::string& r) { fs::rename(r + "one/d/c.txt", r + "one/d/z.txt"); },
     {"d/"},
     {},
     true},
    {"files changed on both sides",
     [](const std::string& r) {
         Put(r + "one/d/a.txt", kBase + kSecond);
         Put(r + "two/e/x.txt", kBase + kSecond);
         Put(r + "two/e/new.txt", kBase);
     },
     {"d/"},
     {"e/"},
     true},
    {"a subfolder made, only its parent named",
     [](const std::string& r) {
         fs::create_directories(r + "one/d/new");
         Put(r + "one/d/new/c.txt", kBase + kSecond);
     },
     {"d/"},
     {},
     false},
    {"a subfolder made, and named",
     [](const std::string& r) {
         fs::create_directories(r + "one/e/f/g");
         Put(r + "one/e/f/g/c.txt", kBase + kSecond);
     },
     {"e/f/", "e/f/g/"},
     {},
     false},
    {"a subfolder removed", [](const std::string& r) { fs::remove_all(r + "one/e/f"); }, {"e/", "e/f/"}, {}, false},
    {"a subfolder replaced by a link back up, only its parent named",
     [](const std::string& r) {
         fs::remove_all(r + "one/e/f");
         fs::create_directory_symlink(r + "one/e", r + "one/e/f");
     },
     {"e/"},
     {},
     false},
};

TEST(WatchedPasses, NamedFoldersReadAgainTellAndCopyWhatAFullPassDoes) {
    for (const Change& change : kChanges) {
        TempDir root;
        const std::string watched = MakeWorld(root.Path() + "/watched/");
        const std::string full = MakeWorld(root.Path() + "/full/");
        const auto job = [](const std::string& world) {
            return SyncJob{world + "one/", world + "two/", SyncOptions{.keepReplaced = false}};
        };
        const FixedDirection settings(SyncDirection::BothWays);
        WatchedPasses passes;
        Told first(watched);
        passes.Run(job(watched), settings, first, {});
        ASSERT_TRUE(first.lines.size() <= 1) << "the trees start alike";

        change.make(watched);
        change.make(full);
        WatchedPasses::Changes changes{std::vector<std::string>{}, std::vector<std::string>{}};
        for (const std::string& folder : change.named1) {
            changes[0]->push_back(watched + "one/" + folder);
        }
        for (const std::string& folder : change.named2) {
            changes[1]->push_back(watched + "two/" + folder);
        }
        Told byWatch(watched);
        passes.Run(job(watched), settings, byWatch, changes);
        Told byFullPass(full);
        SyncFolders(job(full), settings, byFullPass);
        EXPECT_EQ(byWatch.lines, byFullPass.lines) << change.what;
        EXPECT_EQ(FilesOf(watched), FilesOf(full)) << change.what;
        EXPECT_EQ(passes.FoldersListed(0).empty(), change.patched) << change.what;
    }
}

} // namespace
} // namespace quillmere::test
