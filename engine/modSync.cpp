// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/modSync.h"

#include "engine/DiskFileOperations.h"
#include "engine/DryRunFileOperations.h"
#include "engine/PassContext.h"
#include "engine/modCompare.h"
#include "fs/AddFolder.h"
#include "fs/Main.h"
#include "platform/FileSystem.h"
#include "platform/TemporaryName.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace quillmere {

namespace {

const std::string& SyncProcedure() {
    static const std::string text = ProcedureText("modSync.SyncFolders");
    return text;
}

// The numbered statements of listing one side; Folder 2's come 24 lines after Folder 1's.
struct SideLines {
    int walk;
    int listFiles;
    int storePath;
};
constexpr SideLines kFolder1Lines{110, 116, 122};
constexpr SideLines kFolder2Lines{134, 140, 146};

struct Side {
    std::string folder; // ends in one separator
    FileList files;
    // False when the top folder is missing or could not be listed. Such a side looks empty, and copying the
    // other side into it would overwrite, unseen and without comparing times, whatever it really holds.
    bool listed = false;
    std::unique_ptr<NameIndex> names; // made once the side is listed, for every step that follows
};

std::size_t CountNames(const FolderFileNames& files) {
    std::size_t count = 0;
    for (const auto& names : files) {
        count += names ? names->size() : 0;
    }
    return count;
}

// The names of one folder that take part in the pass. A temporary file a killed copy left behind is cleared
// away on the way.
std::int64_t ListNames(const std::string& folder, const std::vector<std::string>& names, Side& side, PassContext& pass,
                       const SideLines& lines) {
    std::int64_t listed = 0;
    for (const std::string& name : names) {
        if (platform::TakesNoPart(name)) {
            if (platform::IsTemporaryName(name)) {
                pass.Files().RemoveLeftover(folder + name);
            }
            continue;
        }
        if (RunTrapped(pass.Observer(), SyncProcedure(), lines.storePath,
                       [&] { side.files.push_back(folder + name); })) {
            ++listed;
        }
    }
    return listed;
}

// The walk and the file listing of one side: every file of the tree whose name does not begin with "~"
// (temporary files of other programs and of this one). The walk reads each folder's files along with its
// subfolders, and tells of every folder it cannot read.
Side ListSide(const std::string& folder, PassContext& pass, const SideLines& lines) {
    Side side{folder, {}, false, nullptr};
    ErrorSink& errors = pass.Observer();
    FolderList folders{folder};
    FolderFileNames walkedFiles;
    const WalkControl control{
        &errors, [&pass] { return pass.StopRequested(); }, [&pass] { pass.FolderWalked(); },
        [&pass](const std::string& path, const std::string& cause) { pass.NotRead(path, cause); }};
    RunTrapped(errors, SyncProcedure(), lines.walk,
               [&] { GetSubDirectoriesWithFiles(folders, walkedFiles, true, control); });
    // The walk removes a folder it cannot list and keeps a missing one.
    side.listed = !folders.empty() && folders.front() == folder && IsFolder(folder);
    if (!side.listed) {
        return side;
    }
    RunTrapped(errors, SyncProcedure(), lines.storePath, [&] { side.files.reserve(CountNames(walkedFiles)); });
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (pass.StopRequested()) {
            return side;
        }
        // Folder paths end in one separator, so a file's path is the folder's followed by its name.
        const std::string& path = folders[i];
        std::vector<std::string> names;
        RunTrapped(errors, SyncProcedure(), lines.listFiles, [&] {
            names = i < walkedFiles.size() && walkedFiles[i] ? std::move(*walkedFiles[i]) : GetFilesInFolder(path);
        });
        pass.FilesListed(ListNames(path, names, side, pass, lines));
    }
    return side;
}

// Copies each file of additions into the top folder of target, whatever subfolder it came from. The pass found no
// file of that name there, so a copy only ever adds one: a destination that exists although the listing did not
// show it (saved there since the side was listed, missed by a listing that broke off, or the same name in other
// letter case on Windows) is refused and reported, as replacing it would lose a file whose time was never
// compared; the next pass lists it and compares. Same-named additions still follow one another into their
// destination, each replacing only what the one before wrote, so the one found later in the walk remains; what
// they replace is a copy of a file the pass still has, and is not kept in the Trash.
void CopyInto(const Side& target, const FileList& additions, PassContext& pass, int line) {
    if (!target.listed) {
        return;
    }
    std::unordered_map<std::string, platform::FileFacts> writtenByThisPass;
    for (const std::string& path : additions) {
        if (pass.StopRequested()) {
            return;
        }
        RunTrapped(pass.Observer(), SyncProcedure(), line, [&] {
            const std::string destination = target.folder + GetFileName(path);
            const auto written = writtenByThisPass.find(destination);
            const platform::CopyOutcome outcome = pass.Copy(platform::CopyRequest{
                path,
                destination,
                std::nullopt,
                written == writtenByThisPass.end() ? std::nullopt : std::optional(written->second),
                {},
                false});
            if (outcome.written) {
                writtenByThisPass[destination] = *outcome.written;
            }
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
    FileList onlyIn1;
    FileList onlyIn2;
    switch (direction) {
    case SyncDirection::BothWays:
        RunTrapped(errors, procedure, 156, [&] { onlyIn1 = LookForAdditions(*side1.names, *side2.names, errors); });
        RunTrapped(errors, procedure, 158, [&] { onlyIn2 = LookForAdditions(*side2.names, *side1.names, errors); });
        CopyInto(side2, onlyIn1, pass, 162);
        CopyInto(side1, onlyIn2, pass, 168);
        return;
    case SyncDirection::Folder1ToFolder2:
        RunTrapped(errors, procedure, 174, [&] { onlyIn1 = LookForAdditions(*side1.names, *side2.names, errors); });
        CopyInto(side2, onlyIn1, pass, 178);
        return;
    case SyncDirection::Folder2ToFolder1:
        RunTrapped(errors, procedure, 184, [&] { onlyIn2 = LookForAdditions(*side2.names, *side1.names, errors); });
        CopyInto(side1, onlyIn2, pass, 188);
        return;
    case SyncDirection::None:
        return;
    }
}

// The file list of a side, indexed by name.
bool IndexSide(Side& side, PassContext& pass, int line) {
    return RunTrapped(pass.Observer(), SyncProcedure(), line,
                      [&] { side.names = std::make_unique<NameIndex>(side.files); });
}

SyncCounts RunPass(const std::string& folder1, const std::string& folder2, PassContext& pass) {
    Side side1 = ListSide(folder1, pass, kFolder1Lines);
    if (pass.StopRequested()) {
        return pass.Counts();
    }
    Side side2 = ListSide(folder2, pass, kFolder2Lines);
    // A stopped walk leaves a side half listed, which would make present files look missing: copy nothing.
    if (pass.StopRequested() || !IndexSide(side1, pass, 100) || !IndexSide(side2, pass, 102)) {
        return pass.Counts();
    }
    pass.SetTimeTolerance(std::max(platform::TimeResolution(folder1), platform::TimeResolution(folder2)));
    CopyAdditions(side1, side2, pass);
    if (pass.StopRequested()) {
        return pass.Counts();
    }
    RunTrapped(pass.Observer(), SyncProcedure(), 192, [&] { LookForModified2(*side1.names, *side2.names, pass); });
    return pass.Counts();
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
    return RunPass(WithTrailingSeparator(folders1.front()), WithTrailingSeparator(folders2.front()), pass);
}

} // namespace quillmere
