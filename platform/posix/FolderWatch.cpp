// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux folder watch: one inotify instance, read by a thread of its own that blocks until the system has news,
// so that watching costs nothing while nothing changes. Eventfds carry the news and the wake-up to the caller.
#include "platform/FolderWatch.h"

#include "platform/WatchDoubts.h"
#include "platform/posix/InotifyTrees.h"
#include "platform/posix/UniqueFd.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <system_error>
#include <thread>

namespace quillmere::platform {

namespace {

using posix::UniqueFd;

UniqueFd MakeEventFd() {
    return UniqueFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
}

// Async-signal-safe, as Wake promises.
void Signal(int fd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(fd, &one, sizeof one);
}

void Drain(int fd) {
    std::uint64_t count = 0;
    [[maybe_unused]] const auto read = ::read(fd, &count, sizeof count);
}

} // namespace

struct FolderWatch::State {
    UniqueFd news = MakeEventFd();
    UniqueFd wake = MakeEventFd();
    UniqueFd stop = MakeEventFd();
    UniqueFd inotify;
    std::unique_ptr<posix::InotifyTrees> trees;
    std::size_t treeCount = 0;
    std::atomic<bool> broken{false}; // no news can come: every tree stays in doubt
    std::thread reader;

    void Break(const std::string& cause) {
        broken = true;
        trees->DoubtAll(detail::WatchNotMade(cause));
    }

    void Read() {
        // Room for many events at once; the name that follows an event is at most NAME_MAX long.
        alignas(inotify_event) char buffer[64 * 1024];
        pollfd fds[2] = {{inotify.Get(), POLLIN, 0}, {stop.Get(), POLLIN, 0}};
        for (;;) {
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Break(SystemMessage(errno));
            }
            if (fds[1].revents != 0) {
                return;
            }
            for (;;) {
                const ssize_t got = ::read(inotify.Get(), buffer, sizeof buffer);
                if (got > 0) {
                    trees->Apply(std::span<const char>(buffer, static_cast<std::size_t>(got)));
                } else if (got < 0 && errno == EAGAIN) {
                    break;
                } else if (got < 0 && errno != EINTR) {
                    return Break(SystemMessage(errno));
                }
            }
        }
    }
};

FolderWatch::FolderWatch(const std::vector<std::string>& tops) : FolderWatch(tops, Later{}) {
    SetUp({});
}

FolderWatch::FolderWatch(const std::vector<std::string>& tops, Later) : state_(std::make_unique<State>()) {
    State& state = *state_;
    state.treeCount = tops.size();
    const bool signalled = state.news.Valid() && state.wake.Valid() && state.stop.Valid();
    const int signalError = errno;
    state.inotify = UniqueFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    const int inotifyError = errno;
    state.trees =
        std::make_unique<posix::InotifyTrees>(state.inotify.Get(), tops, [fd = state.news.Get()] { Signal(fd); });
    if (!signalled || !state.inotify.Valid()) {
        state.Break(SystemMessage(signalled ? inotifyError : signalError));
        return;
    }
    // Reading starts before the walks, so that the system's queue does not fill while large trees are walked.
    try {
        state.reader = std::thread([&state] { state.Read(); });
    } catch (const std::system_error& error) {
        state.Break(error.what());
    }
}

// Cutting it short stops the reader's walks too: the watch is done with.
void FolderWatch::SetUp(std::stop_token stop) {
    const std::stop_callback cut(stop, [this] { state_->trees->Stop(); });
    for (std::size_t tree = 0; tree < state_->treeCount && !stop.stop_requested(); ++tree) {
        StartAfresh(tree);
    }
}

FolderWatch::~FolderWatch() {
    if (state_->reader.joinable()) {
        state_->trees->Stop();
        Signal(state_->stop.Get());
        state_->reader.join();
    }
}

void FolderWatch::StartAfresh(std::size_t tree) {
    if (!state_->broken) {
        state_->trees->StartAfresh(tree);
    }
}

void FolderWatch::AddFolders(std::size_t tree, const std::vector<std::string>& folders) {
    if (!state_->broken) {
        state_->trees->AddFolders(tree, folders);
    }
}

WatchNews FolderWatch::TakeNews() {
    WatchNews news = state_->trees->TakeNews();
    // News that comes after the taking sets the flag HasNews reads, so the next wait sees it.
    Drain(state_->news.Get());
    return news;
}

WaitResult FolderWatch::WaitForChange(std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    pollfd fds[2] = {{state_->wake.Get(), POLLIN, 0}, {state_->news.Get(), POLLIN, 0}};
    for (;;) {
        if (state_->trees->HasNews()) {
            return WaitResult::News;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        const int ready = ::poll(fds, 2, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
        if (ready < 0 && errno == EINTR) {
            continue; // a signal that means to end the wait calls Wake
        }
        if (fds[0].revents & POLLIN) {
            Drain(state_->wake.Get());
            return WaitResult::Woken;
        }
        if (ready <= 0) {
            return WaitResult::TimedOut;
        }
        Drain(state_->news.Get()); // the flag above tells whether it is still news
    }
}

void FolderWatch::Wake() {
    Signal(state_->wake.Get());
}

} // namespace quillmere::platform
