#include "Form1Fixture.h"

#include <QGroupBox>
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

SettingsFixture::SettingsFixture() {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configFolder_.path());
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

Form1& Form1Fixture::Load() {
    PassFunction pass = [this](const SyncSettings& settings, SyncObserver&) {
        ++passes_;
        lastDirection_ = settings.Direction();
        lastFolder1_ = settings.Folder1Entries();
        return SyncCounts{};
    };
    form_ = std::make_unique<Form1>(Form1Services{chooser_, boxes_, runner_, pass});
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
