// The paths of a file list grouped by file name, so that a pass finds the same-named files of the other side
// without comparing every path with every other.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillmere {

class NameIndex {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    explicit NameIndex(const std::vector<std::string>& paths);

    bool Contains(const std::string& name) const { return first_.contains(name); }
    // The lowest index of a path named name, npos when there is none; Next gives the following ones, ascending.
    std::size_t First(const std::string& name) const;
    std::size_t Next(std::size_t index) const { return next_[index]; }

private:
    std::unordered_map<std::string, std::size_t> first_;
    std::vector<std::size_t> next_; // per path: the next index with the same name, npos after the last
};

} // namespace quillmere
