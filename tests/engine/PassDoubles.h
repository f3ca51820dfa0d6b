// SPDX-License-Identifier: GPL-3.0-or-later
// Settings and an observer for driving passes in tests.
#pragma once

#include "engine/modSync.h"
#include "fs/Main.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quillmere::test {

// A fixed moment (2023-11-14 22:13:20 UTC) to write file times around, in nanoseconds since 1970.
inline constexpr std::int64_t kBaseTime = 1'700'000'000'000'000'000;
inline constexpr std::int64_t kSecond = 1'000'000'000;

using CopyRecord = std::pair<std::string, std::string>; // source, destination

// Two folders and a direction: the folders are entered as the window and the command line enter them.
class FixedSettings : public SyncSettings {
public:
    FixedSettings(std::string folder1, std::string folder2, SyncDirection direction)
        : folder1_(EnteredFolder(folder1)), folder2_(EnteredFolder(folder2)), direction_(direction) {}

    SyncDirection Direction() const override { return direction_; }
    SyncJob Job(SyncOptions options = {}) const { return SyncJob{folder1_, folder2_, std::move(options)}; }

private:
    std::string folder1_;
    std::string folder2_;
    SyncDirection direction_;
};

// A pass between the settings' folders in their direction.
inline SyncCounts RunPassOf(const FixedSettings& settings, SyncObserver& observer, SyncOptions options = {}) {
    return SyncFolders(settings.Job(std::move(options)), settings, observer);
}

class RecordingObserver : public SyncObserver {
public:
    bool StopRequested() const override { return stopWhen && stopWhen(*this); }
    void Progress(const SyncCounts& sofar) override { last = sofar; }
    void Copied(const std::string& source, const std::string& destination) override {
        copies.emplace_back(source, destination);
    }
    void KeptInTrash(const std::string& destination) override { kept.push_back(destination); }
    void NotCopied(const std::string& source, const std::string& destination,
                   const platform::CopyOutcome& outcome) override {
        notCopied.push_back({source, destination, outcome.cause});
    }
    void NotRead(const std::string& path, const std::string& cause) override { notRead.emplace_back(path, cause); }
    void NotRun(const std::string& cause) override { notRun.push_back(cause); }
    void CopyReached(const std::string& source, const std::string& destination, platform::CopyStage stage) override {
        if (onStage) {
            onStage(source, destination, stage);
        }
    }
    void Report(const TrappedError& error) override { errors.push_back(error); }

    struct NotCopiedRecord {
        std::string source;
        std::string destination;
        std::string cause;
        bool operator==(const NotCopiedRecord&) const = default;
    };

    std::function<bool(const RecordingObserver&)> stopWhen;
    std::function<void(const std::string&, const std::string&, platform::CopyStage)> onStage;
    std::vector<CopyRecord> copies;
    std::vector<std::string> kept; // destinations whose replaced file is in the Trash
    std::vector<NotCopiedRecord> notCopied;
    std::vector<std::pair<std::string, std::string>> notRead; // path, cause
    std::vector<std::string> notRun;
    std::vector<TrappedError> errors;
    SyncCounts last;
};

inline constexpr SyncDirection kAllDirections[] = {SyncDirection::BothWays, SyncDirection::Folder1ToFolder2,
                                                   SyncDirection::Folder2ToFolder1};

} // namespace quillmere::test
