// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PairLock.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <optional>
#include <span>
#include <tuple>

namespace quillmere {

namespace {

struct ToClaim {
    std::optional<platform::FileIdentity> identity;
    const std::string* folder;
};

bool ClaimedBefore(const ToClaim& one, const ToClaim& other) {
    const auto key = [](const ToClaim& claim) {
        const platform::FileIdentity identity = claim.identity.value_or(platform::FileIdentity{});
        return std::tuple(claim.identity.has_value(), identity.device, identity.inode, *claim.folder);
    };
    return key(one) < key(other);
}

} // namespace

PairLock::PairLock(const std::string& folder1, const std::string& folder2) {
    ToClaim claims[] = {{platform::ReadFolderIdentity(folder1), &folder1},
                        {platform::ReadFolderIdentity(folder2), &folder2}};
    std::sort(std::begin(claims), std::end(claims), ClaimedBefore);
    const bool oneFolder = claims[0].identity && claims[0].identity == claims[1].identity;
    for (const ToClaim& claim : oneFolder ? std::span(claims, 1) : std::span(claims)) {
        locks_.push_back(std::make_unique<platform::FolderLock>(*claim.folder));
        if (locks_.back()->Busy()) {
            locks_.clear();
            held_ = false;
            return;
        }
    }
}

} // namespace quillmere
