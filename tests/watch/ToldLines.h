// SPDX-License-Identifier: GPL-3.0-or-later
// What a pass told, its paths relative to the world it ran in, so that a watched pass and a full one in two worlds
// can be set side by side.
#pragma once

#include "engine/modSync.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace quillmere::test {

class Told final : public SyncObserver {
public:
    explicit Told(std::string root) : root_(std::move(root)) {}
    void Copied(const std::string& source, const std::string& destination) override {
        lines.push_back("copied " + Rel(source) + " -> " + Rel(destination));
    }
    void NotCopied(const std::string& source, const std::string& destination,
                   const platform::CopyOutcome& outcome) override {
        lines.push_back("failed " + Rel(source) + " -> " + Rel(destination) + ": " + outcome.cause);
    }
    void NotRead(const std::string& path, const std::string& cause) override {
        lines.push_back("not read " + Rel(path) + ": " + cause);
    }
    void Report(const TrappedError& error) override { lines.push_back("error " + error.description); }
    std::vector<std::string> lines;

private:
    // In one form on both systems, so that the cases can name what they expect.
    std::string Rel(const std::string& path) const {
        std::string relative = path.substr(root_.size());
        std::replace(relative.begin(), relative.end(), '\\', '/');
        return relative;
    }
    std::string root_;
};

} // namespace quillmere::test
