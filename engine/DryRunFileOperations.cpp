// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DryRunFileOperations.h"

#include "fs/Main.h"
#include "platform/CopyRules.h"
#include "platform/FileSystem.h"

namespace quillmere {

namespace {

using platform::CopyOutcome;
using platform::Refusal;

// The file systems that keep coarser times (FAT, exFAT) cut the copied time down to their step.
platform::FileTime TimeAsStoredIn(const std::string& folder, platform::FileTime time) {
    return platform::TruncatedToStep(time, platform::TimeResolution(folder));
}

bool IsReadOnly(const std::string& path) {
    const std::optional<std::uint32_t> attributes = platform::ReadAttributes(path);
    return attributes && (*attributes & platform::attr::ReadOnly) != 0;
}

} // namespace

bool DryRunFileOperations::StartCopy(const platform::CopyRequest& request) {
    unsettled_.emplace_back(request, Copy(request));
    return true;
}

void DryRunFileOperations::SettleCopies(const platform::CopyBatch::Told& tell) {
    for (const auto& [request, outcome] : std::exchange(unsettled_, {})) {
        tell(request, outcome);
    }
}

// A pretended source is checked as the real file it copies; a pretended destination by what a real copy would
// have left there, in the order the real copy checks.
platform::CopyOutcome DryRunFileOperations::Copy(const platform::CopyRequest& request) {
    platform::CopyRequest real = request;
    if (auto refused = GuardCopyRequest(real)) {
        return *refused;
    }
    const auto source = pretended_.find(real.source);
    const PretendedFile* pretendedSource = source != pretended_.end() ? &source->second : nullptr;
    if (pretendedSource != nullptr) {
        real.source = pretendedSource->origin;
        real.sourceAsCompared.reset(); // the pass compared the pretended file, which is as it was
    }
    if (auto problem = platform::CheckCopySource(real)) {
        return *problem;
    }
    const auto destination = pretended_.find(real.destination);
    if (auto problem = destination != pretended_.end() ? CheckPretended(request, destination->second)
                                                       : platform::CheckCopyDestination(real)) {
        return *problem;
    }
    const std::optional<PretendedFile> made = Pretend(real, pretendedSource);
    if (!made) {
        return CopyOutcome::Refused(Refusal::SourceChanged); // gone since it was checked
    }
    pretended_[real.destination] = *made;
    // Only a file the pass compared is replaced, so keeping it is asked only of a file that is there.
    return CopyOutcome::Copied(made->facts, real.keepReplaced && real.destinationAsCompared
                                                ? platform::ReplacedFile::Kept
                                                : platform::ReplacedFile::NotAsked);
}

std::optional<platform::CopyOutcome> DryRunFileOperations::CheckPretended(const platform::CopyRequest& request,
                                                                          const PretendedFile& destination) {
    const auto refusal = platform::JudgeDestination(
        platform::SeenEntry{platform::EntryKind::File, destination.facts, destination.readOnly},
        NormalizePath(request.source) == NormalizePath(request.destination), request.destinationAsCompared,
        platform::StableFacts{});
    return refusal ? std::optional(CopyOutcome::Refused(*refusal)) : std::nullopt;
}

std::optional<DryRunFileOperations::PretendedFile> DryRunFileOperations::Pretend(const platform::CopyRequest& real,
                                                                                 const PretendedFile* source) {
    const std::optional<platform::FileFacts> origin = platform::ReadFileFacts(real.source);
    if (!origin) {
        return std::nullopt;
    }
    const platform::FileTime time = source != nullptr ? source->facts.lastWriteTime : origin->lastWriteTime;
    const platform::FileFacts facts{platform::FileIdentity{0, ++lastIdentity_},
                                    origin->size,
                                    TimeAsStoredIn(GetFolderPart(real.destination), time),
                                    {}};
    return PretendedFile{facts, source != nullptr ? source->readOnly : IsReadOnly(real.source), real.source};
}

} // namespace quillmere
