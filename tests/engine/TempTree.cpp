#include "TempTree.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fsys = std::filesystem;

namespace quillmere::test {

TempTree::TempTree() {
    std::string pattern = (fsys::temp_directory_path() / "quillmere-engine-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    root_ = pattern;
}

TempTree::~TempTree() {
    std::error_code ignored;
    // Tests may leave folders without permissions; give them back so that everything can go.
    for (auto it = fsys::recursive_directory_iterator(root_, ignored); it != fsys::recursive_directory_iterator();
         it.increment(ignored)) {
        fsys::permissions(it->path(), fsys::perms::owner_all, fsys::perm_options::add, ignored);
    }
    fsys::remove_all(root_, ignored);
}

std::string TempTree::MakeFolder(const std::string& relative) const {
    const fsys::path folder = fsys::path(root_) / relative;
    fsys::create_directories(folder);
    return folder.string() + "/";
}

void WriteFile(const std::string& path, const std::string& content, std::int64_t nanoseconds) {
    fsys::create_directories(fsys::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    const timespec time{static_cast<time_t>(nanoseconds / kSecond), static_cast<long>(nanoseconds % kSecond)};
    const timespec times[2] = {time, time};
    if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
        throw std::runtime_error("cannot set the time of " + path);
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::int64_t LastWriteTime(const std::string& path) {
    struct stat facts {};
    if (stat(path.c_str(), &facts) != 0) {
        throw std::runtime_error("no file at " + path);
    }
    return static_cast<std::int64_t>(facts.st_mtim.tv_sec) * kSecond + facts.st_mtim.tv_nsec;
}

bool Exists(const std::string& path) {
    return fsys::exists(path);
}

std::string Snapshot(const std::string& folder) {
    std::vector<std::string> lines;
    for (const auto& entry : fsys::recursive_directory_iterator(folder)) {
        const std::string path = entry.path().string();
        std::string line = fsys::relative(entry.path(), folder).string();
        if (entry.is_regular_file()) {
            line += " " + ReadFile(path) + " " + std::to_string(LastWriteTime(path));
        }
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

} // namespace quillmere::test
