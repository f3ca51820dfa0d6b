// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TimeStepLearning.h"
#include "platform/TimeSteps.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <unordered_map>

namespace quillmere::platform {

namespace {

constexpr std::array<std::int64_t, 11> kSteps{
    kExactResolution, 10,          kNtfsResolution,        1'000,         10'000, 100'000, 1'000'000,
    kExfatResolution, 100'000'000, kWholeSecondResolution, kFatResolution};

bool IsWholeNumberOf(FileTime time, std::int64_t step) {
    if (step < kNanosecondsPerSecond) {
        return time.nanoseconds % static_cast<std::uint32_t>(step) == 0;
    }
    return time.nanoseconds == 0 && time.seconds % (step / kNanosecondsPerSecond) == 0;
}

// Passes of the window and of `--every` run one after another on other threads; copies and probes learn.
struct Learned {
    std::mutex lock;
    std::unordered_map<std::uint64_t, std::int64_t> steps;
};

Learned& TheLearned() {
    static Learned learned;
    return learned;
}

} // namespace

std::optional<std::int64_t> StepShownBy(FileTime asked, FileTime kept) {
    const std::uint64_t apart = NanosecondsApart(asked, kept);
    for (const std::int64_t step : kSteps) {
        if (apart < static_cast<std::uint64_t>(step) && IsWholeNumberOf(kept, step)) {
            return step;
        }
    }
    return std::nullopt;
}

std::int64_t LearnedTimeStep(std::uint64_t fileSystem) {
    Learned& learned = TheLearned();
    const std::lock_guard hold(learned.lock);
    const auto found = learned.steps.find(fileSystem);
    return found != learned.steps.end() ? found->second : kExactResolution;
}

void LearnTimeStep(std::uint64_t fileSystem, FileTime asked, FileTime kept) {
    const std::optional<std::int64_t> shown = StepShownBy(asked, kept);
    if (!shown) {
        return;
    }
    Learned& learned = TheLearned();
    const std::lock_guard hold(learned.lock);
    std::int64_t& step = learned.steps.try_emplace(fileSystem, kExactResolution).first->second;
    step = std::max(step, *shown);
}

} // namespace quillmere::platform
