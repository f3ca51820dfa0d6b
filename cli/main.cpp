// SPDX-License-Identifier: GPL-3.0-or-later
// quillmere-sync: one pass, or a pass every so many seconds, between two folders, from the command line.
#include "cli/CommandLine.h"
#include "cli/ConsoleObserver.h"
#include "cli/Utf8Console.h"
#include "engine/WatchSchedule.h"
#include "engine/WatchedPasses.h"
#include "fs/PrintableText.h"
#include "platform/FileSystem.h"
#include "platform/StopSignals.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

namespace {

using namespace quillmere;

// The number of the signal that asked the program to stop; 0 while none has.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

// The schedule of a --watch run, whose wait a stop signal ends, and how many handlers are waking it. On Windows
// the handler runs on a thread of its own, so the schedule is not ended until no handler may still reach it.
std::atomic<WatchSchedule*> scheduleToWake{nullptr};
std::atomic<int> handlersWaking{0};

extern "C" void RequestStop(int signal) {
    stopSignal.store(signal);
    ++handlersWaking;
    if (WatchSchedule* schedule = scheduleToWake.load()) {
        schedule->Wake();
    }
    --handlersWaking;
}

bool StopRequested() {
    return stopSignal.load() != 0;
}

// The cause, and where the whole usage is.
int UsageError(const std::string& problem) {
    std::fprintf(stderr, "quillmere-sync: %s\nTry 'quillmere-sync --help'.\n", Printable(problem).c_str());
    return 2;
}

// Folders that are not two folders apart: the one line says it all.
int FolderError(const std::string& problem) {
    std::fprintf(stderr, "quillmere-sync: %s\n", Printable(problem).c_str());
    return 2;
}

SyncJob JobOf(const cli::CommandLine& line) {
    return SyncJob{line.folder1, line.folder2, SyncOptions{.dryRun = line.dryRun, .keepReplaced = line.keepReplaced}};
}

// Runs a pass and prints its summary. True when a stop signal came while the pass ran: it may have ended before its
// work was done.
bool RunPass(const cli::CommandLine& line, const std::function<SyncCounts()>& pass) {
    const auto start = std::chrono::steady_clock::now();
    const SyncCounts counts = pass();
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
    // Asked to stop after the pass returned, it did all its work.
    const bool stopped = StopRequested();
    std::printf("%s: %lld folders, %lld files listed, %lld pairs compared, %lld %s, %lld %s the Trash, %lld not kept, "
                "%lld refused, %lld failed, %lld not read in %.3f s%s\n",
                line.dryRun ? "dry run" : "pass", static_cast<long long>(counts.foldersWalked),
                static_cast<long long>(counts.filesListed), static_cast<long long>(counts.pairsCompared),
                static_cast<long long>(counts.filesCopied), line.dryRun ? "to copy" : "copied",
                static_cast<long long>(counts.filesKept), line.dryRun ? "to keep in" : "kept in",
                static_cast<long long>(counts.replacedNotKept), static_cast<long long>(counts.copiesRefused),
                static_cast<long long>(counts.copiesFailed), static_cast<long long>(counts.notRead), taken.count(),
                stopped ? ", stopped" : "");
    std::fflush(stdout);
    return stopped;
}

bool RunPass(const cli::CommandLine& line, cli::ConsoleObserver& observer) {
    return RunPass(line, [&] { return SyncFolders(JobOf(line), FixedDirection(line.direction), observer); });
}

// Says on standard error, once, why a side's changes are found by the timed pass only.
void TellDoubt(const WatchSchedule& schedule, std::size_t side, std::string& told) {
    const std::optional<platform::WatchDoubt>& doubt = schedule.Doubt(side);
    const std::string line = doubt ? DoubtLine(side, *doubt) : std::string();
    if (line != told && !line.empty()) {
        std::fprintf(stderr, "quillmere-sync: %s\n", Printable(line).c_str());
    }
    told = line;
}

// --watch: a pass, then one whenever the quiet rule calls for it, and with --every the full pass on its interval,
// until a stop signal. Each side the watch cannot be trusted on is read in full by every pass, and said so once.
bool Watch(const cli::CommandLine& line, cli::ConsoleObserver& observer) {
    using Clock = std::chrono::steady_clock;
    const SyncJob job = JobOf(line);
    const FixedDirection settings(line.direction);
    WatchSchedule schedule(job, Clock::now);
    scheduleToWake.store(&schedule);
    const struct Unset {
        ~Unset() {
            scheduleToWake.store(nullptr);
            while (handlersWaking.load() != 0) {
                std::this_thread::yield();
            }
        }
    } unset;
    WatchedPasses passes;
    std::optional<Clock::time_point> timedAt = Clock::now();
    std::array<std::string, 2> told;
    bool stopped = false;
    while (!StopRequested()) {
        const bool timed = timedAt && Clock::now() >= *timedAt;
        if (timed || schedule.PassDue()) {
            const WatchedPasses::Changes changes = schedule.PassStarting(timed);
            stopped = RunPass(line, [&] { return passes.Run(job, settings, observer, changes); });
            schedule.PassEnded(passes);
            if (timed) {
                timedAt = line.everySeconds ? std::optional(Clock::now() + std::chrono::seconds(*line.everySeconds))
                                            : std::nullopt;
            }
        }
        for (std::size_t side = 0; side < 2; ++side) {
            TellDoubt(schedule, side, told[side]);
        }
        const auto dueAt = schedule.DueAt();
        schedule.WaitAndTake(dueAt && timedAt ? std::min(*dueAt, *timedAt) : dueAt ? dueAt : timedAt);
    }
    return stopped;
}

// Waits the given seconds, or less when a stop is requested.
void WaitBetweenPasses(std::int32_t seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!StopRequested()) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            return;
        }
        // Short slices, so that a signal is seen soon: the sleep itself goes on after one.
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(200)));
    }
}

} // namespace

int main(int argc, char** argv) {
    const cli::Utf8Console console;
    const std::vector<std::string> arguments = cli::Utf8Arguments(argc, argv);
    const cli::ParseResult parsed =
        cli::ParseCommandLine(std::vector<std::string_view>(arguments.begin(), arguments.end()));
    if (!parsed.error.empty()) {
        return UsageError(parsed.error);
    }
    const cli::CommandLine& line = parsed.commandLine;
    if (line.action == cli::Action::Help) {
        std::fputs(cli::UsageText().c_str(), stdout);
        return 0;
    }
    if (line.action == cli::Action::Version) {
        std::puts(cli::VersionText().c_str());
        return 0;
    }
    if (const std::string problem = cli::CheckFolders(line); !problem.empty()) {
        return FolderError(problem);
    }
    // A stop signal ends the program cleanly: the running pass stops before its next file, so no copy is cut
    // off with its temporary file left behind.
    const platform::StopSignals stopSignals(RequestStop);
    platform::IgnoreFileSizeLimitSignal();
    cli::ConsoleObserver observer(stopSignal, stdout, stderr);
    bool passStopped = line.watch ? Watch(line, observer) : RunPass(line, observer);
    while (!line.watch && line.everySeconds && !StopRequested()) {
        WaitBetweenPasses(*line.everySeconds);
        if (!StopRequested()) {
            passStopped = RunPass(line, observer);
        }
    }
    // A pass cut off by a signal did not do all it had to, which status 0 would claim: the status is the shell's
    // for a program that signal ended. Stopped while it waited between passes, the program did all it began.
    if (passStopped) {
        return 128 + stopSignal.load();
    }
    return observer.ProblemCount() > 0 ? 1 : 0;
}
