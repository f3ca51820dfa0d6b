// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedWatch.h"

#include <gtest/gtest.h>

namespace quillmere::test {

// The stop request is looked at between short waits, as the real set-up looks between folders: a wait that a
// stop callback ends can hang the Windows build for ever (see the Windows watch).
void ScriptedWatch::SetUp(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    settingUp_ = true;
    changed_.notify_all();
    if (std::this_thread::get_id() == madeOn_) {
        ADD_FAILURE() << "the watch is set up on the window's thread";
        return;
    }
    while (holdSetUp_ && !stop.stop_requested()) {
        changed_.wait_for(lock, std::chrono::milliseconds(1));
    }
}

void ScriptedWatch::WaitForSetUp() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return settingUp_; });
}

void ScriptedWatch::ReleaseSetUp() {
    {
        const std::lock_guard lock(mutex_);
        holdSetUp_ = false;
    }
    changed_.notify_all();
}

void ScriptedWatch::StartAfresh(std::size_t tree) {
    const std::lock_guard lock(mutex_);
    news_.trees[tree] = {};
    ++startedAfresh_;
}

// A doubt stays until the tree starts afresh, as the folder watch's does.
platform::WatchNews ScriptedWatch::TakeNews() {
    const std::lock_guard lock(mutex_);
    platform::WatchNews taken = news_;
    for (platform::TreeNews& tree : news_.trees) {
        tree.changed.clear();
    }
    return taken;
}

platform::WaitResult ScriptedWatch::WaitForChange(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    waiting_ = true;
    lastTimeout_ = timeout;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !results_.empty(); });
    const platform::WaitResult result = results_.front();
    results_.pop_front();
    waiting_ = false;
    return result;
}

void ScriptedWatch::Wake() {
    Tell(platform::WaitResult::Woken);
}

void ScriptedWatch::Change(std::size_t tree, const std::string& folder) {
    {
        const std::lock_guard lock(mutex_);
        news_.trees[tree].changed.push_back(folder);
    }
    Tell(platform::WaitResult::News);
}

void ScriptedWatch::Doubt(std::size_t tree, platform::WatchDoubt doubt) {
    {
        const std::lock_guard lock(mutex_);
        news_.trees[tree].doubt = std::move(doubt);
    }
    Tell(platform::WaitResult::News);
}

void ScriptedWatch::TimeOut() {
    Tell(platform::WaitResult::TimedOut);
}

void ScriptedWatch::Settle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_ && results_.empty(); });
}

std::chrono::milliseconds ScriptedWatch::LastTimeout() const {
    const std::lock_guard lock(mutex_);
    return lastTimeout_;
}

int ScriptedWatch::StartedAfresh() const {
    const std::lock_guard lock(mutex_);
    return startedAfresh_;
}

void ScriptedWatch::Tell(platform::WaitResult result) {
    {
        const std::lock_guard lock(mutex_);
        results_.push_back(result);
    }
    changed_.notify_all();
}

} // namespace quillmere::test
