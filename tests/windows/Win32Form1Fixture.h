// SPDX-License-Identifier: GPL-3.0-or-later
// The Win32 window with the window logic behind it, as the program wires them, on a registry settings store of the
// test's own, with a scripted chooser, recorded message boxes and start-up entry, a pass runner the test drives and
// a recorded tray. For the wiring tests: a notification reaches its handler, a view call reaches its control. The
// window is never shown on a screen: Wine runs these tests with its null display driver.
#pragma once

#include "tests/tray/FakeTrayBackend.h"
#include "tests/ui/ScriptedWorld.h"
#include "tests/windows/WindowsTestFolder.h"
#include "ui/main/Form1.h"
#include "ui/win32/RegistrySettingsStore.h"
#include "ui/win32/Win32Form1.h"
#include "ui/win32/Win32UiThread.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillmere::test {

// A settings key of the test's own under HKEY_CURRENT_USER, removed afterwards.
class RegistrySettingsFixture : public ::testing::Test {
protected:
    RegistrySettingsFixture();
    ~RegistrySettingsFixture() override;
    void Store(const char* key, const std::string& value) { settings_.Write(key, value); }
    // The stored text, or "<absent>".
    std::string Stored(const char* key) const { return settings_.Read(key).value_or("<absent>"); }

    const std::wstring keyPath_;
    win32::RegistrySettingsStore settings_;
};

std::wstring WindowTextOf(HWND window);

class Win32Form1Fixture : public RegistrySettingsFixture {
protected:
    ~Win32Form1Fixture() override;
    // Makes the window anew and loads it; settings stored before this are what it restores.
    win32::Win32Form1& Load();
    // Stores a folder for each list, so that the passes of the window loaded next run.
    void StorePair() {
        Store("Folder 1", "C:\\one\\");
        Store("Folder 2", "C:\\two\\");
    }

    HWND Item(win32::Control control) const { return window_->Item(control); }
    // As a user's click does: the button's own press and release, then its notification to the window.
    void Click(win32::Control control) const;
    // The notification a list sends its window, with the entry at index selected first (none: -1).
    void Notify(win32::Control list, UINT code, int index = -1) const;
    void Select(win32::Control list, int index) const;
    // Where the entry at index lies in its list, in the list's coordinates.
    RECT EntryPlace(win32::Control list, int index) const;
    // As a desktop delivers a double-click at a point of a list: a click, then the second press as a double-click.
    void DoubleClick(win32::Control list, POINT where) const;
    void Tick(win32::Win32Timer& timer) const;
    std::wstring Text(win32::Control control) const { return WindowTextOf(Item(control)); }
    // The caption as it shows, without the mark of its access key.
    std::wstring Caption(win32::Control control) const;
    // Whether the control shows itself; the window around it is never shown in these tests.
    bool Shown(win32::Control control) const { return GetWindowLongW(Item(control), GWL_STYLE) & WS_VISIBLE; }
    std::vector<std::wstring> Entries(win32::Control list) const;
    std::optional<int> Selected(win32::Control list) const;
    bool IconInTray() const { return tray::testing::IconInTray(*trayLog_); }

    ScriptedChooser chooser_;
    RecordingBoxes boxes_;
    ManualRunner runner_;
    RecordingStartupEntry startup_;
    win32::Win32UiThread ui_;
    bool trayAvailable_ = true;
    int ended_ = 0;
    SyncDirection lastDirection_ = SyncDirection::None;
    SyncOptions lastOptions_{.dryRun = true, .keepReplaced = false}; // what no pass of the window asks for
    // What the window's passes run: by default one that notes what it was asked and does nothing.
    PassFunction pass_ = [this](const SyncJob& job, const SyncSettings& settings, SyncObserver&) {
        lastDirection_ = settings.Direction();
        lastOptions_ = job.options;
        return SyncCounts{};
    };
    testing::WindowsTestFolder programFolder_;
    std::shared_ptr<tray::testing::TrayLog> trayLog_ = std::make_shared<tray::testing::TrayLog>();
    tray::testing::FakeTrayBackend* tray_ = nullptr;
    std::unique_ptr<win32::Win32Form1> window_;
    std::unique_ptr<Form1> form_;
    std::optional<win32::Win32Form1::Attachment> attachment_;
};

} // namespace quillmere::test
