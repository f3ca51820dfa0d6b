// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PassContext.h"

namespace quillmere {

void PassContext::FolderWalked() {
    ++counts_.foldersWalked;
    observer_.Progress(counts_);
}

void PassContext::FilesListed(std::int64_t count) {
    counts_.filesListed += count;
    observer_.Progress(counts_);
}

void PassContext::PairCompared() {
    ++counts_.pairsCompared;
    observer_.Progress(counts_);
}

void PassContext::Copy(const std::string& source, const std::string& destination) {
    if (files_.Copy(source, destination)) {
        ++counts_.filesCopied;
        observer_.Copied(source, destination);
        observer_.Progress(counts_);
    }
}

} // namespace quillmere
