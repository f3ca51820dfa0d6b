// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/Settings.h"

#include <QSettings>

#include <array>
#include <stdexcept>
#include <string>

namespace quillmere {
namespace {

struct SettingKey {
    std::string_view name;
    std::string_view defaultValue;
};

// Every key the program stores, with the value a first run reads.
constexpr std::array kKeys{
    SettingKey{"Folder 1", ""},         SettingKey{"Folder 2", ""},     SettingKey{"OftenIndex", "4"},
    SettingKey{"StartStopState", "On"}, SettingKey{"Minimized", "Off"}, SettingKey{"Windows Startup", "Off"},
    SettingKey{"LastFolder", ""},
};

const SettingKey& Find(std::string_view key) {
    for (const SettingKey& known : kKeys) {
        if (known.name == key) {
            return known;
        }
    }
    throw std::invalid_argument("Unknown setting \"" + std::string(key) + "\"");
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The store lives in the user's configuration folder (Harnvale/Quillmere.ini), one group per section.
QSettings OpenStore() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Harnvale", "Quillmere");
}

QString PathInStore(const SettingKey& key) {
    return "Quillmere/" + ToQString(key.name);
}

} // namespace

QString GetSetting(std::string_view key) {
    const SettingKey& known = Find(key);
    return OpenStore().value(PathInStore(known), ToQString(known.defaultValue)).toString();
}

void SaveSetting(std::string_view key, const QString& value) {
    const SettingKey& known = Find(key);
    QSettings store = OpenStore();
    store.setValue(PathInStore(known), value);
    store.sync();
    if (store.status() != QSettings::NoError) {
        throw std::runtime_error("Could not write the setting \"" + std::string(key) + "\" to " +
                                 store.fileName().toStdString());
    }
}

} // namespace quillmere
