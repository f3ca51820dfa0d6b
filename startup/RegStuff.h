// SPDX-License-Identifier: GPL-3.0-or-later
// The Run value that starts the program with Windows: machine-wide in HKEY_LOCAL_MACHINE where the user may
// write there, else in the user's own Run key of HKEY_CURRENT_USER. Registry failures raise nothing.
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

// Opens rootKey\keyPath (never creating it), writes the value, closes the key. Returns the registry's result:
// ERROR_SUCCESS when the value was written.
LONG SetRegValue(HKEY rootKey, const std::string& keyPath, const std::string& valueName, const RegValue& value,
                 DWORD type);

// Writes the value on an open key: REG_SZ as text with its terminating zero, REG_DWORD as 4 bytes. Returns the
// registry's result, or 0 for any other type, which writes nothing.
LONG WriteRegValueData(HKEY key, const std::string& valueName, DWORD type, const RegValue& value);

// Opens rootKey\keyPath, deletes the value, closes the key. Returns the registry's result.
LONG DeleteRegValue(HKEY rootKey, const std::string& keyPath, const std::string& valueName);

// The two roots whose RunKeyPath may hold the Run value: the machine's, preferred, and the user's own.
struct RunRoots {
    HKEY machine = HKEY_LOCAL_MACHINE;
    HKEY user = HKEY_CURRENT_USER;
};

// Writes the value under the machine's Run key, or, when that cannot be written (as without administrator
// rights), under the user's, whose key is made when missing. Afterwards only one of the two holds the value:
// both would start the program twice. False when neither could be written.
bool WriteRunValue(const RunRoots& roots, const std::string& valueName, const std::string& data);

// Deletes the value under both roots. False when one of them still holds it.
bool DeleteRunValue(const RunRoots& roots, const std::string& valueName);

// The Run value named fileName, holding the program folder and fileName, quoted (see RunEntryData).
void AddRunEntry(const std::string& fileName);
void RemoveRunEntry(const std::string& fileName);

} // namespace quillmere::startup

#endif // _WIN32
