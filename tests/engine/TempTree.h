// A private temporary folder for one test, removed at its end, with helpers to write files at given times.
#pragma once

#include <cstdint>
#include <string>

namespace quillmere::test {

// A fixed moment (2023-11-14 22:13:20 UTC) to write file times around, in nanoseconds since 1970.
inline constexpr std::int64_t kBaseTime = 1'700'000'000'000'000'000;
inline constexpr std::int64_t kSecond = 1'000'000'000;

class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& Root() const { return root_; }
    // Creates root/relative (and its parents) and returns it with one trailing separator.
    std::string MakeFolder(const std::string& relative) const;

private:
    std::string root_;
};

// Writes path (creating its folders) and gives it the last-write time nanoseconds.
void WriteFile(const std::string& path, const std::string& content, std::int64_t nanoseconds);
std::string ReadFile(const std::string& path);
std::int64_t LastWriteTime(const std::string& path);
bool Exists(const std::string& path);

// Every file below folder, relative path -> content and time, to tell whether anything was written.
std::string Snapshot(const std::string& folder);

} // namespace quillmere::test
