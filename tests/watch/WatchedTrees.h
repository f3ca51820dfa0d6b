// SPDX-License-Identifier: GPL-3.0-or-later
// Two trees under one private folder, watched, and the news the watch gives gathered until what a test waits for
// has come. The watch's news is ordered as the changes were made, so a test that wants to see that a change is NOT
// told makes it, then makes a marker change, and looks once the marker's news is in.
#pragma once

#include "platform/FolderWatch.h"
#include "tests/support/TempDir.h"

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quillmere::test {

class WatchedTrees {
public:
    // Makes folders "one/" and "two/" holding the given folders (relative, "a/b/") and "markers/", then watches
    // both.
    explicit WatchedTrees(const std::vector<std::string>& folders = {});

    // The top folder of tree 0 or 1, ending in "/"; Top(t) + relative.
    std::string Top(std::size_t tree) const;
    std::string In(std::size_t tree, const std::string& relative) const { return Top(tree) + relative; }
    // A folder beside the trees, outside both.
    std::string Outside(const std::string& relative) const { return root_ / ("outside/" + relative); }

    platform::FolderWatch& Watch() { return *watch_; }
    void Rewatch(); // a new watch of the same trees

    // Gathers news until tree's changed folders (relative to its top; "" is the top itself) include all of these;
    // false when they have not come within ten seconds.
    bool WaitForChanged(std::size_t tree, const std::vector<std::string>& relative);
    // Writes a marker file into tree's "markers/" and waits for its news: whatever the watch tells of changes made
    // before is in by then. The marker's folder is not kept among the changed ones.
    bool Settle(std::size_t tree);
    bool WaitForDoubt(std::size_t tree);

    // What was gathered since the last Forget, relative to each top.
    const std::set<std::string>& Changed(std::size_t tree) const { return changed_[tree]; }
    const std::optional<platform::WatchDoubt>& Doubt(std::size_t tree) const { return doubt_[tree]; }
    void Forget();

private:
    bool GatherUntil(const std::function<bool()>& done);
    void Take();

    TempDir root_;
    std::unique_ptr<platform::FolderWatch> watch_;
    std::set<std::string> changed_[2];
    std::optional<platform::WatchDoubt> doubt_[2];
    int markers_ = 0;
};

// The folders of a news, relative to top ("" for the top itself); a folder outside the top is kept whole.
std::set<std::string> Relative(const std::vector<std::string>& folders, const std::string& top);

} // namespace quillmere::test
