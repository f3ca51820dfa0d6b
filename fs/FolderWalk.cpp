// SPDX-License-Identifier: GPL-3.0-or-later
#include "fs/FolderWalk.h"

#include "fs/Main.h"
#include "platform/FileCopy.h"
#include "platform/Trash.h"

#include <algorithm>
#include <utility>

namespace quillmere {

// The walk's steps that can fail, as an error report names them.
enum class WalkStep {
    NewList,
    FolderTest,       // telling of a folder that is not there
    ObtainFolder,     // reading a folder's attributes, or the files of a starting folder not entered
    ProcessEvents,    // telling of a folder examined
    EnteringRule,     // the entering rule and the folders above
    RemoveUnreadable, // telling of a folder or link not read
    NextLevel,
    FinalEnteringRule,
    MatchFiles, // matching the files listed with the folders kept
};

namespace {

// On Windows names the program cannot handle are left out; on POSIX every name is an ordinary one. Paths are
// limited by the system alone (on Windows the platform layer passes long ones in their long form): a folder
// beyond that limit is one the system cannot open, reported as any other.
#ifdef _WIN32
constexpr bool kWindowsNameRules = true;
#else
constexpr bool kWindowsNameRules = false;
#endif

constexpr std::string_view kWalkProcedure = "AddFolder.GetSubDirectories2016";
constexpr std::string_view kWalkProduct = "DorrinTitle";
constexpr StepEntry<WalkStep> kWalkSteps[] = {
    {WalkStep::NewList, {kWalkProcedure, 104, kWalkProduct}},
    {WalkStep::FolderTest, {kWalkProcedure, 108, kWalkProduct}},
    {WalkStep::ObtainFolder, {kWalkProcedure, 112, kWalkProduct}},
    {WalkStep::ProcessEvents, {kWalkProcedure, 114, kWalkProduct}},
    {WalkStep::EnteringRule, {kWalkProcedure, 116, kWalkProduct}},
    {WalkStep::RemoveUnreadable, {kWalkProcedure, 138, kWalkProduct}},
    {WalkStep::NextLevel, {kWalkProcedure, 150, kWalkProduct}},
    {WalkStep::FinalEnteringRule, {kWalkProcedure, 158, kWalkProduct}},
    {WalkStep::MatchFiles, {kWalkProcedure, 160, kWalkProduct}},
};
static_assert(IsStepTable(kWalkSteps));

constexpr std::uint32_t kHiddenSystemFolder =
    platform::attr::Directory | platform::attr::Hidden | platform::attr::System;
constexpr std::uint32_t kHiddenSystemJunction = kHiddenSystemFolder | platform::attr::Alias;

// A trash holds old versions, which must never be listed, matched or copied: a drive's trashes lie in its top
// folder, and only there does a trash's name make a folder one.
bool IsSkippedName(const std::string& parent, std::string_view name) {
    return name == "." || name == ".." || (kWindowsNameRules && HasInvalidChars(name)) ||
           platform::IsTrashOfDrive(parent, name);
}

template <class Levels> std::size_t CountEntries(const Levels& levels) {
    std::size_t count = 0;
    for (const auto& level : levels) {
        count += level.size();
    }
    return count;
}

// The look ExamineEntry and IsEntered take at a folder the walk enters.
std::optional<FolderLook> LookAt(const std::string& path) {
    if (!IsFolder(path)) {
        return std::nullopt;
    }
    const auto attributes = platform::ReadAttributes(path);
    const auto identity = attributes ? platform::ReadFolderIdentity(path) : std::nullopt;
    return identity ? std::optional(FolderLook{*attributes, *identity}) : std::nullopt;
}

bool LooksAsThen(const std::string& path, const std::function<const FolderLook*(const std::string& path)>& before) {
    const FolderLook* then = before(path);
    return then != nullptr && LookAt(path) == *then;
}

} // namespace

bool LooksAsBefore(const std::string& folder, const std::vector<std::string>& subfolders,
                   const std::function<const FolderLook*(const std::string& path)>& before) {
    try {
        if (!LooksAsThen(folder, before)) {
            return false;
        }
        const std::string parent = WithTrailingSeparator(folder);
        const char separator = SeparatorOf(kNativePathStyle);
        return std::all_of(subfolders.begin(), subfolders.end(), [&](const std::string& name) {
            return IsSkippedName(parent, name) || LooksAsThen(parent + name + separator, before);
        });
    } catch (...) {
        return false; // the walk would have met the same failure
    }
}

bool IsEnteredByRule(std::uint32_t attributes, const std::function<bool()>& isRootFolder) {
    if (attributes != kHiddenSystemFolder && attributes != kHiddenSystemJunction) {
        return true;
    }
    return isRootFolder();
}

FolderWalk::FolderWalk(FolderList& list, bool recurse, const WalkControl& control, ListedFiles* files)
    : list_(list), recurse_(recurse), control_(control), files_(files), separator_(SeparatorOf(kNativePathStyle)) {
    if (const auto homeTrash = platform::HomeTrashFolder()) {
        homeTrash_ = platform::ReadFolderIdentity(*homeTrash);
    }
}

template <class Statement> bool FolderWalk::Step(WalkStep step, Statement&& statement) {
    static IgnoredErrors ignored;
    ErrorSink& errors = control_.errors != nullptr ? *control_.errors : ignored;
    return RunTrapped(errors, StepIn(kWalkSteps, step), std::forward<Statement>(statement));
}

bool FolderWalk::StopRequested() const {
    return control_.stopRequested && control_.stopRequested();
}

void FolderWalk::ReportNotRead(WalkStep step, const std::string& path, const std::string& cause) {
    if (control_.notRead) {
        Step(step, [&] { control_.notRead(path, cause); });
    }
}

bool FolderWalk::Run() {
    std::vector<Level> levels;
    if (!Step(WalkStep::NewList, [&] { levels.push_back(StartingLevel(list_)); })) {
        return false;
    }
    // One level at a time, so the depth of the tree costs no stack. Without recursion only the starting entries
    // are examined and their subfolders returned.
    bool more = true;
    while (more && !levels.back().empty() && (recurse_ || levels.size() == 1)) {
        more = Step(WalkStep::NextLevel, [&] {
            Level next = Examine(levels.back());
            levels.push_back(std::move(next));
        });
    }
    return Assemble(levels);
}

// Starting entries know the folders above them too, so a link back to any folder on the starting path is caught.
FolderWalk::Level FolderWalk::StartingLevel(const FolderList& list) const {
    Level level;
    level.reserve(list.size());
    for (const std::string& path : list) {
        std::shared_ptr<const Ancestry> above;
        const auto lastName = path.find_last_not_of(separator_);
        for (std::size_t pos = 0; lastName != std::string::npos && pos < lastName; ++pos) {
            if (path[pos] != separator_) {
                continue;
            }
            if (const auto identity = platform::ReadFolderIdentity(path.substr(0, pos + 1))) {
                above = std::make_shared<const Ancestry>(Ancestry{*identity, above});
            }
        }
        level.push_back(Entry{path, WithoutSelf(path, std::move(above)), true, false, std::nullopt, std::nullopt});
    }
    return level;
}

// A starting folder that is a link to a folder on its own path (its parent, say) is still walked, once: only the
// folders above the one it leads to count as its ancestors.
std::shared_ptr<const FolderWalk::Ancestry> FolderWalk::WithoutSelf(const std::string& path,
                                                                    std::shared_ptr<const Ancestry> above) {
    const auto self = platform::ReadFolderIdentity(path);
    for (const Ancestry* node = above.get(); self && node != nullptr; node = node->parent.get()) {
        if (node->identity == *self) {
            return node->parent;
        }
    }
    return above;
}

FolderWalk::Level FolderWalk::Examine(Level& level) {
    Level next;
    for (Entry& entry : level) {
        if (StopRequested()) {
            break;
        }
        ExamineEntry(entry, next);
    }
    return next;
}

// A folder that has not changed since the walk looked at it before is taken as it was then.
std::optional<FolderLook> FolderWalk::LookedBefore(const std::string& path) const {
    return control_.reading.lookedBefore ? control_.reading.lookedBefore(path) : std::nullopt;
}

void FolderWalk::ExamineEntry(Entry& entry, Level& next) {
    const std::optional<FolderLook> before = LookedBefore(entry.path);
    if (!before && !IsFolder(entry.path)) {
        entry.kept = false;
        startMissing_ = startMissing_ || entry.starting;
        ReportNotRead(WalkStep::FolderTest, entry.path, platform::FolderProblem(entry.path));
        return;
    }
    std::optional<std::uint32_t> attributes = before ? std::optional(before->attributes) : std::nullopt;
    if (!before) {
        Step(WalkStep::ObtainFolder, [&] { attributes = platform::ReadAttributes(entry.path); });
    }
    if (control_.folderExamined) {
        Step(WalkStep::ProcessEvents, [&] { control_.folderExamined(); });
    }
    std::shared_ptr<const Ancestry> inside;
    bool entered = false;
    Step(WalkStep::EnteringRule, [&] { entered = IsEntered(entry, attributes, inside, before ? &*before : nullptr); });
    entry.kept = entered;
    if (entered) {
        ListSubfolders(entry, std::move(inside), next);
    } else {
        ListFilesOnly(entry);
    }
}

// The entering rule, and no way back up: a folder with the identity of a folder above it (a link or a bind
// mount leading to an ancestor) would be walked again and again. The home trash is never entered either.
bool FolderWalk::IsEntered(const Entry& entry, std::optional<std::uint32_t> attributes,
                           std::shared_ptr<const Ancestry>& inside, const FolderLook* before) {
    if (!attributes || !IsEnteredByRule(*attributes, [&] { return platform::IsRootFolder(entry.path); })) {
        return false;
    }
    const auto identity = before ? std::optional(before->identity) : platform::ReadFolderIdentity(entry.path);
    if (identity && !before && control_.reading.looked) {
        control_.reading.looked(entry.path, FolderLook{*attributes, *identity});
    }
    if (identity && identity == homeTrash_) {
        return false;
    }
    if (!identity) {
        inside = entry.above;
        return true;
    }
    for (const Ancestry* above = entry.above.get(); above != nullptr; above = above->parent.get()) {
        if (above->identity == *identity) {
            return false;
        }
    }
    inside = std::make_shared<const Ancestry>(Ancestry{*identity, entry.above});
    return true;
}

// One look at the folder gives its subfolders and, when the caller keeps them, its files with their facts.
platform::FolderContents FolderWalk::ReadFolder(const std::string& path, bool wantFolders) const {
    const bool wantFiles = files_ != nullptr;
    const platform::ContentsWanted wanted{wantFolders, wantFiles, wantFiles};
    return control_.reading.readFolder ? control_.reading.readFolder(path, wanted)
                                       : platform::ListFolderContents(path, wanted);
}

void FolderWalk::ListSubfolders(Entry& entry, std::shared_ptr<const Ancestry> inside, Level& next) {
    platform::FolderContents listing;
    const std::string parent = WithTrailingSeparator(entry.path);
    try {
        listing = ReadFolder(entry.path, true);
        KeepFiles(entry, parent, listing);
        for (const std::string& name : listing.folders) {
            if (!IsSkippedName(parent, name)) {
                next.push_back(Entry{parent + name + separator_, inside, false, false, std::nullopt, std::nullopt});
            }
        }
    } catch (...) {
        // Any other failure ends this folder's listing; the names so far stay.
        ReportNotRead(WalkStep::RemoveUnreadable, entry.path, DescribeCurrentException());
        return;
    }
    for (const std::string& link : listing.linksNotFollowed) {
        ReportNotRead(WalkStep::RemoveUnreadable, parent + link,
                      std::string(platform::RefusalText(platform::Refusal::LinkNotFollowed)));
    }
    if (listing.status == platform::ListingStatus::Ok) {
        return;
    }
    ReportNotRead(WalkStep::RemoveUnreadable, entry.path, listing.cause);
    // A folder that cannot be read is dropped, so no file of it takes part in the pass. Equal entries name the
    // same folder and are examined in order, so this entry is the first of its text still in the list. A listing
    // that broke off keeps the names it read.
    if (listing.status != platform::ListingStatus::OtherError) {
        entry.removed = true;
    }
}

void FolderWalk::KeepFiles(Entry& entry, const std::string& folder, const platform::FolderContents& listing) {
    if (files_ == nullptr) {
        return;
    }
    entry.listedAs = files_->AddFolder(folder);
    if (control_.reading.keptFiles && control_.reading.keptFiles(folder, *files_)) {
        return;
    }
    for (std::size_t i = 0; i < listing.files.size(); ++i) {
        const std::string& name = listing.files[i];
        if (IsOpenableListedFile(folder, name) && (!control_.takesPart || control_.takesPart(folder, name))) {
            files_->AddFile(name, i < listing.fileFacts.size() ? listing.fileFacts[i] : std::nullopt);
        }
    }
}

// A starting folder stays in the list even when it is not entered, and a pass lists the files of every folder in
// the list: its files are read, its subfolders are not.
void FolderWalk::ListFilesOnly(Entry& entry) {
    if (files_ == nullptr || !entry.starting) {
        return;
    }
    Step(WalkStep::ObtainFolder,
         [&] { KeepFiles(entry, WithTrailingSeparator(entry.path), ReadFolder(entry.path, false)); });
}

bool FolderWalk::PassesFinalTest(const Entry& entry) {
    if (entry.kept) {
        return *entry.kept; // examined already: a second look would see the same
    }
    bool entered = false;
    if (IsFolder(entry.path)) {
        Step(WalkStep::FinalEnteringRule, [&] {
            std::shared_ptr<const Ancestry> inside;
            entered = IsEntered(entry, platform::ReadAttributes(entry.path), inside);
        });
    }
    return entered;
}

// A starting folder is read when it was found a folder, examined and kept in the result, with its files.
bool FolderWalk::Assemble(std::vector<Level>& levels) {
    bool startsRead = !startMissing_;
    FolderList result;
    // Where each folder of the result was listed in files_. Reserved, so that once a path is in, so is its place.
    std::vector<std::optional<std::size_t>> listedAs;
    if (files_ != nullptr) {
        listedAs.reserve(CountEntries(levels));
    }
    for (std::size_t depth = 0; depth < levels.size(); ++depth) {
        for (Entry& entry : levels[depth]) {
            // The starting entries stay unless unreadable; deeper ones must be folders the walk enters.
            const bool appended = !entry.removed && (depth == 0 || PassesFinalTest(entry));
            if (appended) {
                result.push_back(entry.path);
                listedAs.push_back(entry.listedAs);
            }
            startsRead = startsRead && (depth > 0 || (appended && entry.kept.has_value()));
        }
    }
    // Files that cannot be matched with their folders are none of theirs: the caller finds no folder listed.
    if (files_ != nullptr && !Step(WalkStep::MatchFiles, [&] { files_->KeepFolders(result, listedAs); })) {
        *files_ = ListedFiles();
        startsRead = false;
    }
    list_ = std::move(result);
    return startsRead;
}

} // namespace quillmere
