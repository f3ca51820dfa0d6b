// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/FolderChooser.h"

namespace quillmere {

// The platform's folder dialog: only folders can be confirmed, the prompt is its caption, and the start folder
// is preselected when it exists.
class DialogFolderChooser : public FolderChooser {
public:
    QString BrowseForFolder(QWidget* owner, const QString& prompt, const QString& startFolder) override;
};

} // namespace quillmere
