// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/FolderChooser.h"

class QWidget;

namespace quillmere::qt {

// The platform's folder dialog over owner: only folders can be confirmed, the prompt is its caption, and the
// start folder is preselected when it exists.
class QtFolderChooser final : public FolderChooser {
public:
    explicit QtFolderChooser(QWidget* owner) : owner_(owner) {}
    std::string BrowseForFolder(const std::string& prompt, const std::string& startFolder) override;

private:
    QWidget* owner_;
};

} // namespace quillmere::qt
