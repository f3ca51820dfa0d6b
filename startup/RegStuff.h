// SPDX-License-Identifier: GPL-3.0-or-later
// The machine-wide Run value that starts the program with Windows, in the registry of HKEY_LOCAL_MACHINE.
// None of the registry results is acted on: a key that cannot be opened or a value that cannot be written or
// deleted ends silently.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <cstdint>
#include <string>
#include <variant>

namespace quillmere::startup {

// Upper case and with the trailing backslash, as the value has always been written.
inline constexpr char RunKeyPath[] = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";

// A value to write: text for REG_SZ (type 1), a number for REG_DWORD (type 4).
using RegValue = std::variant<std::string, std::int32_t>;

// Opens rootKey\keyPath (never creating it), writes the value, closes the key.
void SetRegValue(HKEY rootKey, const std::string& keyPath, const std::string& valueName, const RegValue& value,
                 DWORD type);

// Writes the value on an open key: REG_SZ as ANSI text with its terminating zero, REG_DWORD as 4 bytes. Returns
// the platform's result, or 0 for any other type, which writes nothing.
LONG WriteRegValueData(HKEY key, const std::string& valueName, DWORD type, const RegValue& value);

// Opens rootKey\keyPath, deletes the value, closes the key.
void DeleteRegValue(HKEY rootKey, const std::string& keyPath, const std::string& valueName);

// The Run value named fileName, holding the program folder and fileName (one backslash between, no quotes).
void AddRunEntry(const std::string& fileName);
void RemoveRunEntry(const std::string& fileName);

} // namespace quillmere::startup

#endif // _WIN32
