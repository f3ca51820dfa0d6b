// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FolderLock.h"

#include "platform/FileSystem.h"

#include <windows.h>

#include <string>

namespace quillmere::platform {

// A mutex named after the folder's volume and file index, so that every path to the folder (a drive letter, a
// share, a link) meets the same one. A mutex a killed process held is abandoned, and the next to ask holds it.
FolderLock::FolderLock(const std::string& folder) {
    const std::optional<FileIdentity> identity = ReadFolderIdentity(folder);
    if (!identity) {
        return;
    }
    const std::wstring name = L"Local\\Quillmere-folder-" + std::to_wstring(identity->device) + L"-" +
                              std::to_wstring(identity->inode);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) {
        return;
    }
    const DWORD waited = WaitForSingleObject(mutex, 0);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        mutex_ = mutex;
        return;
    }
    busy_ = waited == WAIT_TIMEOUT;
    CloseHandle(mutex);
}

// On the thread that took it: a mutex belongs to its thread, and a pass claims and frees its folders on its own.
FolderLock::~FolderLock() {
    if (mutex_ != nullptr) {
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
}

} // namespace quillmere::platform
