// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedWorld.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <stdexcept>

namespace quillmere::test {

std::string Native(std::string_view posixPath) {
#ifdef _WIN32
    std::string native = "C:" + std::string(posixPath);
    std::replace(native.begin(), native.end(), '/', '\\');
    return native;
#else
    return std::string(posixPath);
#endif
}

void ScriptedView::ApplySkin(const std::string& programFolder) {
    lookLoads.push_back("skin from " + programFolder);
    if (!skinFailure.empty()) {
        throw std::runtime_error(skinFailure);
    }
}

void ScriptedView::LoadHandCursor(const std::string& programFolder) {
    lookLoads.push_back("cursor from " + programFolder);
    if (!cursorFailure.empty()) {
        throw std::runtime_error(cursorFailure);
    }
}

void ScriptedView::SetMousePointer(MousePointer shown) {
    if (pointerFails) {
        throw std::runtime_error("No pointer");
    }
    pointer = shown;
}

void ScriptedView::ShowAs(bool asMinimized) {
    visible = true;
    minimized = asMinimized;
}

void ScriptedView::Restore() {
    ShowAs(false);
    ++focused;
}

void ScriptedView::RemoveEntry(FormList list, int index) {
    std::vector<std::string>& texts = entries[list];
    ASSERT_LT(index, static_cast<int>(texts.size()));
    texts.erase(texts.begin() + index);
    selected[list].reset();
}

void ScriptedView::ShowFailureList(const std::string& title, const std::vector<std::string>& lines) {
    failureListTitle = title;
    failureList = lines;
    ++failureListShown;
}

std::string ScriptedView::SelectedText(FormList list) const {
    if (!selected.contains(list) || !selected.at(list)) {
        return "";
    }
    return entries.at(list).at(static_cast<std::size_t>(*selected.at(list)));
}

std::vector<std::string> RecordingBoxes::Reports() const {
    std::vector<std::string> reports;
    for (const ShownBox& box : shown) {
        if (box.warning && box.title == "Application Error") {
            reports.push_back(box.text);
        }
    }
    return reports;
}

std::optional<std::string> MemorySettingsStore::Read(std::string_view key) const {
    const auto found = values.find(key);
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
}

void MemorySettingsStore::Write(std::string_view key, const std::string& value) {
    if (writesFail) {
        throw std::runtime_error("Could not write the setting \"" + std::string(key) + "\"");
    }
    values.insert_or_assign(std::string(key), value);
}

std::string MemorySettingsStore::Stored(const std::string& key) const {
    return Read(key).value_or("<absent>");
}

std::string ScriptedChooser::BrowseForFolder(const std::string& prompt, const std::string& startFolder) {
    ++calls;
    lastPrompt = prompt;
    lastStartFolder = startFolder;
    if (!failure.empty()) {
        throw std::runtime_error(failure);
    }
    if (answers.empty()) {
        return {};
    }
    std::string answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

void ScriptedUiThread::Post(std::function<void()> work) {
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
    }
    posted_.notify_all();
}

void ScriptedUiThread::WaitUntilWaiting(std::size_t count) {
    std::unique_lock lock(mutex_);
    posted_.wait(lock, [&] { return queue_.size() >= count; });
}

void ScriptedUiThread::ProcessPendingEvents() {
    std::deque<std::function<void()>> due;
    {
        const std::lock_guard lock(mutex_);
        due.swap(queue_);
    }
    for (const std::function<void()>& work : due) {
        work();
    }
}

std::size_t ScriptedUiThread::Waiting() const {
    const std::lock_guard lock(mutex_);
    return queue_.size();
}

void ScriptedTimer::Start(int milliseconds) {
    running = true;
    interval = milliseconds;
}

void ManualRunner::Start(std::function<void()> work, std::function<void()> finished) {
    ASSERT_FALSE(Running()) << "two passes at once";
    ++starts;
    work_ = std::move(work);
    finished_ = std::move(finished);
}

void ManualRunner::Join() {
    work_ = nullptr;
    finished_ = nullptr;
}

bool ManualRunner::WaitFor(std::chrono::milliseconds limit) {
    waitedFor = limit;
    finished_ = nullptr;
    if (Running() && stuck) {
        return false;
    }
    Join();
    return true;
}

void ManualRunner::Finish() {
    ASSERT_TRUE(Running());
    const std::function<void()> work = std::exchange(work_, nullptr);
    const std::function<void()> finished = std::exchange(finished_, nullptr);
    work();
    finished();
}

} // namespace quillmere::test
