// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/modSync.h"

#include "engine/DiskFileOperations.h"
#include "engine/DryRunFileOperations.h"
#include "engine/PassContext.h"
#include "engine/SideListing.h"
#include "engine/modCompare.h"
#include "fs/Main.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace quillmere {

namespace {

// The numbered statements of listing one side; Folder 2's come 24 lines after Folder 1's. The file lists are
// indexed where they are created.
constexpr SideLines kFolder1Lines{110, 100};
constexpr SideLines kFolder2Lines{134, 102};

// Copies each file of additions into the top folder of target, whatever subfolder it came from. The pass found no
// file of that name there, so a copy only ever adds one: a destination that exists although the listing did not
// show it (saved there since the side was listed, missed by a listing that broke off, or the same name in other
// letter case on Windows) is refused and reported, as replacing it would lose a file whose time was never
// compared; the next pass lists it and compares. Same-named additions still follow one another into their
// destination, each replacing only what the one before wrote, so the one found later in the walk remains; what
// they replace is a copy of a file the pass still has, and is not kept in the Trash.
void CopyInto(const Side& source, const Side& target, const FileIndexes& additions, PassContext& pass, int line) {
    if (!target.listed) {
        return;
    }
    // Filled as the copies settle, which may be after this returns.
    const auto writtenByThisPass = std::make_shared<std::unordered_map<std::string, platform::FileFacts>>();
    for (const std::uint32_t file : additions) {
        if (pass.StopRequested()) {
            return;
        }
        RunTrapped(pass.Observer(), SyncProcedure(), line, [&] {
            std::string from = source.files.PathOf(file);
            std::string destination = target.folder + std::string(source.files.NameOf(file));
            pass.SettleIfTouched(from, destination);
            const auto written = writtenByThisPass->find(destination);
            platform::CopyRequest request{.source = std::move(from),
                                          .destination = destination,
                                          .destinationAsCompared = written == writtenByThisPass->end()
                                                                       ? std::nullopt
                                                                       : std::optional(written->second)};
            pass.Copy(std::move(request), [writtenByThisPass, destination](const platform::CopyOutcome& outcome) {
                if (outcome.written) {
                    (*writtenByThisPass)[destination] = *outcome.written;
                }
            });
        });
    }
}

// The files that exist on one side only. In both directions both lists are made before any copy, so a file
// copied one way is never copied back in the same pass.
void CopyAdditions(const Side& side1, const Side& side2, PassContext& pass) {
    ErrorSink& errors = pass.Observer();
    const std::string& procedure = SyncProcedure();
    SyncDirection direction = SyncDirection::None;
    RunTrapped(errors, procedure, 154, [&] { direction = pass.Settings().Direction(); });
    FileIndexes onlyIn1;
    FileIndexes onlyIn2;
    switch (direction) {
    case SyncDirection::BothWays:
        RunTrapped(errors, procedure, 156, [&] { onlyIn1 = LookForAdditions(*side1.names, *side2.names, errors); });
        RunTrapped(errors, procedure, 158, [&] { onlyIn2 = LookForAdditions(*side2.names, *side1.names, errors); });
        CopyInto(side1, side2, onlyIn1, pass, 162);
        CopyInto(side2, side1, onlyIn2, pass, 168);
        return;
    case SyncDirection::Folder1ToFolder2:
        RunTrapped(errors, procedure, 174, [&] { onlyIn1 = LookForAdditions(*side1.names, *side2.names, errors); });
        CopyInto(side1, side2, onlyIn1, pass, 178);
        return;
    case SyncDirection::Folder2ToFolder1:
        RunTrapped(errors, procedure, 184, [&] { onlyIn2 = LookForAdditions(*side2.names, *side1.names, errors); });
        CopyInto(side2, side1, onlyIn2, pass, 188);
        return;
    case SyncDirection::None:
        return;
    }
}

void RunPass(const std::string& folder1, const std::string& folder2, PassContext& pass) {
    const auto [side1, side2] =
        ListBothSides(SideToList{folder1, kFolder1Lines}, SideToList{folder2, kFolder2Lines}, pass);
    // A stopped walk leaves a side half listed, which would make present files look missing: copy nothing.
    if (pass.StopRequested() || !side1->names || !side2->names) {
        return;
    }
    pass.SetTimeTolerance(std::max(platform::TimeResolution(folder1), platform::TimeResolution(folder2)));
    CopyAdditions(*side1, *side2, pass);
    if (pass.StopRequested()) {
        return;
    }
    RunTrapped(pass.Observer(), SyncProcedure(), 192, [&] { LookForModified2(*side1, *side2, pass); });
}

} // namespace

SyncCounts SyncFolders(const SyncSettings& settings, SyncObserver& observer, const SyncOptions& options) {
    std::vector<std::string> folders1;
    std::vector<std::string> folders2;
    // Without both folders, or when they cannot be read, there is nothing to do.
    const bool read = RunTrapped(observer, SyncProcedure(), 104, [&] {
        folders1 = settings.Folder1Entries();
        folders2 = settings.Folder2Entries();
    });
    if (!read || folders1.size() != 1 || folders2.size() != 1) {
        return {};
    }
    DiskFileOperations disk;
    DryRunFileOperations dryRun;
    PassContext pass(settings, observer, options.dryRun ? static_cast<FileOperations&>(dryRun) : disk,
                     options.keepReplaced);
    RunPass(WithTrailingSeparator(folders1.front()), WithTrailingSeparator(folders2.front()), pass);
    // Stopped or not, the copies started are made, and told before the counts are.
    RunTrapped(observer, SyncProcedure(), 192, [&] { pass.SettleCopies(); });
    return pass.Counts();
}

} // namespace quillmere
