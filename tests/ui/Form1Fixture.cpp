// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1Fixture.h"

#include "tests/tray/FakeTrayBackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QRegularExpression>
#include <QSettings>
#include <QTreeWidget>

namespace quillmere::test {

QString ScriptedChooser::BrowseForFolder(QWidget*, const QString& prompt, const QString& startFolder) {
    ++calls;
    lastPrompt = prompt;
    lastStartFolder = startFolder;
    if (answers.empty()) {
        return {};
    }
    QString answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

void ManualRunner::Start(std::function<void()> work) {
    ASSERT_FALSE(Running()) << "two passes at once";
    ++starts;
    work_ = std::move(work);
}

void ManualRunner::Finish() {
    ASSERT_TRUE(Running());
    const std::function<void()> work = std::exchange(work_, nullptr);
    work();
    emit Finished();
}

Form1Services ServicesForTest(FolderChooser& chooser, MessageBoxes& boxes, PassRunner& runner, PassFunction pass) {
    return {chooser,
            boxes,
            runner,
            std::move(pass),
            std::make_unique<tray::testing::FakeTrayBackend>(std::make_shared<QStringList>()),
            [] { return 0.5; },
            [](const QUrl& page) { ADD_FAILURE() << "opened " << page.toString().toStdString(); },
            QCoreApplication::applicationDirPath()};
}

SettingsFixture::SettingsFixture() {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configFolder_.path());
    QDir().mkpath(configFolder_.filePath("system/autostart")); // as on a desktop system
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(configFolder_.filePath("system")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configFolder_.filePath("user")));
}

void SettingsFixture::Store(const char* key, const QString& value) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, "Harnvale", "Quillmere");
    store.setValue(QString("Quillmere/") + key, value);
}

QString SettingsFixture::Stored(const char* key) const {
    const QSettings store(QSettings::IniFormat, QSettings::UserScope, "Harnvale", "Quillmere");
    return store.value(QString("Quillmere/") + key, "<absent>").toString();
}

QString SettingsFixture::StoreFile() const {
    return configFolder_.filePath("Harnvale/Quillmere.ini");
}

QStringList SettingsFixture::AutostartEntries() const {
    QStringList entries;
    for (const char* folder : {"system/autostart", "user/autostart"}) {
        for (const QString& name : QDir(configFolder_.filePath(folder)).entryList(QDir::Files | QDir::Hidden)) {
            entries << QString(folder) + "/" + name;
        }
    }
    return entries;
}

Form1& Form1Fixture::Load() {
    PassFunction pass = [this](const SyncSettings& settings, SyncObserver&) {
        ++passes_;
        lastDirection_ = settings.Direction();
        lastFolder1_ = settings.Folder1Entries();
        return SyncCounts{};
    };
    Form1Services services = ServicesForTest(chooser_, boxes_, runner_, pass);
    services.tray = std::make_unique<tray::testing::FakeTrayBackend>(trayLog_);
    services.random = [this] { return draw_; };
    services.openUrl = opener_;
    services.programFolder = programFolder_.path();
    form_.reset(); // the window before takes its icon down first
    form_ = std::make_unique<Form1>(std::move(services));
    form_->Form_Load();
    form_->Timer1.blockSignals(true); // the tests tick it themselves
    return *form_;
}

QStringList Form1Fixture::Entries(const QTreeWidget* list) const {
    QStringList entries;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        entries << list->topLevelItem(i)->text(0);
    }
    return entries;
}

QString Form1Fixture::Status() const {
    return form_->Frame2->title();
}

void Form1Fixture::Tick(int times) {
    for (int i = 0; i < times; ++i) {
        form_->Timer1_Timer();
    }
}

// The icon is in the tray when the last add came after the last delete (the expression matches whole entries).
bool Form1Fixture::IconInTray() const {
    return trayLog_->lastIndexOf(QRegularExpression("add .*")) > trayLog_->lastIndexOf("delete");
}

QStringList Form1Fixture::Reports() const {
    QStringList reports;
    for (const ShownBox& box : boxes_.shown) {
        if (box.warning && box.title == "Application Error") {
            reports << box.text;
        }
    }
    return reports;
}

} // namespace quillmere::test
