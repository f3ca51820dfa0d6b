// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/SparseFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

namespace quillmere::test {

namespace {

constexpr std::int64_t kMiB = 1 << 20;

} // namespace

std::vector<SparseLayout> SparseLayouts(std::int64_t size) {
    return {
        {"data between holes", size, {{size / 4, kMiB}}},
        {"data at both ends", size, {{0, kMiB}, {size - kMiB, kMiB}}},
        {"nothing but a hole", size, {}},
    };
}

void MakeSparseFile(const std::string& path, const SparseLayout& layout) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool written = fd >= 0;
    for (const auto& [offset, length] : layout.data) {
        std::string piece(static_cast<std::size_t>(length), '\0');
        for (std::size_t i = 0; i < piece.size(); ++i) {
            piece[i] = static_cast<char>('a' + (offset + static_cast<std::int64_t>(i)) / 4096 % 26);
        }
        written = written && ::pwrite(fd, piece.data(), piece.size(), offset) == static_cast<ssize_t>(piece.size());
    }
    written = written && ::ftruncate(fd, layout.size) == 0 && ::close(fd) == 0;
    if (!written) {
        throw std::runtime_error("cannot write the sparse file " + path);
    }
}

bool SameContents(const std::string& a, const std::string& b) {
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    std::string left(kMiB, '\0');
    std::string right(kMiB, '\0');
    while (first && second) {
        first.read(left.data(), kMiB);
        second.read(right.data(), kMiB);
        if (first.gcount() != second.gcount() || left.compare(0, first.gcount(), right, 0, second.gcount()) != 0) {
            return false;
        }
    }
    return first.eof() && second.eof();
}

} // namespace quillmere::test
