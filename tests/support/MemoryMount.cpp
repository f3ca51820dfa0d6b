// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/MemoryMount.h"

#include "tests/support/FatMount.h"

#include <unistd.h>

#include <iostream>

namespace quillmere::test {

MemoryMount::MemoryMount(const std::string& type) : mountPoint_(work_ / type) {
    if (::geteuid() != 0) {
        skipReason_ = "mounting a " + type + " needs root";
        return;
    }
    MakeFolder(mountPoint_);
    if (RunProgram("mount", {"-t", type, "-o", "size=256m", type, mountPoint_}) != 0) {
        skipReason_ = "cannot mount a " + type + " on " + mountPoint_;
    }
}

MemoryMount::~MemoryMount() {
    if (!skipReason_) {
        RunProgram("umount", {mountPoint_});
    }
}

void OnTemporaryFolderAndTmpfs(const std::function<void(const std::string& where, const std::string& folder)>& check) {
    {
        const TempDir local;
        check("the temporary folder", local.Path());
    }
    const MemoryMount tmpfs("tmpfs");
    if (tmpfs.SkipReason()) {
        std::cout << "tmpfs left out: " << *tmpfs.SkipReason() << "\n";
        return;
    }
    check("tmpfs", tmpfs.Path());
}

} // namespace quillmere::test
