// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PassContext.h"

#include "platform/FileSystem.h"

#include <utility>

namespace quillmere {

void PassContext::FolderWalked() {
    ++counts_.foldersWalked;
    observer_.Progress(counts_);
}

void PassContext::FilesListed(std::int64_t count) {
    counts_.filesListed += count;
    observer_.Progress(counts_);
}

void PassContext::PairsCompared(std::int64_t count) {
    counts_.pairsCompared += count;
    observer_.Progress(counts_);
}

void PassContext::DirectionRead(SyncDirection direction) {
    if (firstDirection_ < 0) {
        firstDirection_ = static_cast<int>(direction);
    } else if (firstDirection_ != static_cast<int>(direction)) {
        directionHeld_ = false;
    }
}

void PassContext::SetClock(platform::FileTime now) {
    constexpr std::int64_t kDay = 24 * 60 * 60;
    futureLimit_ = now.seconds > INT64_MAX - kDay ? platform::FileTime{INT64_MAX, 999'999'999}
                                                  : platform::FileTime{now.seconds + kDay, now.nanoseconds};
}

std::optional<std::int64_t> PassContext::KnownTimeStep(std::uint64_t device, bool measured) const {
    const auto known = timeSteps_.find(device);
    if (known == timeSteps_.end() || (measured && !known->second.measured)) {
        return std::nullopt;
    }
    return known->second.nanoseconds;
}

std::int64_t PassContext::LookUpTimeStep(std::uint64_t device, const std::string& folder, bool measure) {
    TimeStep& step = timeSteps_[device];
    step = measure ? TimeStep{files_.MeasureTimeStep(folder), true} : TimeStep{files_.TimeStep(folder), false};
    return step.nanoseconds;
}

void PassContext::Copy(platform::CopyRequest request) {
    SettleIfTouched(request.source, request.destination);
    request.onStage = [this, source = request.source, destination = request.destination](platform::CopyStage stage) {
        observer_.CopyReached(source, destination, stage);
    };
    pendingPaths_.insert(request.source);
    pendingPaths_.insert(request.destination);
    pending_.push_back(PendingCopy{request.source, request.destination, std::nullopt});
    if (files_.StartCopy(request)) {
        SettleCopies();
    }
}

void PassContext::SettleIfTouched(std::string_view path, std::string_view other) {
    if (pending_.empty()) {
        return;
    }
    const auto pending = [this](std::string_view candidate) { return pendingPaths_.contains(candidate); };
    if (pending(path) || pending(other)) {
        SettleCopies();
    }
}

void PassContext::Refuse(const std::string& source, const std::string& destination,
                         const platform::CopyOutcome& outcome) {
    if (pending_.empty()) {
        Tell(source, destination, outcome);
    } else {
        pending_.push_back(PendingCopy{source, destination, outcome});
    }
}

void PassContext::SettleCopies() {
    const std::vector<PendingCopy> settling = std::exchange(pending_, {});
    pendingPaths_.clear();
    std::size_t next = 0;
    const auto tellRefusals = [&] {
        for (; next < settling.size() && settling[next].refused; ++next) {
            Tell(settling[next].source, settling[next].destination, *settling[next].refused);
        }
    };
    tellRefusals();
    files_.SettleCopies([&](const platform::CopyRequest&, const platform::CopyOutcome& outcome) {
        const PendingCopy& copy = settling.at(next++);
        Tell(copy.source, copy.destination, outcome);
        tellRefusals();
    });
}

void PassContext::Tell(const std::string& source, const std::string& destination,
                       const platform::CopyOutcome& outcome) {
    if (told_ != nullptr) {
        // A copy and its source share their file name.
        told_->insert(destination.substr(destination.find_last_of(platform::kSeparator) + 1));
    }
    switch (outcome.status) {
    case platform::CopyStatus::Copied:
        ++counts_.filesCopied;
        if (outcome.replaced == platform::ReplacedFile::Kept) {
            ++counts_.filesKept;
            observer_.KeptInTrash(destination);
        }
        observer_.Copied(source, destination);
        if (outcome.replaced == platform::ReplacedFile::ReplacedUnkept) {
            ++counts_.replacedNotKept;
            observer_.NotKeptInTrash(destination, outcome.cause);
        }
        break;
    case platform::CopyStatus::Refused:
        ++counts_.copiesRefused;
        observer_.NotCopied(source, destination, outcome);
        break;
    case platform::CopyStatus::Failed:
        ++counts_.copiesFailed;
        observer_.NotCopied(source, destination, outcome);
        break;
    }
    observer_.Progress(counts_);
}

void PassContext::NotRead(const std::string& path, const std::string& cause) {
    ++counts_.notRead;
    observer_.NotRead(path, cause);
    observer_.Progress(counts_);
}

} // namespace quillmere
