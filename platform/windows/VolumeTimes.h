// How finely a file system named by GetVolumeInformationW keeps file times.
#pragma once

#include <cstdint>
#include <string_view>

namespace quillmere::platform::windows {

// Nanoseconds: FAT 2 s, exFAT 10 ms, NTFS and ReFS 100 ns. Any other name (network redirectors report what the
// server likes, Wine reports its own choice) gives 100 ns, the step of every Windows file time, so no two
// distinct times read through Windows are ever taken for the same.
std::int64_t TimeResolutionOfFileSystem(std::wstring_view fileSystemName);

} // namespace quillmere::platform::windows
