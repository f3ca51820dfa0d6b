// SPDX-License-Identifier: GPL-3.0-or-later
// The check every module's table of trapped steps passes as the program compiles.
#include "base/ErrorTrap.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace quillmere {
namespace {

enum class Two { First, Second };

constexpr StepEntry<Two> kApart[] = {{Two::First, {"Module.One", 100}}, {Two::Second, {"Module.One", 102}}};
constexpr StepEntry<Two> kSameLine[] = {{Two::First, {"Module.One", 100}}, {Two::Second, {"Module.One", 100}}};
constexpr StepEntry<Two> kOtherProcedure[] = {{Two::First, {"Module.One", 100}}, {Two::Second, {"Module.Two", 100}}};
constexpr StepEntry<Two> kOutOfPlace[] = {{Two::Second, {"Module.One", 100}}, {Two::First, {"Module.One", 102}}};

// Two steps of one procedure never share a line, so a report points at one step; every step stands at its id's
// place, so a step looked up by its id is the one named.
TEST(StepTableTest, EachLineOfAProcedureNamesOneStepAndEachStepStandsAtItsId) {
    constexpr bool apart = IsStepTable(kApart);
    constexpr bool sameLine = IsStepTable(kSameLine);
    constexpr bool otherProcedure = IsStepTable(kOtherProcedure);
    constexpr bool outOfPlace = IsStepTable(kOutOfPlace);
    EXPECT_TRUE(apart);
    EXPECT_FALSE(sameLine);
    EXPECT_TRUE(otherProcedure) << "lines are counted per procedure";
    EXPECT_FALSE(outOfPlace);
    EXPECT_EQ(StepIn(kApart, Two::Second).line, 102);
}

TEST(StepTableTest, AReportNamesTheStepsProcedureAndLine) {
    struct Recording final : ErrorSink {
        void Report(const TrappedError& error) override { reports.push_back(error); }
        std::vector<TrappedError> reports;
    } sink;
    EXPECT_TRUE(RunTrapped(sink, TrapStep{"Module.One", 104}, [] {}));
    EXPECT_FALSE(RunTrapped(sink, TrapStep{"Module.One", 104}, [] { throw std::runtime_error("Disk full"); }));
    EXPECT_FALSE(RunTrapped(sink, TrapStep{"Walk.Two", 106, "Other"}, [] { throw 1; }));
    const std::vector<TrappedError> expected{
        {"in " + std::string(build::kProductName) + "2021/08/31.Module.One ", 104, "Disk full"},
        {"in Other2021/08/31.Walk.Two ", 106, "Unknown error"}};
    EXPECT_EQ(sink.reports, expected);
}

} // namespace
} // namespace quillmere
