// SPDX-License-Identifier: GPL-3.0-or-later
// A tray backend that records what the control asks of the shell, in order, as short texts, and plays the shell:
// Deliver hands a notification to the hooked control, FireBalloonTimer ends the balloon's wait, SetAvailable
// brings a notification area or takes it away, FireAreaTimer ends the wait for one.
#pragma once

#include "tray/TrayBackend.h"
#include "tray/cSysTray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace quillmere::tray::testing {

using TrayLog = std::vector<std::string>;

class FakeTrayBackend final : public TrayBackend {
public:
    // The log outlives the backend, so a test can read what the control's destructor sent.
    explicit FakeTrayBackend(std::shared_ptr<TrayLog> log) : log_(std::move(log)) {}

    bool Available() const override { return available; }
    void WatchAvailability(std::function<void()> changed) override { availabilityChanged_ = std::move(changed); }
    bool IsIcon(Picture picture) const override { return icons.contains(picture); }
    void InstallHook(cSysTray& control) override {
        hooked_ = &control;
        log_->push_back("hook");
    }
    void RemoveHook(cSysTray&) override {
        hooked_ = nullptr;
        log_->push_back("unhook");
    }
    void AddIcon(Picture icon, const std::string& tip) override {
        log_->push_back("add icon=" + Name(icon) + " tip=" + tip);
    }
    void ModifyIcon(Picture icon) override { log_->push_back("modify icon=" + Name(icon)); }
    void ModifyTip(const std::string& tip) override { log_->push_back("modify tip=" + tip); }
    void DeleteIcon() override { log_->push_back("delete"); }
    void ShowBalloon(const std::string& title, const std::string& text, int timeoutMilliseconds) override {
        log_->push_back("balloon title=" + title + " text=" + text + " timeout=" + std::to_string(timeoutMilliseconds));
    }
    void HideBalloon() override { log_->push_back("hide balloon"); }
    void StartBalloonTimer(int milliseconds, std::function<void()> elapsed) override {
        balloonTimer = milliseconds;
        elapsed_ = std::move(elapsed);
    }
    void StopBalloonTimer() override { balloonTimer = 0; }
    void StartAreaTimer(int milliseconds, std::function<void()> elapsed) override {
        areaTimer = milliseconds;
        areaElapsed_ = std::move(elapsed);
    }

    // The shell: a notification for the icon, which reaches the control only while it is hooked.
    void Deliver(int message) const {
        if (hooked_ != nullptr) {
            hooked_->HandleTrayMessage(message, 0);
        }
    }
    // The balloon's wait has run out.
    void FireBalloonTimer() {
        ASSERT_NE(balloonTimer, 0) << "no balloon timer runs";
        balloonTimer = 0;
        elapsed_();
    }

    // A notification area comes or goes, as the backend reports it.
    void SetAvailable(bool now) {
        available = now;
        availabilityChanged_();
    }
    // The wait for a notification area has run out.
    void FireAreaTimer() {
        ASSERT_NE(areaTimer, 0) << "no wait for a notification area runs";
        areaTimer = 0;
        areaElapsed_();
    }

    bool available = true;
    std::set<Picture> icons = {Picture::TrayIcon, Picture::ProgramIcon};
    int balloonTimer = 0; // the milliseconds of the running balloon timer, 0 when none runs
    int areaTimer = 0;    // the same for the wait for a notification area

private:
    static std::string Name(Picture picture) {
        switch (picture) {
        case Picture::TrayIcon:
            return "tray";
        case Picture::ProgramIcon:
            return "program";
        case Picture::None:
            break;
        }
        return "none";
    }

    std::shared_ptr<TrayLog> log_;
    cSysTray* hooked_ = nullptr;
    std::function<void()> elapsed_;
    std::function<void()> availabilityChanged_;
    std::function<void()> areaElapsed_;
};

// How many entries of the log begin with prefix.
inline std::size_t CountStartingWith(const TrayLog& log, const std::string& prefix) {
    return static_cast<std::size_t>(
        std::count_if(log.begin(), log.end(), [&](const std::string& entry) { return entry.starts_with(prefix); }));
}

// The icon is in the tray when the last add came after the last delete.
inline bool IconInTray(const TrayLog& log) {
    const auto last = [&log](const std::string& prefix) {
        return log.rend() - std::find_if(log.rbegin(), log.rend(),
                                         [&](const std::string& entry) { return entry.starts_with(prefix); });
    };
    return last("add ") > last("delete");
}

} // namespace quillmere::tray::testing
