// SPDX-License-Identifier: GPL-3.0-or-later
// Form1's "Sync as soon as files change": the watch of the pair, the passes its changes start, and the line that
// says when changes on a folder are found by the timed pass only. The countdown and its pass go on as ever.
#include "ui/main/Form1.h"

#include "fs/FolderNesting.h"
#include "ui/main/Settings.h"

namespace quillmere {
namespace {

namespace procedure = form1_procedure;

} // namespace

void Form1::Check12_Click(bool checked) {
    Guarded(procedure::kCheck12, [&] {
        check12_ = checked;
        Trap(Form1Step::SaveSyncOnChange, [&] { SaveOnOff(settings_, "Sync On Change", checked); });
        Trap(Form1Step::WatchPair, [this] { UpdateWatch(); });
    });
}

// Folders inside each other run no pass, so they are not watched either. A watch made again reads both sides in
// full at its first pass.
void Form1::UpdateWatch() {
    const std::optional<SyncJob> job = PassJob();
    const bool wanted = check12_ && autoSyncOn_ && !unloaded_ && job &&
                        NestedFoldersProblem({"Folder 1", job->folder1}, {"Folder 2", job->folder2}).empty();
    if (!wanted) {
        watch_.reset();
    } else if (!watch_ || !watch_->Watches(job->folder1, job->folder2)) {
        watch_.reset();
        watch_ = std::make_shared<ChangeWatch>(job->folder1, job->folder2, watchServices_, ui_,
                                               [this] { ChangeWatch_News(); });
    }
    ShowDoubts();
}

void Form1::ShowDoubts() {
    view_.SetWatchNote(watch_ ? watch_->DoubtLines() : std::string());
}

// A pass due while another runs waits: the watch tells it again once that pass has ended.
void Form1::ChangeWatch_News() {
    Guarded(procedure::kChangeWatch, [this] {
        if (!watch_) {
            return;
        }
        ShowDoubts();
        if (passKind_ == PassKind::None && watch_->PassDue()) {
            StartPass(PassKind::Change, Form1Step::StartChangePass);
        }
    });
}

void Form1::EndWatchedPass() {
    const std::shared_ptr<ChangeWatch> ended = std::exchange(passWatch_, nullptr);
    if (ended) {
        ended->PassEnded();
    }
    if (watch_ && watch_ != ended) {
        watch_->PassEnded();
    }
}

} // namespace quillmere
