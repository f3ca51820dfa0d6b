// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/DialogFolderChooser.h"

#include <QDir>
#include <QFileDialog>

namespace quillmere {

QString DialogFolderChooser::BrowseForFolder(QWidget* owner, const QString& prompt, const QString& startFolder) {
    const QString chosen = QFileDialog::getExistingDirectory(owner, prompt, startFolder, QFileDialog::ShowDirsOnly);
    // The dialog answers with "/" separators everywhere; the lists hold native paths ("C:\Data").
    return QDir::toNativeSeparators(chosen);
}

} // namespace quillmere
