// SPDX-License-Identifier: GPL-3.0-or-later
// What the tray control needs from the notification area: the shell's add / modify / delete calls, the balloon
// and the wait for its end, and the hook that routes the icon's notifications back to the control. Texts are
// UTF-8; pictures go by name, and each backend keeps them as its toolkit does (Qt resources, icon resources of
// a Windows program). The program uses tray/qt/QtTrayBackend; tests record the calls.
#pragma once

#include <functional>
#include <string>

namespace quillmere::tray {

class cSysTray;

// The program's pictures a tray icon can show.
enum class Picture {
    None,        // no picture at all
    TrayIcon,    // the blue H, from 16 x 16 up
    ProgramIcon, // the window's icon in its larger sizes
};

class TrayBackend {
public:
    virtual ~TrayBackend() = default;

    // Whether the desktop has a notification area now to show the icon in.
    virtual bool Available() const = 0;
    // Calls changed on the UI thread each time a notification area comes or goes, so that Available() may answer
    // otherwise. An added icon moves into the area that is there now by itself.
    virtual void WatchAvailability(std::function<void()> changed) = 0;
    // Whether the picture is an icon this backend can show; None never is.
    virtual bool IsIcon(Picture picture) const = 0;

    // Starts / stops delivering the icon's notifications to control.HandleTrayMessage, on the UI thread and in
    // the order they arrive.
    virtual void InstallHook(cSysTray& control) = 0;
    virtual void RemoveHook(cSysTray& control) = 0;

    // Picture::None or an empty tip means the field is left out of the add.
    virtual void AddIcon(Picture icon, const std::string& tip) = 0;
    virtual void ModifyIcon(Picture icon) = 0;
    virtual void ModifyTip(const std::string& tip) = 0;
    virtual void DeleteIcon() = 0;

    virtual void ShowBalloon(const std::string& title, const std::string& text, int timeoutMilliseconds) = 0;
    // A balloon change with empty title and text, which takes a shown balloon down.
    virtual void HideBalloon() = 0;

    // Calls elapsed once on the UI thread after that many milliseconds, unless stopped or started again first.
    virtual void StartBalloonTimer(int milliseconds, std::function<void()> elapsed) = 0;
    virtual void StopBalloonTimer() = 0;
    // The same, for the wait for a notification area to appear; a new start replaces the old one.
    virtual void StartAreaTimer(int milliseconds, std::function<void()> elapsed) = 0;
};

} // namespace quillmere::tray
