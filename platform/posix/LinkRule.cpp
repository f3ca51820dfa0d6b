// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/LinkRule.h"
#include "platform/posix/StatFacts.h"

#include "platform/posix/PathText.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace quillmere::platform::posix {

namespace {

constexpr int kMostLinks = 40; // the kernel's own limit before ELOOP

struct PathParts {
    std::string folder;
    std::string name;
};

// "a/b/c" is "a/b" and "c"; "c" is "." and "c"; "/" is "/" and ".".
PathParts SplitLast(std::string_view path) {
    const std::string bare = WithoutTrailingSeparators(path);
    if (bare == "/") {
        return {"/", "."};
    }
    const auto slash = bare.rfind('/');
    if (slash == std::string::npos) {
        return {".", bare};
    }
    return {slash == 0 ? "/" : bare.substr(0, slash), bare.substr(slash + 1)};
}

// One call when no link lies on the path; fails with ELOOP when one does.
UniqueFd OpenWithoutLinks(int at, const std::string& path, int flags) {
    open_how how{};
    how.flags = static_cast<std::uint64_t>(flags | O_CLOEXEC);
    how.resolve = RESOLVE_NO_SYMLINKS;
    return UniqueFd(static_cast<int>(::syscall(SYS_openat2, at, path.c_str(), &how, sizeof how)));
}

std::optional<std::string> LinkText(int folder, const std::string& name) {
    std::vector<char> text(256);
    for (;;) {
        const ssize_t length = ::readlinkat(folder, name.c_str(), text.data(), text.size());
        if (length < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(length) < text.size()) {
            return std::string(text.data(), static_cast<std::size_t>(length));
        }
        text.resize(text.size() * 2);
    }
}

ReachedEntry ReachEntryAt(int at, std::string_view path, int depth);
OpenedFile OpenReachedAt(int at, std::string_view path, int flags, int depth);

// The entry a link leads to, when the rule lets it be followed. A link that leads nowhere is the entry itself:
// nothing is read or written through it.
ReachedEntry FollowLink(ReachedEntry link, const struct stat& own, int depth) {
    const std::optional<std::string> text = LinkText(link.folder.Get(), link.name);
    struct stat again {};
    if (!text || ::fstatat(link.folder.Get(), link.name.c_str(), &again, AT_SYMLINK_NOFOLLOW) != 0) {
        return {Reach{errno}, {}, {}, {}};
    }
    if (!IsSameFile(own, again)) {
        return {Reach{EAGAIN}, {}, {}, {}}; // replaced while being read: the owner judged is not the text's
    }
    ReachedEntry target = ReachEntryAt(link.folder.Get(), *text, depth + 1);
    if (!target.reach.Ok()) {
        return target;
    }
    if (!target.info || S_ISLNK(target.info->st_mode)) {
        link.info = own;
        return link;
    }
    if (!MayFollowLink(own.st_uid, target.info->st_uid)) {
        return {Reach{0, true}, {}, {}, {}};
    }
    return target;
}

ReachedEntry ReachEntryAt(int at, std::string_view path, int depth) {
    if (depth > kMostLinks) {
        return {Reach{ELOOP}, {}, {}, {}};
    }
    PathParts parts = SplitLast(path);
    OpenedFile folder = OpenReachedAt(at, parts.folder, O_PATH | O_DIRECTORY, depth);
    if (!folder.reach.Ok()) {
        return {folder.reach, {}, {}, {}};
    }
    ReachedEntry entry{Reach{}, std::move(folder.fd), std::move(parts.name), std::nullopt};
    struct stat own {};
    if (::fstatat(entry.folder.Get(), entry.name.c_str(), &own, AT_SYMLINK_NOFOLLOW) != 0) {
        entry.reach.error = errno == ENOENT ? 0 : errno;
        return entry;
    }
    if (!S_ISLNK(own.st_mode)) {
        entry.info = own;
        return entry;
    }
    return FollowLink(std::move(entry), own, depth);
}

// A path that holds links is walked: each link is judged, and what is opened must be what was judged.
OpenedFile OpenThroughLinks(int at, std::string_view path, int flags, int depth) {
    OpenedFile opened;
    const ReachedEntry entry = ReachEntryAt(at, path, depth);
    if (!entry.reach.Ok() || !entry.info || S_ISLNK(entry.info->st_mode)) {
        opened.reach = entry.reach.Ok() ? Reach{ENOENT} : entry.reach;
        return opened;
    }
    opened.fd = UniqueFd(::openat(entry.folder.Get(), entry.name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC));
    if (!opened.fd.Valid() || ::fstat(opened.fd.Get(), &opened.info) != 0) {
        opened.reach.error = errno;
        opened.fd.Reset();
    } else if (!IsSameFile(opened.info, *entry.info)) {
        opened.reach.error = EAGAIN; // replaced between the judging and the opening
        opened.fd.Reset();
    }
    return opened;
}

OpenedFile OpenReachedAt(int at, std::string_view path, int flags, int depth) {
    OpenedFile opened;
    opened.fd = OpenWithoutLinks(at, std::string(path), flags);
    if (opened.fd.Valid()) {
        if (::fstat(opened.fd.Get(), &opened.info) != 0) {
            opened.reach.error = errno;
            opened.fd.Reset();
        }
        return opened;
    }
    if (errno == ELOOP || errno == ENOSYS) { // ENOSYS: a kernel without openat2 walks every path
        return OpenThroughLinks(at, path, flags, depth);
    }
    opened.reach.error = errno;
    return opened;
}

} // namespace

bool MayFollowLink(uid_t linkOwner, uid_t targetOwner) {
    // Root's own links lend no one anything: only root could have made them.
    return linkOwner == targetOwner || linkOwner == ::geteuid() || linkOwner == 0;
}

ReachedEntry ReachEntry(int at, std::string_view path) {
    return ReachEntryAt(at, path, 0);
}

OpenedFile OpenReached(int at, std::string_view path, int flags) {
    return OpenReachedAt(at, path, flags, 0);
}

} // namespace quillmere::platform::posix
