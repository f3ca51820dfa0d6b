// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/FileMetadata.h"

#include "tests/support/FatMount.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace quillmere::test {

namespace {

std::optional<std::string> Attribute(const std::string& path, const char* name) {
    const ssize_t size = ::getxattr(path.c_str(), name, nullptr, 0);
    if (size < 0) {
        return std::nullopt;
    }
    std::string value(static_cast<std::size_t>(size), '\0');
    const ssize_t got = ::getxattr(path.c_str(), name, value.data(), value.size());
    return got == size ? std::optional<std::string>(value) : std::nullopt;
}

} // namespace

std::map<std::string, std::string> UserAttributes(const std::string& path) {
    std::map<std::string, std::string> attributes;
    const ssize_t size = ::listxattr(path.c_str(), nullptr, 0);
    if (size <= 0) {
        return attributes;
    }
    std::vector<char> names(static_cast<std::size_t>(size));
    const ssize_t got = ::listxattr(path.c_str(), names.data(), names.size());
    for (ssize_t at = 0; at < got;) {
        const std::string name = names.data() + at;
        at += static_cast<ssize_t>(name.size()) + 1;
        if (name.starts_with("user.")) {
            attributes[name] = Attribute(path, name.c_str()).value_or("(unreadable)");
        }
    }
    return attributes;
}

bool SetAttribute(const std::string& path, const std::string& name, const std::string& value) {
    return ::setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) == 0;
}

std::optional<std::string> AclToolsSkipReason() {
    if (!FindProgram("setfacl") || !FindProgram("getfacl")) {
        return "setfacl and getfacl are not installed (apt-get install acl)";
    }
    return std::nullopt;
}

bool ModifyAcl(const std::string& path, const std::string& entries) {
    return RunProgram("setfacl", {"-m", entries, path}) == 0;
}

bool ModifyDefaultAcl(const std::string& folder, const std::string& entries) {
    return RunProgram("setfacl", {"-d", "-m", entries, folder}) == 0;
}

std::string AclEntries(const std::string& path) {
    const std::string command = "getfacl --omit-header --absolute-names --no-effective '" + path + "' 2>/dev/null";
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string entries;
    char line[512];
    while (pipe && std::fgets(line, sizeof line, pipe.get()) != nullptr) {
        if (line[0] != '\n') {
            entries += line;
        }
    }
    return entries;
}

std::optional<std::string> RawAccessAcl(const std::string& path) {
    return Attribute(path, "system.posix_acl_access");
}

unsigned ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

std::int64_t DiskBytes(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return static_cast<std::int64_t>(info.st_blocks) * 512;
}

} // namespace quillmere::test
