// SPDX-License-Identifier: GPL-3.0-or-later
// A Form1 on its own settings store, with a scripted folder chooser, recorded message boxes and a pass runner
// that runs nothing until the test says the pass has ended.
#pragma once

#include "ui/main/FolderChooser.h"
#include "ui/main/Form1.h"
#include "ui/main/MessageBoxes.h"
#include "ui/main/PassRunner.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <ostream>

// Lets GoogleTest print texts in its failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quillmere::test {

class ScriptedChooser : public FolderChooser {
public:
    QString BrowseForFolder(QWidget* owner, const QString& prompt, const QString& startFolder) override;
    std::vector<QString> answers; // taken from the front; "" is a cancel
    int calls = 0;
    QString lastPrompt;
    std::optional<QString> lastStartFolder;
};

struct ShownBox {
    QString title;
    QString text;
    bool warning = false;
};

class RecordingBoxes : public MessageBoxes {
public:
    void Inform(QWidget*, const QString& title, const QString& text) override { shown.push_back({title, text}); }
    void Warn(QWidget*, const QString& title, const QString& text) override { shown.push_back({title, text, true}); }
    std::vector<ShownBox> shown;
};

// Holds the work until Finish, then runs it on the test's thread and reports the end.
class ManualRunner : public PassRunner {
public:
    bool Running() const override { return work_ != nullptr; }
    void Start(std::function<void()> work) override;
    void Join() override { work_ = nullptr; }
    void Finish();
    int starts = 0;

private:
    std::function<void()> work_;
};

// A window's services as the tests give them: a tray that records into a log of its own, a draw that never
// opens the home page, and the test program's folder, which holds no skin and no cursor.
Form1Services ServicesForTest(FolderChooser& chooser, MessageBoxes& boxes, PassRunner& runner, PassFunction pass);

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

class Form1Fixture : public SettingsFixture {
protected:
    // Loads the window; settings stored before this are what it restores.
    Form1& Load();
    QStringList Entries(const QTreeWidget* list) const;
    QString Status() const;
    void Tick(int times = 1);
    QStringList Reports() const;
    // What the window asked of the notification area, in order.
    const QStringList& Tray() const { return *trayLog_; }
    bool IconInTray() const;

    ScriptedChooser chooser_;
    RecordingBoxes boxes_;
    ManualRunner runner_;
    int passes_ = 0;
    SyncDirection lastDirection_ = SyncDirection::None;
    std::vector<std::string> lastFolder1_;
    std::shared_ptr<QStringList> trayLog_ = std::make_shared<QStringList>();
    double draw_ = 0.5; // the home page's draw: 0.06 to 0.069 is the start that opens it
    std::vector<QUrl> opened_;
    UrlOpener opener_ = [this](const QUrl& page) { opened_.push_back(page); };
    QTemporaryDir programFolder_;
    std::unique_ptr<Form1> form_;
};

} // namespace quillmere::test
