// SPDX-License-Identifier: GPL-3.0-or-later
// The window logic in a scripted world: the test loads it, then plays the user, the timers, the pass and the
// shell, and reads what the window shows and what the store holds.
#pragma once

#include "ScriptedWatch.h"
#include "ScriptedWorld.h"
#include "tests/tray/FakeTrayBackend.h"
#include "ui/main/Form1.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace quillmere::test {

class Form1Fixture : public ::testing::Test {
protected:
    // Makes the window anew (the one before goes first) and runs its load step; values stored before this are
    // what it restores.
    Form1& Load();
    // Makes the window without loading it.
    Form1& Make();
    ScriptedView& View() { return *view_; }
    // Stores a folder for each list, so that the passes of the window loaded next run.
    void StorePair() {
        store_.values["Folder 1"] = Native("/one/");
        store_.values["Folder 2"] = Native("/two/");
    }
    void Tick(int times = 1);
    std::vector<std::string> Reports() const { return boxes_.Reports(); }
    // What the window asked of the notification area, in order.
    const tray::testing::TrayLog& Tray() const { return *trayLog_; }
    bool IconInTray() const;
    std::size_t TrayCount(const std::string& prefix) const;
    // The shell reports a notification on the icon.
    void TrayMessage(int message) { tray_->Deliver(message); }

    MemorySettingsStore store_;
    ScriptedChooser chooser_;
    RecordingBoxes boxes_;
    ScriptedUiThread ui_;
    ManualRunner runner_;
    ScriptedTimer timer1_;
    ScriptedTimer manualHold_;
    RecordingStartupEntry startup_;
    bool trayAvailable_ = true;
    int passes_ = 0;
    SyncDirection lastDirection_ = SyncDirection::None;
    std::string lastFolder1_;
    SyncOptions lastOptions_{.dryRun = true, .keepReplaced = false};     // what no pass of the window asks for
    std::function<void(const SyncSettings&, SyncObserver&)> duringPass_; // what the pass does besides counting
    double draw_ = 0.5; // the home page's draw: 0.06 to 0.069 is the start that opens it
    std::string homePage_ = "https://quillmere.example.org/";
    std::vector<std::string> opened_;
    UrlOpener opener_ = [this](const std::string& page) { opened_.push_back(page); };
    std::string now_ = "31/08/2021 10:00";
    EndAtOnce endAtOnce_ = [] { ADD_FAILURE() << "the process was ended at once"; };
    const std::string programFolder_ = "/opt/quillmere";
    std::shared_ptr<tray::testing::TrayLog> trayLog_ = std::make_shared<tray::testing::TrayLog>();
    tray::testing::FakeTrayBackend* tray_ = nullptr;
    // The watches of "Sync as soon as files change": how many were made, for which folders, the last one made
    // (while it lives), what each watched pass was told had changed, and the clock of the quiet rule.
    int watchesMade_ = 0;
    int watchesLive_ = 0;
    bool holdSetUp_ = false; // each watch's set-up waits until the test lets it go
    std::vector<std::string> watchedFolders_;
    ScriptedWatch* watch_ = nullptr;
    std::vector<WatchedPasses::Changes> changesSeen_;
    std::atomic<QuietRule::Clock::rep> clock_{0};
    void Advance(std::chrono::milliseconds by) {
        clock_ += std::chrono::duration_cast<QuietRule::Clock::duration>(by).count();
    }
    std::unique_ptr<ScriptedView> view_;
    std::unique_ptr<Form1> form_;
};

} // namespace quillmere::test
