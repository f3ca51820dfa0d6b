// SPDX-License-Identifier: GPL-3.0-or-later
// The copy as a caller that compared nothing asks for it: the destination as it is now is the one to replace
// (or, when there is none, a new file is added). For the tests of the copy itself, on every system.
#pragma once

#include "platform/FileCopy.h"

#include <string>

namespace quillmere::test {

inline platform::CopyRequest AsFound(const std::string& source, const std::string& destination) {
    return platform::CopyRequest{
        .source = source, .destination = destination, .destinationAsCompared = platform::ReadFileFacts(destination)};
}

inline bool IsCopied(const platform::CopyOutcome& outcome) {
    return outcome.status == platform::CopyStatus::Copied;
}

// The fail-safe copy as found; true when it was made.
inline bool CopyAsFound(const std::string& source, const std::string& destination) {
    return IsCopied(platform::CopyFileFailSafe(AsFound(source, destination)));
}

} // namespace quillmere::test
