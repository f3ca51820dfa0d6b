// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Additions.h"

#include "engine/SyncSteps.h"
#include "engine/Ways.h"
#include "engine/modCompare.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <utility>

namespace quillmere {

namespace {

// A name as the case-insensitive file systems (FAT, exFAT, NTFS on Windows) match it, as far as they all agree:
// ASCII letters folded. Names differing in other letters only miss the plainer reason when they clash.
std::string FoldedCase(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

// The steps of the additions one way: looking for them, and copying them.
struct AdditionSteps {
    SyncStep look = SyncStep::ReadDirection;
    SyncStep copy = SyncStep::ReadDirection;
};
constexpr std::array<ByDirectionAndWay<AdditionSteps>, 4> kAdditionSteps{{
    {SyncDirection::BothWays, Way::Folder1ToFolder2, {SyncStep::LookBothWays1To2, SyncStep::CopyBothWays1To2}},
    {SyncDirection::BothWays, Way::Folder2ToFolder1, {SyncStep::LookBothWays2To1, SyncStep::CopyBothWays2To1}},
    {SyncDirection::Folder1ToFolder2, Way::Folder1ToFolder2, {SyncStep::Look1To2, SyncStep::Copy1To2}},
    {SyncDirection::Folder2ToFolder1, Way::Folder2ToFolder1, {SyncStep::Look2To1, SyncStep::Copy2To1}},
}};

// The side a way copies from, and the side it copies into.
std::pair<const Side&, const Side&> Ends(Way way, const Side& side1, const Side& side2) {
    if (way == Way::Folder1ToFolder2) {
        return {side1, side2};
    }
    return {side2, side1};
}

bool IsNewer(std::optional<platform::FileTime> time, std::optional<platform::FileTime> than) {
    return time && (!than || *time > *than);
}

// The additions towards one top folder in the order they are copied. Of same-named ones only the last the walk
// found is copied, the one that would remain after all of them, so that each destination is written once. Names
// that differ only in letter case name one file where the destination ignores case: the newest of them goes
// first, so that it is the one that lands there, whatever the walk's order.
FileIndexes CopyOrder(const Side& source, const FileIndexes& additions) {
    std::unordered_map<std::string, std::size_t> groupOf;
    std::vector<FileIndexes> groups;
    for (const std::uint32_t file : additions) {
        if (source.names->Next(file) != NameIndex::npos) {
            continue;
        }
        const auto [at, fresh] = groupOf.try_emplace(FoldedCase(source.files.NameOf(file)), groups.size());
        if (fresh) {
            groups.emplace_back();
        }
        groups[at->second].push_back(file);
    }
    FileIndexes order;
    order.reserve(groups.size());
    for (FileIndexes& group : groups) {
        std::stable_sort(group.begin(), group.end(), [&](std::uint32_t a, std::uint32_t b) {
            return IsNewer(source.files.LastWriteTimeOf(a), source.files.LastWriteTimeOf(b));
        });
        order.insert(order.end(), group.begin(), group.end());
    }
    return order;
}

// Whether folder takes name for another entry's: a file answers to the name, yet the folder lists no entry by
// exactly that name (a case-insensitive file system holding it in other letter case).
bool TakenInOtherCase(const std::string& folder, std::string_view name) {
    const std::string path = folder + std::string(name);
    if (!platform::ReadAttributes(path)) {
        return false;
    }
    const platform::FolderContents listed = platform::ListFolderContents(folder, {true, true, false});
    const auto holds = [&](const std::vector<std::string>& names) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    return listed.status == platform::ListingStatus::Ok && !holds(listed.files) && !holds(listed.folders);
}

// The folded names of the files in a side's top folder, taken by no copy of this pass (no destination).
std::unordered_map<std::string, std::string> TopFolderNames(const Side& side) {
    std::unordered_map<std::string, std::string> names;
    const ListedFiles& files = side.files;
    for (std::size_t file = files.FirstFileOf(0); files.FolderCount() > 0 && file < files.FirstFileOf(1); ++file) {
        names.emplace(FoldedCase(files.NameOf(file)), std::string());
    }
    return names;
}

// Copies each file of additions into the top folder of target, whatever subfolder it came from. The pass found no
// file of that name there, so a copy only ever adds one: a destination that exists although the listing did not
// show it (saved there since the side was listed, or missed by a listing that broke off) is refused and reported,
// as replacing it would lose a file whose time was never compared; the next pass lists it and compares. Where the
// folder ignores letter case, an addition whose name it takes for a file already there (or for an addition made
// just before) is refused with that reason.
void CopyInto(const Side& source, const Side& target, const FileIndexes& additions, PassContext& pass, SyncStep step) {
    if (!target.listed || additions.empty()) {
        return;
    }
    std::unordered_map<std::string, std::string> taken = TopFolderNames(target);
    for (const std::uint32_t file : CopyOrder(source, additions)) {
        if (pass.StopRequested()) {
            return;
        }
        RunTrapped(pass.Observer(), StepOf(step), [&] {
            const std::string_view name = source.files.NameOf(file);
            std::string destination = target.folder + std::string(name);
            // Each folded name with the destination of the copy that took it, if this pass made one.
            const auto [other, fresh] = taken.try_emplace(FoldedCase(name), destination);
            if (!fresh) {
                // That copy may still be pending: once it is made, the folder tells.
                pass.SettleIfTouched(other->second, other->second);
                if (TakenInOtherCase(target.folder, name)) {
                    pass.Refuse(source.files.PathOf(file), destination,
                                platform::CopyOutcome::Refused(platform::Refusal::LetterCase));
                    return;
                }
            }
            pass.Copy(
                platform::CopyRequest{.source = source.files.PathOf(file), .destination = std::move(destination)});
        });
    }
}

} // namespace

void CopyAdditions(const Side& side1, const Side& side2, PassContext& pass) {
    ErrorSink& errors = pass.Observer();
    SyncDirection direction = SyncDirection::None;
    RunTrapped(errors, StepOf(SyncStep::ReadDirection), [&] { direction = pass.Settings().Direction(); });
    pass.DirectionRead(direction);
    const NameSet* limit = pass.NamesLimit();
    // Every way's list is made before any copy.
    std::array<FileIndexes, kWays.size()> additions;
    for (std::size_t i = 0; i < kWays.size(); ++i) {
        if (Allows(direction, kWays[i])) {
            const auto [from, to] = Ends(kWays[i], side1, side2);
            RunTrapped(errors, StepOf(Lookup(kAdditionSteps, direction, kWays[i]).look),
                       [&] { additions[i] = LookForAdditions(*from.names, *to.names, limit); });
        }
    }
    for (std::size_t i = 0; i < kWays.size(); ++i) {
        if (Allows(direction, kWays[i])) {
            const auto [from, to] = Ends(kWays[i], side1, side2);
            CopyInto(from, to, additions[i], pass, Lookup(kAdditionSteps, direction, kWays[i]).copy);
        }
    }
}

} // namespace quillmere
