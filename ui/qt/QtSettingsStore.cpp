// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtSettingsStore.h"

#include "BuildValues.h"

#include <QSettings>

#include <stdexcept>

namespace quillmere::qt {
namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QSettings OpenStore() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, FromUtf8(kSettingsApplication), build::kProductName);
}

QString PathInStore(std::string_view key) {
    return QString(build::kProductName) + "/" + FromUtf8(key);
}

} // namespace

std::optional<std::string> QtSettingsStore::Read(std::string_view key) const {
    const QSettings store = OpenStore();
    if (!store.contains(PathInStore(key))) {
        return std::nullopt;
    }
    return store.value(PathInStore(key)).toString().toStdString();
}

void QtSettingsStore::Write(std::string_view key, const std::string& value) {
    QSettings store = OpenStore();
    store.setValue(PathInStore(key), QString::fromStdString(value));
    store.sync();
    if (store.status() != QSettings::NoError) {
        throw std::runtime_error("Could not write the setting \"" + std::string(key) + "\" to " +
                                 store.fileName().toStdString());
    }
}

} // namespace quillmere::qt
