// SPDX-License-Identifier: GPL-3.0-or-later
// The window's user-interface thread: work handed to it from any thread, and its pending events run on demand.
#pragma once

#include <functional>
#include <memory>

namespace quillmere {

class UiThread {
public:
    virtual ~UiThread() = default;
    // Runs work on the UI thread after the events already waiting there. Callable from any thread.
    virtual void Post(std::function<void()> work) = 0;
    // Runs the events waiting on the UI thread now; called on that thread.
    virtual void ProcessPendingEvents() = 0;
};

// Posts on behalf of one owner: what is still waiting when the owner is destroyed never runs. Post may be called
// from any thread while the owner lives.
class OwnedPoster {
public:
    explicit OwnedPoster(UiThread& ui) : ui_(ui) {}
    OwnedPoster(const OwnedPoster&) = delete;
    OwnedPoster& operator=(const OwnedPoster&) = delete;

    void Post(std::function<void()> work) {
        ui_.Post([alive = std::weak_ptr<const int>(alive_), work = std::move(work)] {
            if (alive.lock()) {
                work();
            }
        });
    }

private:
    UiThread& ui_;
    std::shared_ptr<const int> alive_ = std::make_shared<const int>(0);
};

} // namespace quillmere
