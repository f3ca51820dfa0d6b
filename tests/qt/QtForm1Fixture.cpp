// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtForm1Fixture.h"

#include "ui/main/AccessKeys.h"

#include <QDir>
#include <QGroupBox>
#include <QSettings>
#include <QTreeWidget>

namespace quillmere::test {

QString Shown(const QAbstractButton* control) {
    return QString::fromStdString(ShownCaption(control->text().toStdString()));
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

QtForm1Fixture::~QtForm1Fixture() {
    attachment_.reset();
    form_.reset();
}

qt::QtForm1& QtForm1Fixture::Load() {
    attachment_.reset();
    form_.reset(); // the window before takes its icon down first
    window_ = std::make_unique<qt::QtForm1>();
    auto tray = std::make_unique<tray::testing::FakeTrayBackend>(trayLog_);
    tray->available = trayAvailable_;
    tray_ = tray.get();
    form_ = std::make_unique<Form1>(Form1Services{
        *window_, settings_, chooser_, boxes_, ui_, *passRunner_, window_->Timer1(), window_->ManualHold(), startup_,
        std::move(tray), pass_, [] { return 0.5; }, [](const std::string& page) { ADD_FAILURE() << "opened " << page; },
        [] { return std::string("now"); }, programFolder_.path().toStdString(), EndAtOnce(), "", WatchServices{}});
    attachment_.emplace(window_->Attach(*form_));
    form_->Form_Load();
    return *window_;
}

QStringList QtForm1Fixture::Entries(const QTreeWidget* list) const {
    QStringList entries;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        entries << list->topLevelItem(i)->text(0);
    }
    return entries;
}

QString QtForm1Fixture::Status() const {
    return window_->Frame2->title();
}

bool QtForm1Fixture::IconInTray() const {
    return tray::testing::IconInTray(*trayLog_);
}

} // namespace quillmere::test
