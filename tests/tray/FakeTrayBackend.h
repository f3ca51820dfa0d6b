// SPDX-License-Identifier: GPL-3.0-or-later
// A tray backend that records what the control asks of the shell, in order, as short texts.
#pragma once

#include "tray/TrayBackend.h"

#include <QStringList>

#include <memory>

namespace quillmere::tray::testing {

class FakeTrayBackend final : public TrayBackend {
public:
    // The log outlives the backend, so a test can read what the control's destructor sent.
    explicit FakeTrayBackend(std::shared_ptr<QStringList> log) : log_(std::move(log)) {}

    bool Available() const override { return available; }
    void InstallHook(cSysTray&) override { log_->append("hook"); }
    void RemoveHook(cSysTray&) override { log_->append("unhook"); }
    void AddIcon(const QIcon& icon, const QString& tip) override {
        log_->append(QStringLiteral("add icon=%1 tip=%2").arg(icon.isNull() ? "none" : "set", tip));
    }
    void ModifyIcon(const QIcon&) override { log_->append("modify icon"); }
    void ModifyTip(const QString& tip) override { log_->append("modify tip=" + tip); }
    void DeleteIcon() override { log_->append("delete"); }
    void ShowBalloon(const QString& title, const QString& text, int timeoutMilliseconds) override {
        log_->append(QStringLiteral("balloon title=%1 text=%2 timeout=%3").arg(title, text).arg(timeoutMilliseconds));
    }
    void HideBalloon() override { log_->append("hide balloon"); }

    bool available = true;

private:
    std::shared_ptr<QStringList> log_;
};

} // namespace quillmere::tray::testing
