// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ErrorTrap.h"

#include "BuildValues.h"

namespace quillmere {

std::string ProcedureText(const TrapStep& step) {
    return "in " + std::string(step.product) + "2021/08/31." + std::string(step.procedure) + " ";
}

std::string FormatErrorReport(const TrappedError& error, std::string_view supportAddress) {
    std::string text = error.description + "\r\n" + error.procedureText + "at line " + std::to_string(error.line);
    if (!supportAddress.empty()) {
        text += "\r\rPlease email screenshot of this message to " + std::string(supportAddress);
    }
    return text;
}

std::string DescribeCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

} // namespace quillmere
