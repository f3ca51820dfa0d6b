// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/RemoteFileSystems.h"

#include "platform/posix/TimeResolutionRules.h"

#include <algorithm>
#include <array>

namespace quillmere::platform::posix {

namespace {

// The magic numbers of linux/magic.h and of the drivers that keep theirs to themselves.
constexpr std::array<std::uint64_t, 16> kNetworkMagics{
    0x6969,     // NFS, every version
    0x517B,     // SMB (the old driver)
    0xFF534D42, // CIFS
    0xFE534D42, // SMB2 and SMB3
    0x564C,     // NCP (NetWare)
    0x73757245, // Coda
    0x5346414F, // AFS (OpenAFS)
    0x6B414653, // kAFS
    0x01021997, // 9P (virtual machines' shared folders, WSL)
    0x00C36400, // Ceph
    0x01161970, // GFS2
    0x7461636F, // OCFS2
    0x0BD00BD0, // Lustre
    0x47504653, // GPFS
    0x20030528, // OrangeFS
    0x61636673, // ACFS
};

} // namespace

std::optional<std::string_view> ChangesFromElsewhereOf(std::uint64_t magic) {
    if (magic == kFuseMagic) {
        return "a FUSE folder";
    }
    if (std::find(kNetworkMagics.begin(), kNetworkMagics.end(), magic) != kNetworkMagics.end()) {
        return "a network folder";
    }
    return std::nullopt;
}

} // namespace quillmere::platform::posix
