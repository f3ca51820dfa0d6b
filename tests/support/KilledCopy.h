// SPDX-License-Identifier: GPL-3.0-or-later
// What a copy killed once its data is written leaves behind (a service manager's SIGKILL, a power cut): its
// temporary file, as the clean-up of leftovers meets it. POSIX only.
#pragma once

#include "platform/FileCopy.h"
#include "platform/TemporaryName.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <filesystem>
#include <string>

namespace quillmere::test {

// Copies source to destination in a child that is killed before the copy puts its file in place; the path of
// the temporary file it left, or "" when it left none.
inline std::string LeaveKilledCopy(const std::string& source, const std::string& destination) {
    const auto finished = RunInChild([&] {
        platform::CopyRequest request{.source = source, .destination = destination};
        request.onStage = [](platform::CopyStage) { std::raise(SIGKILL); };
        platform::CopyFileFailSafe(request);
        return std::string("not killed");
    });
    const std::string folder = std::filesystem::path(destination).parent_path();
    for (const std::string& name : NamesIn(folder)) {
        if (!finished && platform::IsTemporaryName(name)) {
            return folder + "/" + name;
        }
    }
    return "";
}

} // namespace quillmere::test
