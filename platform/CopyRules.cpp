// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/CopyRules.h"

namespace quillmere::platform {

bool IsSameVersion(const FileFacts& now, const FileFacts& compared, StableFacts stable) {
    return (!stable.identity || now.identity == compared.identity) && now.size == compared.size &&
           now.lastWriteTime == compared.lastWriteTime;
}

std::optional<Refusal> JudgeSource(EntryKind kind, const FileFacts& opened, const std::optional<FileFacts>& compared) {
    if (kind != EntryKind::File) {
        return Refusal::NotAFile;
    }
    if (compared && opened != *compared) {
        return Refusal::SourceChanged;
    }
    return std::nullopt;
}

std::optional<Refusal> JudgeDestination(const SeenEntry& destination, bool isTheSource,
                                        const std::optional<FileFacts>& compared, StableFacts stable) {
    switch (destination.kind) {
    case EntryKind::Missing:
        return compared ? std::optional(Refusal::DestinationChanged) : std::nullopt;
    case EntryKind::NotAFile:
        return Refusal::NotAFile;
    case EntryKind::File:
        break;
    }
    if (isTheSource) {
        return Refusal::SameFile;
    }
    if (destination.readOnly) {
        return Refusal::ReadOnly;
    }
    if (!compared) {
        return Refusal::DestinationExists;
    }
    if (!IsSameVersion(destination.facts, *compared, stable)) {
        return Refusal::DestinationChanged;
    }
    return std::nullopt;
}

std::optional<Refusal> JudgeSourceAgain(const std::optional<FileFacts>& named, const FileFacts& opened) {
    return named && *named == opened ? std::nullopt : std::optional(Refusal::SourceChanged);
}

std::optional<Refusal> JudgePlace(const std::optional<FileFacts>& now, const std::optional<FileFacts>& expected,
                                  StableFacts stable) {
    if (!expected) {
        return now ? std::optional(Refusal::DestinationExists) : std::nullopt;
    }
    if (!now || !IsSameVersion(*now, *expected, stable)) {
        return Refusal::DestinationChanged;
    }
    return std::nullopt;
}

} // namespace quillmere::platform
