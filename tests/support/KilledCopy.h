// SPDX-License-Identifier: GPL-3.0-or-later
// What a copy killed once its data is written leaves behind (a service manager's SIGKILL, a power cut): its
// temporary file, as the clean-up of leftovers meets it; or, killed in the middle of a replacement, the file it
// swapped out. POSIX only.
#pragma once

#include "platform/FileCopy.h"
#include "platform/TemporaryName.h"
#include "platform/posix/TemporarySibling.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <fcntl.h>

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

// Swaps a new file holding data in for the file at destination, as a replacement does, in a child killed before it
// checks what it took out or swaps it back; the temporary name the file that was at destination now lies under.
inline std::string LeaveKilledExchange(const std::string& destination, const std::string& data) {
    const std::filesystem::path path(destination);
    const auto taken = RunInChild([&] {
        const platform::posix::UniqueFd folder(::open(path.parent_path().c_str(), O_PATH | O_DIRECTORY));
        platform::posix::TemporarySibling temporary(folder.Get());
        if (!platform::posix::WriteAll(temporary.Fd(), data.data(), data.size()) ||
            temporary.Exchange(path.filename()) != 0) {
            return std::string();
        }
        std::raise(SIGKILL);
        return std::string();
    });
    for (const std::string& name : NamesIn(path.parent_path())) {
        if (!taken && platform::IsTemporaryName(name)) {
            return (path.parent_path() / name).string();
        }
    }
    return "";
}

} // namespace quillmere::test
