// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/watch/WatchedTrees.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace quillmere::test {

namespace {

constexpr auto kPatience = std::chrono::seconds(10);
constexpr const char* kMarkers = "markers/";

} // namespace

WatchedTrees::WatchedTrees(const std::vector<std::string>& folders) {
    MakeFolder(root_ / "outside");
    for (std::size_t tree = 0; tree < 2; ++tree) {
        MakeFolder(Top(tree));
        MakeFolder(In(tree, kMarkers));
        for (const std::string& folder : folders) {
            std::filesystem::create_directories(In(tree, folder));
        }
    }
    Rewatch();
}

std::string WatchedTrees::Top(std::size_t tree) const {
    return root_ / (tree == 0 ? "one/" : "two/");
}

void WatchedTrees::Rewatch() {
    watch_.reset();
    watch_ = std::make_unique<platform::FolderWatch>(std::vector<std::string>{Top(0), Top(1)});
    Forget();
}

void WatchedTrees::Take() {
    const platform::WatchNews news = watch_->TakeNews();
    for (std::size_t tree = 0; tree < news.trees.size() && tree < 2; ++tree) {
        const auto relative = Relative(news.trees[tree].changed, Top(tree));
        changed_[tree].insert(relative.begin(), relative.end());
        doubt_[tree] = news.trees[tree].doubt;
    }
}

bool WatchedTrees::GatherUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    Take();
    while (!done()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        if (watch_->WaitForChange(left) == platform::WaitResult::News) {
            Take();
        }
    }
    return true;
}

bool WatchedTrees::WaitForChanged(std::size_t tree, const std::vector<std::string>& relative) {
    return GatherUntil([&] {
        return std::all_of(relative.begin(), relative.end(),
                           [&](const std::string& folder) { return changed_[tree].contains(folder); });
    });
}

bool WatchedTrees::Settle(std::size_t tree) {
    WriteFile(In(tree, kMarkers + std::to_string(++markers_)), "marker");
    const bool settled = WaitForChanged(tree, {kMarkers});
    changed_[tree].erase(kMarkers);
    return settled;
}

bool WatchedTrees::WaitForDoubt(std::size_t tree) {
    return GatherUntil([&] { return doubt_[tree].has_value(); });
}

void WatchedTrees::Forget() {
    Take();
    for (auto& changed : changed_) {
        changed.clear();
    }
}

std::set<std::string> Relative(const std::vector<std::string>& folders, const std::string& top) {
    std::set<std::string> relative;
    for (const std::string& folder : folders) {
        relative.insert(folder.starts_with(top) ? folder.substr(top.size()) : folder);
    }
    return relative;
}

} // namespace quillmere::test
