// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one window as Win32 and the common controls draw it: the controls with their design names and
// texts, each notification forwarded to its handler in the window logic (Form1), and the logic's view calls shown
// on the controls. Nothing else.
#pragma once

#include "ui/main/Form1View.h"
#include "ui/win32/FailureListWindow.h"
#include "ui/win32/Win32Form1Design.h"
#include "ui/win32/Win32Look.h"
#include "ui/win32/Win32Timer.h"

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillmere {
class Form1;
}

namespace quillmere::win32 {

class Win32Form1 final : public Form1View {
public:
    Win32Form1();
    ~Win32Form1() override;
    Win32Form1(const Win32Form1&) = delete;
    Win32Form1& operator=(const Win32Form1&) = delete;

    // While it lives, the window forwards its controls' notifications and its timers' ticks to the logic's
    // handlers. It must go before the logic does.
    class Attachment {
    public:
        explicit Attachment(Win32Form1& window) : window_(&window) {}
        Attachment(Attachment&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}
        Attachment(const Attachment&) = delete;
        Attachment& operator=(const Attachment&) = delete;
        Attachment& operator=(Attachment&&) = delete;
        ~Attachment() {
            if (window_ != nullptr)
                window_->logic_ = nullptr;
        }

    private:
        Win32Form1* window_;
    };
    [[nodiscard]] Attachment Attach(Form1& logic);

    // Runs once the window has closed: the program ends.
    void SetEndHandler(std::function<void()> ended) { ended_ = std::move(ended); }

    HWND Handle() const { return window_; }
    HWND Item(Control control) const { return items_[static_cast<std::size_t>(control)]; }
    // The countdown's tick and the pause after a manual pass, for the logic to start and stop.
    Win32Timer& Timer1() { return timer1_; }
    Win32Timer& ManualHold() { return manualHold_; }

    // What the window shows that its controls do not tell.
    const std::wstring& ProgressText() const { return progressText_; }
    MousePointer Pointer() const { return pointer_; }
    bool Skinned() const { return skinned_; }
    const FailureListWindow& FailureList() const { return failureList_; }

    // Form1View.
    void SetCaption(const std::string& caption) override;
    void SetProgramIcon() override;
    void SetApplicationTitle(const std::string& title) override;
    void ApplySkin(const std::string& programFolder) override;
    void LoadHandCursor(const std::string& programFolder) override;
    void SetMousePointer(MousePointer pointer) override;
    void Show() override;
    void ShowMinimized() override;
    void Hide() override;
    void Restore() override;
    void EndProgram() override;
    void SetColumnHeader(FormList list, const std::string& text) override;
    void AddEntry(FormList list, const std::string& text) override;
    void RemoveEntry(FormList list, int index) override;
    void SelectEntry(FormList list, int index) override;
    void SetAutoSyncCaption(const std::string& caption) override;
    void SetStatus(const std::string& text) override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressValue(int value) override;
    void SetProgressText(const std::string& text) override;
    void SetFailureNote(const std::string& text) override;
    void SetWatchNote(const std::string& text) override;
    void ShowFailureList(const std::string& title, const std::vector<std::string>& lines) override;
    void SetChecked(FormCheckBox box, bool checked) override;
    void SetVisible(FormCheckBox box, bool visible) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ProgressBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR data);
    static LRESULT CALLBACK FolderListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR data);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    // Making the window (Win32Form1Controls.cpp). The window's procedure finds its Win32Form1 once that is made.
    static HWND MakeWindow();
    void CreateControls();
    void AddFolderListTips();
    void ApplyDpi(int dpi);
    Metrics Measure(int dpi) const;

    // Notifications.
    template <class Handler> void Forward(Handler&& handler) {
        if (logic_ != nullptr)
            handler(*logic_);
    }
    std::optional<Control> ControlOf(HWND item) const;
    void Clicked(Control control);
    void Notified(const NMHDR& notice);
    void FolderListDoubleClicked(HWND list);
    void FolderListKeyDown(HWND list, WORD key);
    void MouseMoved(HWND over);
    bool ShowPointer() const;
    void Close();
    void PaintProgressBar(HWND bar);
    HBRUSH Background() const;

    HWND List(FormList list) const;
    HWND Box(FormCheckBox box) const;
    std::optional<int> SelectedIndex(Control list) const;
    void RedrawFrame(Control frame);

    Form1* logic_ = nullptr;
    std::function<void()> ended_;
    HWND window_ = nullptr;
    std::array<HWND, kControlCount> items_{};
    HWND tips_ = nullptr;
    HFONT font_ = nullptr;
    Win32Timer timer1_;
    Win32Timer manualHold_;
    FailureListWindow failureList_;
    std::wstring progressText_;
    MousePointer pointer_ = MousePointer::Default;
    OwnedCursor handCursor_;
    bool skinned_ = false;
    bool quietSelection_ = false; // the logic selects an entry: no click
};

// Registers the common controls the window uses (list views, progress bar, tooltips); once per program.
void InitCommonControlsForForm1();

} // namespace quillmere::win32
