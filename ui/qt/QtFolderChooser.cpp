// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtFolderChooser.h"

#include <QDir>
#include <QFileDialog>

namespace quillmere::qt {

std::string QtFolderChooser::BrowseForFolder(const std::string& prompt, const std::string& startFolder) {
    const QString chosen = QFileDialog::getExistingDirectory(
        owner_, QString::fromStdString(prompt), QString::fromStdString(startFolder), QFileDialog::ShowDirsOnly);
    // The dialog answers with "/" separators everywhere; the lists hold native paths ("C:\Data").
    return QDir::toNativeSeparators(chosen).toStdString();
}

} // namespace quillmere::qt
