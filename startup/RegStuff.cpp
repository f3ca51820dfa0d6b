// SPDX-License-Identifier: GPL-3.0-or-later
// The Run value in HKEY_LOCAL_MACHINE, through the registry's ANSI functions.
#include "startup/RegStuff.h"
#include "startup/ProgramFile.h"

#include "platform/windows/WideText.h"

#include <optional>

namespace quillmere::startup {

namespace {

// Query value, set value, create subkey, enumerate subkeys, notify, create link: enough to change values,
// never to create the key.
constexpr REGSAM kAccess = 0x3F;

// The program's text is UTF-8; the ANSI functions take the system's code page. A text that code page cannot
// hold exactly has no ANSI form: writing "?" in its place would name another file or value.
std::optional<std::string> ToAnsi(const std::string& text) {
    const auto wide = platform::windows::ToWide(text);
    if (!wide)
        return std::nullopt;
    if (wide->empty())
        return std::string();
    const int size = static_cast<int>(wide->size());
    BOOL lossy = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide->data(), size, nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy)
        return std::nullopt;
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide->data(), size, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

// Opens rootKey\keyPath for changing values; the handle stays null when it cannot be opened, and the calls
// made with it then fail without effect.
class OpenKey {
public:
    OpenKey(HKEY rootKey, const std::string& keyPath) {
        if (const auto path = ToAnsi(keyPath))
            RegOpenKeyExA(rootKey, path->c_str(), 0, kAccess, &key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() {
        if (key_)
            RegCloseKey(key_);
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
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

} // namespace

LONG WriteRegValueData(HKEY key, const std::string& valueName, DWORD type, const RegValue& value) {
    const auto name = ToAnsi(valueName);
    if (!name)
        return ERROR_NO_UNICODE_TRANSLATION;
    switch (type) {
    case REG_SZ: {
        const auto text = ToAnsi(AsText(value));
        if (!text)
            return ERROR_NO_UNICODE_TRANSLATION;
        // The size counts the terminating zero.
        return RegSetValueExA(key, name->c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text->c_str()),
                              static_cast<DWORD>(text->size() + 1));
    }
    case REG_DWORD: {
        const DWORD number = static_cast<DWORD>(AsNumber(value));
        return RegSetValueExA(key, name->c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
    default:
        return 0;
    }
}

void SetRegValue(HKEY rootKey, const std::string& keyPath, const std::string& valueName, const RegValue& value,
                 DWORD type) {
    const OpenKey key(rootKey, keyPath);
    if (key.get())
        WriteRegValueData(key.get(), valueName, type, value);
}

void DeleteRegValue(HKEY rootKey, const std::string& keyPath, const std::string& valueName) {
    const OpenKey key(rootKey, keyPath);
    const auto name = ToAnsi(valueName);
    if (key.get() && name)
        RegDeleteValueA(key.get(), name->c_str());
}

void AddRunEntry(const std::string& fileName) {
    SetRegValue(HKEY_LOCAL_MACHINE, RunKeyPath, fileName, RunEntryData(ProgramFolder(), fileName), REG_SZ);
}

void RemoveRunEntry(const std::string& fileName) {
    DeleteRegValue(HKEY_LOCAL_MACHINE, RunKeyPath, fileName);
}

} // namespace quillmere::startup
