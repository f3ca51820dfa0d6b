// SPDX-License-Identifier: GPL-3.0-or-later
// The shared tests' private folder and file helpers (tests/support/TempDir.h) on Windows, so that tests written
// for both systems, such as the watched passes against full ones, run under Wine too. Paths may mix "/" into
// the Windows form; each helper gives the system the Windows one.
#include "tests/support/TempDir.h"

#include "tests/windows/WindowsTestFolder.h"

#include <algorithm>

namespace quillmere::test {

namespace {

// 100 ns steps from 1601-01-01 (a Windows file time's start) to 1970-01-01.
constexpr std::int64_t kUnixEpochInSteps = 116'444'736'000'000'000;

std::string WindowsForm(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

} // namespace

TempDir::TempDir() {
    const std::string folder = testing::MakeTemporaryFolder();
    path_ = folder.substr(0, folder.size() - 1);
}

TempDir::~TempDir() {
    testing::RemoveFolderTree(path_ + "\\");
}

std::string TempDir::operator/(std::string_view relative) const {
    return path_ + "\\" + WindowsForm(std::string(relative));
}

void WriteFile(const std::string& path, std::string_view text) {
    testing::WriteText(WindowsForm(path), std::string(text));
}

std::string ReadFile(const std::string& path) {
    return testing::ReadText(WindowsForm(path));
}

void MakeFolder(const std::string& path) {
    testing::MakeFolder(WindowsForm(path));
}

std::int64_t LastWriteNs(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA facts{};
    const std::string windowsPath = WindowsForm(path);
    if (!GetFileAttributesExA(windowsPath.c_str(), GetFileExInfoStandard, &facts)) {
        return -1;
    }
    const std::uint64_t steps =
        (std::uint64_t{facts.ftLastWriteTime.dwHighDateTime} << 32) | facts.ftLastWriteTime.dwLowDateTime;
    return (static_cast<std::int64_t>(steps) - kUnixEpochInSteps) * 100;
}

void SetLastWriteNs(const std::string& path, std::int64_t nanoseconds) {
    testing::SetLastWriteSteps(WindowsForm(path), static_cast<std::uint64_t>(nanoseconds / 100 + kUnixEpochInSteps));
}

} // namespace quillmere::test
