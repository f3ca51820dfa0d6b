// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt window with the window logic behind it, as the program wires them, on its own settings store and
// autostart folders, with a scripted chooser, recorded message boxes, a pass runner the test drives and a
// recorded tray. For the wiring tests: a click reaches its handler, a view call reaches its widget.
#pragma once

#include "tests/tray/FakeTrayBackend.h"
#include "tests/ui/ScriptedWorld.h"
#include "ui/main/Form1.h"
#include "ui/main/StartupEntry.h"
#include "ui/qt/QtForm1.h"
#include "ui/qt/QtSettingsStore.h"
#include "ui/qt/QtUiThread.h"

#include <QAbstractButton>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Lets GoogleTest print texts in its failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quillmere::test {

// A control's caption as it shows, without the mark of its access key.
QString Shown(const QAbstractButton* control);

// The settings store of every test lives in a folder of its own, and so do the machine-wide and the user's
// autostart folders.
class SettingsFixture : public ::testing::Test {
protected:
    SettingsFixture();
    void Store(const char* key, const QString& value);
    QString Stored(const char* key) const;
    QString StoreFile() const;
    // The entries in both autostart folders.
    QStringList AutostartEntries() const;

    QTemporaryDir configFolder_;
};

class QtForm1Fixture : public SettingsFixture {
protected:
    ~QtForm1Fixture() override;
    // Makes the window anew and loads it; settings stored before this are what it restores.
    qt::QtForm1& Load();
    // Stores a folder for each list, so that the passes of the window loaded next run.
    void StorePair() {
        Store("Folder 1", "/one/");
        Store("Folder 2", "/two/");
    }
    QStringList Entries(const QTreeWidget* list) const;
    QString Status() const;
    std::vector<std::string> Reports() const { return boxes_.Reports(); }
    bool IconInTray() const;

    ScriptedChooser chooser_;
    RecordingBoxes boxes_;
    ManualRunner runner_;
    qt::QtSettingsStore settings_;
    qt::QtUiThread ui_;
    SystemStartupEntry startup_;
    bool trayAvailable_ = true;
    int passes_ = 0;
    SyncDirection lastDirection_ = SyncDirection::None;
    // What the window's passes run and who runs them: by default a pass that counts itself, run by runner_.
    PassFunction pass_ = [this](const SyncJob&, const SyncSettings& settings, SyncObserver&) {
        ++passes_;
        lastDirection_ = settings.Direction();
        return SyncCounts{};
    };
    PassRunner* passRunner_ = &runner_;
    QTemporaryDir programFolder_;
    std::shared_ptr<tray::testing::TrayLog> trayLog_ = std::make_shared<tray::testing::TrayLog>();
    tray::testing::FakeTrayBackend* tray_ = nullptr;
    std::unique_ptr<qt::QtForm1> window_;
    std::unique_ptr<Form1> form_;
    std::optional<qt::QtForm1::Attachment> attachment_;
};

} // namespace quillmere::test
