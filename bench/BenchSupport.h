// SPDX-License-Identifier: GPL-3.0-or-later
// What the benchmarks share: making files with a given time, running a command, and the median of the runs.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace quillmere::bench {

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
