// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one error report: a trapped run-time error names the procedure and the numbered statement
// that failed, is shown to the user, and the procedure goes on with its next statement.
#pragma once

#include "BuildValues.h"

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

// "in Quillmere2021/08/31." + label + " ", the form every trapped procedure but the folder walk uses.
std::string ProcedureText(std::string_view moduleAndProcedure);

// The full text of the report's message box. It asks for a screenshot only where the build names an address to
// send it to.
std::string FormatErrorReport(const TrappedError& error, std::string_view supportAddress = build::kSupportAddress);

// Receives trapped errors. The window shows them in a message box; the command line prints them.
class ErrorSink {
public:
    virtual ~ErrorSink() = default;
    virtual void Report(const TrappedError& error) = 0;
};

// For callers that want their statements trapped and nothing shown.
class IgnoredErrors final : public ErrorSink {
public:
    void Report(const TrappedError& /*error*/) override {}
};

std::string DescribeCurrentException();

// Runs one numbered statement of a trapped procedure: whatever it throws is reported, and the caller goes on.
// Returns false when the statement failed.
template <class Statement>
bool RunTrapped(ErrorSink& sink, std::string_view procedureText, int line, Statement&& statement) noexcept {
    try {
        statement();
        return true;
    } catch (...) {
        try {
            sink.Report(TrappedError{std::string(procedureText), line, DescribeCurrentException()});
        } catch (...) {
            // A sink that fails must not take the procedure down with it.
        }
        return false;
    }
}

} // namespace quillmere
