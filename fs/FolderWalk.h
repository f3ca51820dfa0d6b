// SPDX-License-Identifier: GPL-3.0-or-later
// The level-by-level walk behind GetSubDirectories2016.
#pragma once

#include "fs/AddFolder.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillmere {

enum class WalkStep; // the walk's trapped steps, in FolderWalk.cpp

// The entering rule: a folder whose attributes are exactly hidden+system+directory (22, a recycle bin) or that
// plus alias (1046, a system junction) is not entered, unless it is a file system's root. isRootFolder is asked
// only when the answer matters, as it costs a look at the parent folder.
bool IsEnteredByRule(std::uint32_t attributes, const std::function<bool()>& isRootFolder);

// Whether a walk would find folder (one it entered) and the subfolders it would go on to, given their names, as
// it found them when it took the looks before gives (none for a folder it took no look at): each still a folder
// with the same attributes and identity, so that it judges each as it did then.
bool LooksAsBefore(const std::string& folder, const std::vector<std::string>& subfolders,
                   const std::function<const FolderLook*(const std::string& path)>& before);

class FolderWalk {
public:
    // files, when given, receives the files of each folder of the result (see GetSubDirectoriesWithFiles).
    FolderWalk(FolderList& list, bool recurse, const WalkControl& control, ListedFiles* files = nullptr);
    // True when every starting folder was read (see GetSubDirectoriesWithFiles).
    bool Run();

private:
    // The identities of the folders above an entry, innermost first, shared between siblings.
    struct Ancestry {
        platform::FileIdentity identity;
        std::shared_ptr<const Ancestry> parent;
    };
    struct Entry {
        std::string path;
        std::shared_ptr<const Ancestry> above;
        bool starting = false;
        bool removed = false;
        std::optional<bool> kept;            // the verdict of the examination: a folder that is entered
        std::optional<std::size_t> listedAs; // its number in files_, once its files are listed there
    };
    using Level = std::vector<Entry>;

    template <class Statement> bool Step(WalkStep step, Statement&& statement);
    bool StopRequested() const;
    void ReportNotRead(WalkStep step, const std::string& path, const std::string& cause);
    Level StartingLevel(const FolderList& list) const;
    static std::shared_ptr<const Ancestry> WithoutSelf(const std::string& path, std::shared_ptr<const Ancestry> above);
    Level Examine(Level& level);
    void ExamineEntry(Entry& entry, Level& next);
    std::optional<FolderLook> LookedBefore(const std::string& path) const;
    bool IsEntered(const Entry& entry, std::optional<std::uint32_t> attributes, std::shared_ptr<const Ancestry>& inside,
                   const FolderLook* before = nullptr);
    platform::FolderContents ReadFolder(const std::string& path, bool wantFolders) const;
    void ListSubfolders(Entry& entry, std::shared_ptr<const Ancestry> inside, Level& next);
    void KeepFiles(Entry& entry, const std::string& folder, const platform::FolderContents& listing);
    void ListFilesOnly(Entry& entry);
    bool PassesFinalTest(const Entry& entry);
    bool Assemble(std::vector<Level>& levels);

    FolderList& list_;
    bool recurse_;
    const WalkControl& control_;
    ListedFiles* files_;
    char separator_;
    std::optional<platform::FileIdentity> homeTrash_; // never entered, wherever a tree holds it
    bool startMissing_ = false;                       // a starting folder was found to be no folder
};

} // namespace quillmere
