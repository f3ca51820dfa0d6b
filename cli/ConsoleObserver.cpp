// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConsoleObserver.h"

namespace quillmere::cli {

void ConsoleObserver::Copied(const std::string& source, const std::string& destination) {
    std::fprintf(out_, "copied %s -> %s\n", source.c_str(), destination.c_str());
}

void ConsoleObserver::Report(const TrappedError& error) {
    ++errorCount_;
    std::fprintf(err_, "quillmere-sync: error: %s (%sat line %d)\n", error.description.c_str(),
                 error.procedureText.c_str(), error.line);
}

} // namespace quillmere::cli
