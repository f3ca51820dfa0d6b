// SPDX-License-Identifier: GPL-3.0-or-later
// A folder watch the test tells of changes and doubts, and the handshake with the thread that waits on it: each
// told change, doubt or time-out ends one wait, and Settle blocks until that thread waits again with nothing left
// to take. With a clock the test sets, the quiet rule runs without any waiting. Its set-up can be held until the
// test lets it go, as a large tree's walk holds the real one; set up on the thread that made the watch (the
// window's), it fails the test instead of holding it.
#pragma once

#include "platform/FolderWatch.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace quillmere::test {

class ScriptedWatch final : public platform::WatchSource {
public:
    // live counts the scripted watches alive. hold: the set-up waits for ReleaseSetUp (or a stop request).
    ScriptedWatch(int& live, bool hold) : live_(live), holdSetUp_(hold) { ++live_; }
    ~ScriptedWatch() override { --live_; }

    void SetUp(std::stop_token stop) override;

    void StartAfresh(std::size_t tree) override;
    void AddFolders(std::size_t, const std::vector<std::string>&) override {}
    platform::WatchNews TakeNews() override;
    platform::WaitResult WaitForChange(std::chrono::milliseconds timeout) override;
    void Wake() override;

    // What the test tells; each ends the wait it falls in.
    void Change(std::size_t tree, const std::string& folder);
    void Doubt(std::size_t tree, platform::WatchDoubt doubt);
    void TimeOut();
    // Blocks until the waiting thread waits again and has taken all it was told.
    void Settle();
    // Blocks until the set-up has begun; lets a held set-up end.
    void WaitForSetUp();
    void ReleaseSetUp();
    // How long the last wait was to last.
    std::chrono::milliseconds LastTimeout() const;
    // How many times a tree was watched afresh.
    int StartedAfresh() const;

private:
    void Tell(platform::WaitResult result);

    int& live_;
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    platform::WatchNews news_{std::vector<platform::TreeNews>(2)};
    std::deque<platform::WaitResult> results_;
    bool waiting_ = false;
    const std::thread::id madeOn_ = std::this_thread::get_id();
    bool holdSetUp_;
    bool settingUp_ = false;
    std::chrono::milliseconds lastTimeout_{-1};
    int startedAfresh_ = 0;
};

} // namespace quillmere::test
