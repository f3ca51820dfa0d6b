// SPDX-License-Identifier: GPL-3.0-or-later
// Scripted versions of everything the window logic reaches: a view that records what the window shows, a settings
// store in memory, a chooser with answers given in advance, recorded message boxes, a UI thread whose queue the
// test runs, timers and a pass runner the test drives, and a recorded start-up entry. No toolkit, no waiting.
#pragma once

#include "ui/main/FolderChooser.h"
#include "ui/main/Form1View.h"
#include "ui/main/MessageBoxes.h"
#include "ui/main/PassRunner.h"
#include "ui/main/Settings.h"
#include "ui/main/StartupEntry.h"
#include "ui/main/Timer.h"
#include "ui/main/UiThread.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace quillmere::test {

// A path written the POSIX way in the native form: "/a/" stays on POSIX and is "C:\a\" on Windows.
std::string Native(std::string_view posixPath);

// The window as the logic left it.
class ScriptedView : public Form1View {
public:
    void SetCaption(const std::string& text) override { caption = text; }
    void SetProgramIcon() override { programIcon = true; }
    void SetApplicationTitle(const std::string& title) override { applicationTitle = title; }
    void ApplySkin(const std::string& programFolder) override;
    void LoadHandCursor(const std::string& programFolder) override;
    void SetMousePointer(MousePointer shown) override;
    void Show() override { ShowAs(false); }
    void ShowMinimized() override { ShowAs(true); }
    void Hide() override { visible = false; }
    void Restore() override;
    void EndProgram() override { ended = true; }
    void SetColumnHeader(FormList list, const std::string& text) override { headers[list] = text; }
    void AddEntry(FormList list, const std::string& text) override { entries[list].push_back(text); }
    void RemoveEntry(FormList list, int index) override;
    void SelectEntry(FormList list, int index) override { selected[list] = index; }
    void SetAutoSyncCaption(const std::string& text) override { autoSyncCaption = text; }
    void SetStatus(const std::string& text) override { status = text; }
    void SetProgressMaximum(int maximum) override { progressMaximum = maximum; }
    void SetProgressValue(int value) override { progressValue = value; }
    void SetProgressText(const std::string& text) override { progressText = text; }
    void SetFailureNote(const std::string& text) override { failureNote = text; }
    void ShowFailureList(const std::string& title, const std::vector<std::string>& lines) override;
    void SetWatchNote(const std::string& text) override { watchNote = text; }
    void SetChecked(FormCheckBox box, bool value) override { checked[box] = value; }
    void SetVisible(FormCheckBox box, bool value) override { boxVisible[box] = value; }

    // The selected entry's text, or "" when none is selected.
    std::string SelectedText(FormList list) const;
    bool Checked(FormCheckBox box) const { return checked.contains(box) && checked.at(box); }
    // A start-up box is visible until the logic hides it.
    bool BoxVisible(FormCheckBox box) const { return !boxVisible.contains(box) || boxVisible.at(box); }

    std::string caption;
    std::string applicationTitle;
    bool programIcon = false;
    std::string skinFailure;   // when set, applying the skin throws it
    std::string cursorFailure; // when set, loading the cursor throws it
    std::vector<std::string> lookLoads;
    bool pointerFails = false;
    MousePointer pointer = MousePointer::Default;
    bool visible = false;
    bool minimized = false;
    int focused = 0; // how often Restore gave the window the focus
    bool ended = false;
    std::map<FormList, std::string> headers;
    std::map<FormList, std::vector<std::string>> entries;
    std::map<FormList, std::optional<int>> selected;
    std::string autoSyncCaption;
    std::string status;
    int progressMaximum = 100;
    int progressValue = 0;
    std::string progressText;
    std::string failureNote;
    std::string failureListTitle; // of the list last shown
    std::vector<std::string> failureList;
    int failureListShown = 0;
    std::string watchNote;
    std::map<FormCheckBox, bool> checked;
    std::map<FormCheckBox, bool> boxVisible;

private:
    void ShowAs(bool asMinimized);
};

class MemorySettingsStore : public SettingsStore {
public:
    std::optional<std::string> Read(std::string_view key) const override;
    void Write(std::string_view key, const std::string& value) override;
    // The stored text, or "<absent>".
    std::string Stored(const std::string& key) const;

    std::map<std::string, std::string, std::less<>> values;
    bool writesFail = false;
};

class ScriptedChooser : public FolderChooser {
public:
    std::string BrowseForFolder(const std::string& prompt, const std::string& startFolder) override;
    std::vector<std::string> answers; // taken from the front; "" is a cancel
    std::string failure;              // when set, the chooser throws it
    int calls = 0;
    std::string lastPrompt;
    std::optional<std::string> lastStartFolder;
};

struct ShownBox {
    std::string title;
    std::string text;
    bool warning = false;
    std::thread::id shownOn = std::this_thread::get_id();
};

class RecordingBoxes : public MessageBoxes {
public:
    void Inform(const std::string& title, const std::string& text) override { shown.push_back({title, text}); }
    void Warn(const std::string& title, const std::string& text) override { shown.push_back({title, text, true}); }
    // The texts of the standard error reports shown, in order.
    std::vector<std::string> Reports() const;
    std::vector<ShownBox> shown;
};

// Work posted from any thread waits until the test runs it.
class ScriptedUiThread : public UiThread {
public:
    void Post(std::function<void()> work) override;
    // Runs what was waiting when called, as one turn of an event loop does.
    void ProcessPendingEvents() override;
    std::size_t Waiting() const;
    // Blocks until that much work waits, as posted from another thread.
    void WaitUntilWaiting(std::size_t count);

private:
    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> queue_;
};

class ScriptedTimer : public Timer {
public:
    void Start(int milliseconds) override;
    void Stop() override { running = false; }
    bool running = false;
    int interval = 0;
};

// Holds the work until Finish, then runs it on the test's thread and hands its end back at once.
class ManualRunner : public PassRunner {
public:
    bool Running() const override { return static_cast<bool>(work_); }
    void Start(std::function<void()> work, std::function<void()> finished) override;
    void Join() override;
    // As Join, unless the work is stuck.
    bool WaitFor(std::chrono::milliseconds limit) override;
    void Finish();
    int starts = 0;
    bool stuck = false; // the work never returns, as a copy that cannot finish in time
    std::chrono::milliseconds waitedFor{0};

private:
    std::function<void()> work_;
    std::function<void()> finished_;
};

class RecordingStartupEntry : public StartupEntry {
public:
    void AddToStartup() override { calls.push_back("add"); }
    void RemoveFromStartup() override { calls.push_back("remove"); }
    std::vector<std::string> calls;
};

} // namespace quillmere::test
