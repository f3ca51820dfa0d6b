// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/MemoryMount.h"

#include "tests/support/FatMount.h"

#include <unistd.h>

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

} // namespace quillmere::test
