// SPDX-License-Identifier: GPL-3.0-or-later
// When watched changes start a pass, on a clock the test moves by hand.
#include "engine/QuietRule.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quillmere {
namespace {

using Clock = QuietRule::Clock;
using std::chrono::milliseconds;

enum class Act { Change, PassStarts, PassEnds, Look };

// At atMs, act, then the pass is due or not, and falls due at dueAtMs (no value: none waits).
struct Step {
    int atMs;
    Act act;
    bool due;
    std::optional<int> dueAtMs;
};

struct QuietCase {
    const char* what;
    std::vector<Step> steps;
};

// Named in the test list by what it tries, not by its bytes.
void PrintTo(const QuietCase& tested, std::ostream* out) {
    *out << tested.what;
}

const Clock::time_point kStart{};

// Changes every 500 ms from fromMs to toMs, none due yet; while no pass runs each falls due a quiet second later
// or ten seconds after the first, whichever comes sooner.
std::vector<Step> SteadyChanges(int fromMs, int toMs, bool running) {
    std::vector<Step> steps;
    for (int at = fromMs; at <= toMs; at += 500) {
        steps.push_back(
            {at, Act::Change, false, running ? std::nullopt : std::optional(std::min(at + 1000, fromMs + 10'000))});
    }
    return steps;
}

std::vector<Step> Then(std::vector<Step> steps, const std::vector<Step>& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

std::string CaseName(const ::testing::TestParamInfo<QuietCase>& tested) {
    return tested.param.what;
}

class QuietRuleCases : public ::testing::TestWithParam<QuietCase> {};

TEST_P(QuietRuleCases, StartsPassesByTheRule) {
    Clock::time_point now = kStart;
    QuietRule rule([&now] { return now; });
    for (const Step& step : GetParam().steps) {
        now = kStart + milliseconds(step.atMs);
        switch (step.act) {
        case Act::Change:
            rule.ChangeSeen();
            break;
        case Act::PassStarts:
            rule.PassStarted();
            break;
        case Act::PassEnds:
            rule.PassEnded();
            break;
        case Act::Look:
            break;
        }
        const auto dueAt = rule.DueAt();
        EXPECT_EQ(rule.PassDue(), step.due) << "at " << step.atMs << " ms";
        EXPECT_EQ(
            dueAt ? std::optional(static_cast<int>(std::chrono::duration_cast<milliseconds>(*dueAt - kStart).count()))
                  : std::nullopt,
            step.dueAtMs)
            << "at " << step.atMs << " ms";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rule, QuietRuleCases,
    ::testing::Values(
        QuietCase{"NothingChangesNothingIsDue", {{0, Act::Look, false, {}}, {600'000, Act::Look, false, {}}}},
        QuietCase{"OneChangeIsDueAfterAQuietSecond",
                  {{0, Act::Change, false, 1000}, {999, Act::Look, false, 1000}, {1000, Act::Look, true, 1000}}},
        QuietCase{"EachChangeRestartsTheQuietSecond",
                  {{0, Act::Change, false, 1000},
                   {800, Act::Change, false, 1800},
                   {1000, Act::Look, false, 1800},
                   {1799, Act::Look, false, 1800},
                   {1800, Act::Look, true, 1800}}},
        QuietCase{
            "ChangesThatKeepComingAreDueTenSecondsAfterTheFirst",
            Then(SteadyChanges(0, 9500, false), {{9999, Act::Look, false, 10'000}, {10'000, Act::Look, true, 10'000}})},
        QuietCase{"APassSeesTheChangesBeforeIt",
                  {{0, Act::Change, false, 1000},
                   {1000, Act::PassStarts, false, {}},
                   {3000, Act::PassEnds, false, {}},
                   {60'000, Act::Look, false, {}}}},
        QuietCase{"APassStartedOtherwiseSeesThemToo",
                  {{0, Act::Change, false, 1000},
                   {300, Act::PassStarts, false, {}},
                   {400, Act::PassEnds, false, {}},
                   {1300, Act::Look, false, {}}}},
        QuietCase{"NoPassIsDueWhileOneRuns",
                  {{0, Act::PassStarts, false, {}}, {100, Act::Change, false, {}}, {5000, Act::Look, false, {}}}},
        QuietCase{"AChangeDuringALongPassStartsOneMoreAtItsEnd",
                  {{0, Act::PassStarts, false, {}},
                   {100, Act::Change, false, {}},
                   {5000, Act::PassEnds, true, 1100},
                   {5000, Act::PassStarts, false, {}},
                   {6000, Act::PassEnds, false, {}}}},
        QuietCase{"AChangeAtTheEndOfAPassWaitsItsQuietSecond",
                  {{0, Act::PassStarts, false, {}},
                   {100, Act::Change, false, {}},
                   {200, Act::PassEnds, false, 1100},
                   {1100, Act::Look, true, 1100}}},
        QuietCase{"ChangesThroughoutALongPassStartOneMoreAtOnce",
                  Then(Then({{0, Act::PassStarts, false, {}}}, SteadyChanges(0, 12'000, true)),
                       {{12'000, Act::PassEnds, true, 10'000}})}),
    CaseName);

TEST(QuietRule, LongerDelaysCanBeGiven) {
    Clock::time_point now = kStart;
    QuietRule rule([&now] { return now; }, {std::chrono::seconds(2), std::chrono::seconds(30)});
    rule.ChangeSeen();
    now += std::chrono::seconds(1);
    EXPECT_FALSE(rule.PassDue());
    now += std::chrono::seconds(1);
    EXPECT_TRUE(rule.PassDue());
}

} // namespace
} // namespace quillmere
