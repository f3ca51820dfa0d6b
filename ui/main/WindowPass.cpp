// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/WindowPass.h"

namespace quillmere {

void WindowPass::Report(const TrappedError& error) {
    // Message boxes belong to the UI thread; the pass goes on meanwhile. A report that arrives after the window
    // was closed is dropped: a box then would only hold up the end of the program.
    poster_.Post([this, error] {
        if (!StopRequested()) {
            reports_.Report(error);
        }
    });
}

void WindowPass::NotCopied(const std::string& source, const std::string& destination,
                           const platform::CopyOutcome& outcome) {
    failures_.NotCopied(source, destination, outcome.cause);
}

void WindowPass::NotRead(const std::string& path, const std::string& cause) {
    failures_.NotRead(path, cause);
}

void WindowPass::NotRun(const std::string& cause) {
    failures_.NotRun(cause);
}

void WindowPass::NotKeptInTrash(const std::string& destination, const std::string& cause) {
    failures_.NotKept(destination, cause);
}

} // namespace quillmere
