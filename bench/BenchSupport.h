// SPDX-License-Identifier: GPL-3.0-or-later
// What the benchmarks share: making files with a given time, running a command, and the median of the runs.
#pragma once

#include "engine/modSync.h"

#include <cstddef>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace quillmere::bench {

// A large file, and the times of the older and the newer version of a file the benches replace.
constexpr std::size_t kLargeBytes = std::size_t{1} << 30;
constexpr std::time_t kOldSeconds = 1'600'000'000;
constexpr std::time_t kNewSeconds = kOldSeconds + 3600;

// A pass between two folders, entered as the command line enters them.
SyncCounts PassBetween(const std::string& one, const std::string& two, SyncDirection direction, SyncObserver& observer,
                       SyncOptions options = {});

// Whether folder's file system has room for three files of bytes each (a source, its copy and a kept old version),
// with a little to spare.
bool HasRoomForThree(const std::string& folder, std::size_t bytes);

// The median: the middle value, or the mean of the two middle ones; 0 when there is none.
double Median(std::vector<double> values);

// Gives path the last-write (and access) time seconds; throws when it cannot.
void SetTime(const std::string& path, std::time_t seconds);

// Writes bytes of 'x' to path and gives it the time seconds; throws when it cannot.
void MakeFile(const std::string& path, std::size_t bytes, std::time_t seconds);

// Runs a shell command; throws when it fails.
void Run(const std::string& command);

// Wall-clock seconds a piece of work takes.
double SecondsOf(const std::function<void()>& work);

} // namespace quillmere::bench
