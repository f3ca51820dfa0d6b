// SPDX-License-Identifier: GPL-3.0-or-later
// The tray control's Windows side: the window hook that hands the shell's notifications to the control, and the
// backend's records for Shell_NotifyIconW, recorded here instead of sent.
#include "tray/TrayMessages.h"
#include "tray/cSysTray.h"
#include "tray/win32/Win32TrayBackend.h"
#include "tray/win32/mSysTray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmere::tray {
namespace {

// A window whose own procedure writes each message it sees into a log and answers 42.
class LoggingWindow {
public:
    LoggingWindow() {
        static const bool registered = [] {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = &Procedure;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"QuillmereLoggingWindow";
            return RegisterClassExW(&windowClass) != 0;
        }();
        (void)registered;
        window_ = CreateWindowExW(0, L"QuillmereLoggingWindow", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        Log().clear();
    }
    ~LoggingWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }
    static std::vector<std::string>& Log() {
        static std::vector<std::string> log;
        return log;
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == mSysTray::TrayCallbackMessage || message == WM_USER + 7) {
            Log().push_back("window " + std::to_string(message));
            return 42;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    HWND window_;
};

class NoBackend final : public TrayBackend {
public:
    bool Available() const override { return true; }
    void WatchAvailability(std::function<void()>) override {}
    bool IsIcon(Picture) const override { return false; }
    void InstallHook(cSysTray&) override {}
    void RemoveHook(cSysTray&) override {}
    void AddIcon(Picture, const std::string&) override {}
    void ModifyIcon(Picture) override {}
    void ModifyTip(const std::string&) override {}
    void DeleteIcon() override {}
    void ShowBalloon(const std::string&, const std::string&, int) override {}
    void HideBalloon() override {}
    void StartBalloonTimer(int, std::function<void()>) override {}
    void StopBalloonTimer() override {}
    void StartAreaTimer(int, std::function<void()>) override {}
};

class TrayHookTest : public ::testing::Test {
protected:
    TrayHookTest() {
        control_.MouseUp = [](int button, int id) {
            LoggingWindow::Log().push_back("MouseUp " + std::to_string(button) + " " + std::to_string(id));
        };
    }
    LoggingWindow window_;
    cSysTray control_{std::make_unique<NoBackend>(), true};
};

TEST_F(TrayHookTest, TheCallbackReachesTheControlFirstAndThenThePreviousProcedure) {
    mSysTray::Install(window_.get(), control_);
    EXPECT_EQ(SendMessageW(window_.get(), mSysTray::TrayCallbackMessage, 0, messages::kLeftButtonUp), 42);
    EXPECT_EQ(LoggingWindow::Log(), (std::vector<std::string>{"MouseUp 1 0", "window 1125"}));
    mSysTray::Remove(window_.get());
}

TEST_F(TrayHookTest, OtherMessagesPassUnchangedAndAfterRemovingNothingReachesTheControl) {
    mSysTray::Install(window_.get(), control_);
    EXPECT_EQ(SendMessageW(window_.get(), WM_USER + 7, 0, messages::kLeftButtonUp), 42);
    mSysTray::Remove(window_.get());
    EXPECT_EQ(SendMessageW(window_.get(), mSysTray::TrayCallbackMessage, 0, messages::kLeftButtonUp), 42);
    EXPECT_EQ(LoggingWindow::Log(), (std::vector<std::string>{"window 1031", "window 1125"}));
}

// The records the backend hands the shell, as short texts.
class TrayBackendTest : public ::testing::Test {
protected:
    std::vector<std::string> sent_;
    std::vector<NOTIFYICONDATAW> records_;
    Win32TrayBackend* backend_ = new Win32TrayBackend([this](DWORD message, const NOTIFYICONDATAW& record) {
        records_.push_back(record);
        sent_.push_back(std::to_string(message) + " flags=" + std::to_string(record.uFlags));
        return TRUE;
    });
    cSysTray control_{std::unique_ptr<TrayBackend>(backend_), true};
};

TEST_F(TrayBackendTest, TheAddNamesTheWindowTheCallbackAndTheTip) {
    control_.setTrayTip("Quillmere \xc3\xa9t\xc3\xa9"); // "été": the tip reaches the shell in UTF-16
    control_.setInTray(true);
    ASSERT_EQ(records_.size(), 1u);
    const NOTIFYICONDATAW& add = records_[0];
    EXPECT_EQ(sent_[0], "0 flags=" + std::to_string(NIF_MESSAGE | NIF_TIP));
    EXPECT_EQ(add.hWnd, backend_->ControlWindow());
    EXPECT_EQ(add.uID, 0u);
    EXPECT_EQ(add.uCallbackMessage, 1125u);
    EXPECT_EQ(std::wstring(add.szTip), L"Quillmere \u00e9t\u00e9");
}

TEST_F(TrayBackendTest, ABalloonAndItsTakingDown) {
    control_.setInTray(true);
    control_.ShowBalloon("text", "title", 5, false);
    ASSERT_EQ(records_.size(), 2u);
    EXPECT_EQ(records_[1].uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(std::wstring(records_[1].szInfoTitle), L"title");
    EXPECT_EQ(std::wstring(records_[1].szInfo), L"text");
    EXPECT_EQ(records_[1].uTimeout, 5000u);
    backend_->HideBalloon();
    EXPECT_EQ(std::wstring(records_[2].szInfo), L"");
    EXPECT_EQ(std::wstring(records_[2].szInfoTitle), L"");
}

// Explorer started again has no icons: the hooked window hears its announcement and adds the icon once more.
TEST_F(TrayBackendTest, TheIconComesBackWhenTheTaskbarIsMadeAgain) {
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    control_.setInTray(true);
    control_.setTrayTip("changed");
    SendMessageW(backend_->ControlWindow(), taskbarCreated, 0, 0);
    ASSERT_EQ(sent_.size(), 3u);
    EXPECT_EQ(sent_[2], sent_[0]);
    EXPECT_EQ(std::wstring(records_[2].szTip), L"changed");

    control_.setInTray(false);
    SendMessageW(backend_->ControlWindow(), taskbarCreated, 0, 0);
    EXPECT_EQ(sent_.size(), 4u) << "no icon to put back";
}

// A start in the tray that waits for the notification area hears of the taskbar made after it, and its wait for
// one runs out once.
TEST_F(TrayBackendTest, TheTaskbarMadeLaterIsToldAndTheWaitForItRunsOutOnce) {
    int heard = 0;
    control_.AvailabilityChanged = [&heard] { ++heard; };
    SendMessageW(backend_->ControlWindow(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(heard, 1);
    EXPECT_TRUE(sent_.empty()) << "no icon to put back";

    int elapsed = 0;
    backend_->StartAreaTimer(10, [&elapsed] { ++elapsed; });
    const DWORD until = GetTickCount() + 600; // time for the one run and for a second, were there one
    MSG message;
    while (GetTickCount() < until) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(20);
    }
    EXPECT_EQ(elapsed, 1);
}

TEST_F(TrayBackendTest, TheShellsNotificationsReachTheControlThroughTheHook) {
    std::vector<int> released;
    control_.MouseUp = [&](int button, int) { released.push_back(button); };
    control_.setInTray(true);
    SendMessageW(backend_->ControlWindow(), mSysTray::TrayCallbackMessage, 0, messages::kRightButtonUp);
    control_.setInTray(false);
    SendMessageW(backend_->ControlWindow(), mSysTray::TrayCallbackMessage, 0, messages::kLeftButtonUp);
    EXPECT_EQ(released, std::vector<int>{2});
}

} // namespace
} // namespace quillmere::tray
