// SPDX-License-Identifier: GPL-3.0-or-later
// What the window logic shows: every change it makes to the window's controls goes through this interface, and
// nothing is read back from it. The Qt window (ui/qt/QtForm1) is one implementation; a test's scripted view
// records the calls. Texts are UTF-8; list entries go by their 0-based index.
#pragma once

#include <string>
#include <vector>

namespace quillmere {

// The three lists, by their design names.
enum class FormList {
    ListView1, // Folder 1
    ListView2, // Folder 2
    ListView3, // the fifteen intervals
};

// The check boxes, by their design names.
enum class FormCheckBox {
    Check9,  // "Start in system tray"
    Check10, // "Load this software on Windows startup"
    Check11, // "Keep replaced files in the Trash", among the sync options
    Check12, // "Sync as soon as files change", under Check11
};

// The window's mouse-pointer setting, with its values.
enum class MousePointer {
    Default = 0,
    Hourglass = 11,
    Custom = 99, // the hand cursor, or the platform's own hand when the program has none
};

// What lies under the mouse as it moves over the window: a push button, or the window, a frame or a list.
enum class PointerArea { Button, Plain };

class Form1View {
public:
    virtual ~Form1View() = default;

    // The window.
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetProgramIcon() = 0;
    // The application title, which names the program in its notices and its task list entry.
    virtual void SetApplicationTitle(const std::string& title) = 0;
    // The optional skin and hand cursor in the program's folder. Each does nothing without its file and throws
    // std::runtime_error when the file is there but cannot be used.
    virtual void ApplySkin(const std::string& programFolder) = 0;
    virtual void LoadHandCursor(const std::string& programFolder) = 0;
    virtual void SetMousePointer(MousePointer pointer) = 0;
    virtual void Show() = 0;
    virtual void ShowMinimized() = 0;
    // Hides the window and takes it off the taskbar.
    virtual void Hide() = 0;
    // Shows the window in its normal state and gives it the focus.
    virtual void Restore() = 0;
    // The window has closed: the program ends.
    virtual void EndProgram() = 0;

    // The lists (report view, one column).
    virtual void SetColumnHeader(FormList list, const std::string& text) = 0;
    virtual void AddEntry(FormList list, const std::string& text) = 0;
    virtual void RemoveEntry(FormList list, int index) = 0;
    // Marks the entry selected without raising the list's click.
    virtual void SelectEntry(FormList list, int index) = 0;

    // The scheduler's controls: PushButton13, the status line (Frame2's caption) and ProgressBar1.
    virtual void SetAutoSyncCaption(const std::string& caption) = 0;
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetProgressMaximum(int maximum) = 0;
    virtual void SetProgressValue(int value) = 0;
    virtual void SetProgressText(const std::string& text) = 0;

    // What the last pass could not do: a short note by the status line (PushButton14), whose click opens the
    // list; empty text takes the note away.
    virtual void SetFailureNote(const std::string& text) = 0;
    // A plain read-only list, one line each, in a window of its own that does not hold up the program. Shown
    // again, it shows the new title and lines.
    virtual void ShowFailureList(const std::string& title, const std::vector<std::string>& lines) = 0;
    // Why changes on a folder are found by the timed pass only, one line a folder, in the status frame (Label1);
    // empty text takes it away.
    virtual void SetWatchNote(const std::string& text) = 0;

    // The check boxes. Setting a value raises no click: the logic raises its handler itself.
    virtual void SetChecked(FormCheckBox box, bool checked) = 0;
    virtual void SetVisible(FormCheckBox box, bool visible) = 0;
};

} // namespace quillmere
