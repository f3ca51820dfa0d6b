// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PassContext.h"

namespace quillmere {

const std::string& SyncProcedure() {
    static const std::string text = ProcedureText("modSync.SyncFolders");
    return text;
}

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

platform::CopyOutcome PassContext::Copy(platform::CopyRequest request) {
    request.onStage = [this, &request](platform::CopyStage stage) {
        observer_.CopyReached(request.source, request.destination, stage);
    };
    const platform::CopyOutcome outcome = files_.Copy(request);
    switch (outcome.status) {
    case platform::CopyStatus::Copied:
        ++counts_.filesCopied;
        if (outcome.replaced == platform::ReplacedFile::Kept) {
            ++counts_.filesKept;
            observer_.KeptInTrash(request.destination);
        }
        observer_.Copied(request.source, request.destination);
        if (outcome.replaced == platform::ReplacedFile::NotKept) {
            ++counts_.replacedNotKept;
            observer_.NotKeptInTrash(request.destination, outcome.cause);
        }
        break;
    case platform::CopyStatus::Refused:
        ++counts_.copiesRefused;
        observer_.NotCopied(request.source, request.destination, outcome);
        break;
    case platform::CopyStatus::Failed:
        ++counts_.copiesFailed;
        observer_.NotCopied(request.source, request.destination, outcome);
        break;
    }
    observer_.Progress(counts_);
    return outcome;
}

void PassContext::NotRead(const std::string& path, const std::string& cause) {
    ++counts_.notRead;
    observer_.NotRead(path, cause);
    observer_.Progress(counts_);
}

} // namespace quillmere
