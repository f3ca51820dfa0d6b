// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one error report: a trapped run-time error names the procedure and the numbered step that
// failed, is shown to the user, and the procedure goes on with its next step. Each module names its steps in one
// table (an enum of its steps and their procedure and line), checked as the program is compiled so that no two
// steps of a procedure share a line: a report then points at one step.
#pragma once

#include "BuildValues.h"

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>

namespace quillmere {

struct TrappedError {
    std::string procedureText; // "in Quillmere2021/08/31.modSync.SyncFolders " (with its trailing blank)
    int line = 0;
    std::string description;

    bool operator==(const TrappedError&) const = default;
};

// One numbered step of a trapped procedure, as its report names it.
struct TrapStep {
    std::string_view procedure; // module and procedure: "modSync.SyncFolders"
    int line = 0;               // 0: the handler's own guard around its whole body, not one step of it
    std::string_view product = build::kProductName; // the name the procedure text begins with
};

// A module's table of steps: entry i is the step whose id has the value i.
template <class Id> struct StepEntry {
    Id id;
    TrapStep step;
};

// True when every entry stands at the place of its id and no two steps of one procedure share a line. Each
// module's table is checked by a static_assert beside it.
template <class Id, std::size_t N> consteval bool IsStepTable(const StepEntry<Id> (&table)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(table[i].id) != i) {
            return false;
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (table[j].step.procedure == table[i].step.procedure && table[j].step.line == table[i].step.line) {
                return false;
            }
        }
    }
    return true;
}

// The step of id in its module's table.
template <class Id, std::size_t N> constexpr const TrapStep& StepIn(const StepEntry<Id> (&table)[N], Id id) {
    return table[static_cast<std::size_t>(id)].step;
}

// "in " + product + "2021/08/31." + procedure + " ": the procedure as its reports name it.
std::string ProcedureText(const TrapStep& step);

// The full text of the report's message box. It asks for a screenshot only where the build names an address to
// send it to.
std::string FormatErrorReport(const TrappedError& error, std::string_view supportAddress = build::kSupportAddress);

// Receives trapped errors. The window shows them in a message box; the command line prints them.
class ErrorSink {
public:
    virtual ~ErrorSink() = default;
    virtual void Report(const TrappedError& error) = 0;
};

// For callers that want their steps trapped and nothing shown.
class IgnoredErrors final : public ErrorSink {
public:
    void Report(const TrappedError& /*error*/) override {}
};

std::string DescribeCurrentException();

// The one way a step is trapped: whatever it throws is reported, and the caller goes on. Returns false when the
// step failed.
template <class Statement> bool RunTrapped(ErrorSink& sink, const TrapStep& step, Statement&& statement) noexcept {
    try {
        statement();
        return true;
    } catch (...) {
        try {
            sink.Report(TrappedError{ProcedureText(step), step.line, DescribeCurrentException()});
        } catch (...) {
            // A sink that fails must not take the procedure down with it.
        }
        return false;
    }
}

} // namespace quillmere
