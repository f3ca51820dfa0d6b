// SPDX-License-Identifier: GPL-3.0-or-later
// What one pass could not do: every copy not made, every folder not read and every replaced file not kept, counted,
// with the first of them kept as the lines the window lists. Memory stays bounded: a pass failing on every one of
// 100,000 files keeps only the first lines and counts the rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

class PassFailures {
public:
    static constexpr std::size_t kKeptLines = 1000;

    explicit PassFailures(std::size_t keptLines = kKeptLines) : keptLines_(keptLines) {}

    void NotCopied(const std::string& source, const std::string& destination, const std::string& cause);
    void NotRead(const std::string& folder, const std::string& cause);
    // A file replaced outright although it was to go to the Trash (its drive has none).
    void NotKept(const std::string& destination, const std::string& cause);
    // The pass did none of its work (another pass holds its folders): the cause is all there is to tell.
    void NotRun(const std::string& cause);

    bool Empty() const { return notCopied_ == 0 && notRead_ == 0 && notKept_ == 0 && notRun_.empty(); }
    // How many of each, as "3 files not copied, 1 folder not read", or why the pass did not run; empty text when
    // nothing failed.
    std::string Summary() const;
    // The first failure in a few words: the name of its file or folder and the cause.
    const std::string& FirstCause() const { return firstCause_; }
    // One record per failure kept, in the order they happened, then a line that counts those not kept.
    std::vector<std::string> Lines() const;

private:
    void Keep(std::string record, std::string_view path, std::string_view cause);

    std::size_t keptLines_;
    std::int64_t notCopied_ = 0;
    std::int64_t notRead_ = 0;
    std::int64_t notKept_ = 0;
    std::string notRun_;
    std::vector<std::string> records_;
    std::string firstCause_;
};

} // namespace quillmere
