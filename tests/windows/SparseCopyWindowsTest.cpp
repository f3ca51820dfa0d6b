// SPDX-License-Identifier: GPL-3.0-or-later
// A sparse file on Win32 (a disk image, a database, a download being filled): the copy holds the same data, and
// where the volume keeps sparse files it is sparse too, taking no more disk than the source.
#include "platform/FileSystem.h"
#include "platform/windows/WideText.h"
#include "platform/windows/Win32Handle.h"
#include "tests/support/CopyAsFound.h"
#include "tests/windows/WindowsTestFolder.h"

#include <gtest/gtest.h>

#include <winioctl.h>

#include <iostream>

namespace quillmere::platform {
namespace {

using testing::WindowsTestFolder;

constexpr LONGLONG kMiB = 1 << 20;
constexpr LONGLONG kSize = 64 * kMiB;
constexpr LONGLONG kDataAt = 16 * kMiB;

HANDLE Open(const std::string& path, DWORD access, DWORD disposition) {
    return CreateFileW(windows::ToWidePath(path)->c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Made sparse first, as programs that want holes do, then 1 MiB written in the middle and the size set beyond it.
// False where the volume refuses sparse files: the file then holds its zeros.
bool MakeSparseFile(const std::string& path) {
    const windows::FileHandle file(Open(path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS));
    FILE_SET_SPARSE_BUFFER sparse{TRUE};
    DWORD returned = 0;
    const bool made =
        DeviceIoControl(file.get(), FSCTL_SET_SPARSE, &sparse, sizeof sparse, nullptr, 0, &returned, nullptr);
    const std::string data(kMiB, 'd');
    LARGE_INTEGER at{};
    at.QuadPart = kDataAt;
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = kSize;
    DWORD written = 0;
    EXPECT_TRUE(SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) &&
                WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
                SetFileInformationByHandle(file.get(), FileEndOfFileInfo, &end, sizeof end));
    return made;
}

std::string ReadAll(const std::string& path) {
    const windows::FileHandle file(Open(path, GENERIC_READ, OPEN_EXISTING));
    std::string text(kSize + 1, '\0');
    DWORD read = 0;
    ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    text.resize(read);
    return text;
}

bool IsSparse(const std::string& path) {
    return (GetFileAttributesW(windows::ToWidePath(path)->c_str()) & FILE_ATTRIBUTE_SPARSE_FILE) != 0;
}

LONGLONG DiskBytes(const std::string& path) {
    DWORD high = 0;
    const DWORD low = GetCompressedFileSizeW(windows::ToWidePath(path)->c_str(), &high);
    return (static_cast<LONGLONG>(high) << 32) | low;
}

TEST(WindowsSparseCopy, TheSameDataAndTheHolesKeptWhereTheVolumeKeepsThem) {
    WindowsTestFolder root;
    const std::string source = root / "sparse.img";
    const std::string copy = root / "copy.img";
    const bool sparse = MakeSparseFile(source) && IsSparse(source);
    ASSERT_TRUE(test::CopyAsFound(source, copy));
    const std::string data = ReadAll(copy);
    EXPECT_EQ(data.size(), static_cast<std::size_t>(kSize));
    EXPECT_EQ(data, ReadAll(source));
    if (!sparse) {
        std::cout << "this volume keeps no sparse files: only the data was compared\n";
        return;
    }
    EXPECT_TRUE(IsSparse(copy));
    EXPECT_LE(DiskBytes(copy), DiskBytes(source) + kMiB);
}

} // namespace
} // namespace quillmere::platform
