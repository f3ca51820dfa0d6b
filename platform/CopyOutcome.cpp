// SPDX-License-Identifier: GPL-3.0-or-later
// What a copy tells its caller, the same on every system.
#include "platform/FileCopy.h"

namespace quillmere::platform {

std::string_view RefusalText(Refusal refusal) {
    switch (refusal) {
    case Refusal::None:
        return "";
    case Refusal::ReadOnly:
        return "the destination is read-only";
    case Refusal::SameFile:
        return "source and destination are the same file";
    case Refusal::NotAFile:
        return "not a file";
    case Refusal::SourceChanged:
        return "changed while being copied";
    case Refusal::DestinationChanged:
        return "the destination changed after the pass compared it";
    case Refusal::DestinationExists:
        return "a file of that name appeared at the destination";
    case Refusal::LinkNotFollowed:
        return "a link not followed: its owner does not own what it leads to";
    case Refusal::DatedInTheFuture:
        return "dated in the future";
    case Refusal::LetterCase:
        return "another file there differs only in letter case";
    }
    return "";
}

CopyOutcome CopyOutcome::Copied(const FileFacts& written, ReplacedFile replaced) {
    return CopyOutcome{CopyStatus::Copied, Refusal::None, 0, {}, written, replaced};
}

CopyOutcome CopyOutcome::Refused(Refusal refusal) {
    return CopyOutcome{CopyStatus::Refused, refusal, 0, std::string(RefusalText(refusal)), std::nullopt, {}};
}

CopyOutcome CopyOutcome::Failed(CopyStep step, int systemError) {
    return CopyOutcome{CopyStatus::Failed, Refusal::None,
                       systemError,        std::string(CopyStepText(step)) + ": " + SystemMessage(systemError),
                       std::nullopt,       {}};
}

CopyOutcome CopyOutcome::KeepingFailed(const std::string& trashReason) {
    return CopyOutcome{CopyStatus::Failed,
                       Refusal::None,
                       0,
                       "the file to replace could not be kept in the Trash: " + trashReason,
                       std::nullopt,
                       {}};
}

CopyOutcome CopyOutcome::FailedBy(const std::string& exceptionText) {
    return CopyOutcome{CopyStatus::Failed, Refusal::None, 0, exceptionText, std::nullopt, {}};
}

std::string_view CopyStepText(CopyStep step) {
    switch (step) {
    case CopyStep::OpenSource:
        return "cannot open the source";
    case CopyStep::ReachDestination:
        return "cannot reach the destination";
    case CopyStep::ExamineDestinationFolder:
        return "cannot examine the destination folder";
    case CopyStep::MakeTemporary:
        return "cannot make the temporary file";
    case CopyStep::WriteTemporary:
        return "cannot write the temporary file";
    case CopyStep::ExamineTemporary:
        return "cannot examine the temporary file";
    case CopyStep::Flush:
        return "cannot flush the copies to the disk";
    case CopyStep::ExamineDestination:
        return "cannot examine the destination";
    case CopyStep::PutInPlace:
        return "cannot put the new file in place";
    }
    return "";
}

} // namespace quillmere::platform
