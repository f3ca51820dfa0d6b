// SPDX-License-Identifier: GPL-3.0-or-later
// The Run value, through the registry's wide-character functions: a program folder whose name the system's ANSI
// code page cannot hold (a user name in another script, say) is written as it is.
#include "startup/RegStuff.h"
#include "startup/ProgramFile.h"

#include "platform/windows/WideText.h"

#include <optional>

namespace quillmere::startup {

namespace {

// Query value, set value, create subkey, enumerate subkeys, notify, create link: enough to change values,
// never to create the key.
constexpr REGSAM kAccess = 0x3F;

using platform::windows::ToWide;

// Opens rootKey\keyPath for changing values; the handle stays null when it cannot be opened, and result()
// tells why.
class OpenKey {
public:
    OpenKey(HKEY rootKey, const std::string& keyPath) {
        const auto path = ToWide(keyPath);
        result_ = path ? RegOpenKeyExW(rootKey, path->c_str(), 0, kAccess, &key_) : ERROR_NO_UNICODE_TRANSLATION;
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() {
        if (key_)
            RegCloseKey(key_);
    }
    HKEY get() const { return key_; }
    LONG result() const { return result_; }

private:
    HKEY key_ = nullptr;
    LONG result_ = ERROR_SUCCESS;
};

std::string AsText(const RegValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    return std::to_string(std::get<std::int32_t>(value));
}

// Text that is not a number gives 0, as a failed conversion to a number would.
std::int32_t AsNumber(const RegValue& value) {
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return *number;
    try {
        return static_cast<std::int32_t>(std::stol(std::get<std::string>(value)));
    } catch (const std::exception&) {
        return 0;
    }
}

// The user's Run key, made when missing: it is the user's own to make.
LONG CreateUserRunKey(HKEY root) {
    std::string path = RunKeyPath;
    path.pop_back(); // a key is made without a trailing backslash
    HKEY key = nullptr;
    const LONG result =
        RegCreateKeyExW(root, ToWide(path)->c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS)
        RegCloseKey(key);
    return result;
}

bool HoldsValue(HKEY root, const std::string& valueName) {
    const auto path = ToWide(RunKeyPath);
    const auto name = ToWide(valueName);
    return path && name &&
           RegGetValueW(root, path->c_str(), name->c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

} // namespace

LONG WriteRegValueData(HKEY key, const std::string& valueName, DWORD type, const RegValue& value) {
    const auto name = ToWide(valueName);
    if (!name)
        return ERROR_NO_UNICODE_TRANSLATION;
    switch (type) {
    case REG_SZ: {
        const auto text = ToWide(AsText(value));
        if (!text)
            return ERROR_NO_UNICODE_TRANSLATION;
        // The size is in bytes and counts the terminating zero.
        return RegSetValueExW(key, name->c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text->c_str()),
                              static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t)));
    }
    case REG_DWORD: {
        const DWORD number = static_cast<DWORD>(AsNumber(value));
        return RegSetValueExW(key, name->c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
    default:
        return 0;
    }
}

LONG SetRegValue(HKEY rootKey, const std::string& keyPath, const std::string& valueName, const RegValue& value,
                 DWORD type) {
    const OpenKey key(rootKey, keyPath);
    if (!key.get())
        return key.result();
    return WriteRegValueData(key.get(), valueName, type, value);
}

LONG DeleteRegValue(HKEY rootKey, const std::string& keyPath, const std::string& valueName) {
    const OpenKey key(rootKey, keyPath);
    const auto name = ToWide(valueName);
    if (!key.get())
        return key.result();
    return name ? RegDeleteValueW(key.get(), name->c_str()) : ERROR_NO_UNICODE_TRANSLATION;
}

bool WriteRunValue(const RunRoots& roots, const std::string& valueName, const std::string& data) {
    if (SetRegValue(roots.machine, RunKeyPath, valueName, data, REG_SZ) == ERROR_SUCCESS) {
        DeleteRegValue(roots.user, RunKeyPath, valueName);
        return true;
    }
    return CreateUserRunKey(roots.user) == ERROR_SUCCESS &&
           SetRegValue(roots.user, RunKeyPath, valueName, data, REG_SZ) == ERROR_SUCCESS;
}

bool DeleteRunValue(const RunRoots& roots, const std::string& valueName) {
    bool gone = true;
    for (HKEY root : {roots.machine, roots.user}) {
        DeleteRegValue(root, RunKeyPath, valueName);
        gone = gone && !HoldsValue(root, valueName);
    }
    return gone;
}

void AddRunEntry(const std::string& fileName) {
    WriteRunValue(RunRoots{}, fileName, RunEntryData(ProgramFolder(), fileName));
}

void RemoveRunEntry(const std::string& fileName) {
    DeleteRunValue(RunRoots{}, fileName);
}

} // namespace quillmere::startup
