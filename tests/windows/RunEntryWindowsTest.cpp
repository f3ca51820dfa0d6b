// SPDX-License-Identifier: GPL-3.0-or-later
// The Run value and the registry writes under it. Wine does not ask for administrator rights to change
// HKEY_LOCAL_MACHINE; on Windows these cases need an elevated test run.
#include "startup/ProgramFile.h"
#include "startup/RegStuff.h"
#include "startup/mStartUp.h"

#include "platform/FileSystem.h"
#include "tests/windows/WindowsTestFolder.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillmere::startup {
namespace {

using testing::WindowsTestFolder;

// A key of the test's own under HKEY_CURRENT_USER, removed afterwards.
class RegistryKey : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(
            RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr),
            ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(key_);
        RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    }

    // Type and bytes of the value; type 0 when there is no such value.
    std::pair<DWORD, std::vector<BYTE>> Read(const char* name) const {
        DWORD type = 0;
        std::vector<BYTE> data(1024);
        DWORD size = static_cast<DWORD>(data.size());
        if (RegQueryValueExA(key_, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            return {0, {}};
        data.resize(size);
        return {type, data};
    }

    const std::string path_ = "Software\\QuillmereTest" + std::to_string(GetCurrentProcessId());
    HKEY key_ = nullptr;
};

TEST_F(RegistryKey, TextIsWrittenWithItsTerminatingZero) {
    EXPECT_EQ(WriteRegValueData(key_, "Name", REG_SZ, std::string("C:\\A B\\x.exe")), ERROR_SUCCESS);
    const auto [type, data] = Read("Name");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    const std::string expected = "C:\\A B\\x.exe";
    EXPECT_EQ(data, std::vector<BYTE>(expected.c_str(), expected.c_str() + expected.size() + 1));
}

TEST_F(RegistryKey, NumbersAreWrittenAsFourBytes) {
    EXPECT_EQ(WriteRegValueData(key_, "Number", REG_DWORD, std::int32_t{-2}), ERROR_SUCCESS);
    EXPECT_EQ(Read("Number"), (std::pair<DWORD, std::vector<BYTE>>{REG_DWORD, {0xFE, 0xFF, 0xFF, 0xFF}}));
    EXPECT_EQ(WriteRegValueData(key_, "Text", REG_DWORD, std::string("300")), ERROR_SUCCESS);
    EXPECT_EQ(Read("Text"), (std::pair<DWORD, std::vector<BYTE>>{REG_DWORD, {0x2C, 0x01, 0, 0}}));
}

TEST_F(RegistryKey, OtherTypesWriteNothing) {
    EXPECT_EQ(WriteRegValueData(key_, "Binary", REG_BINARY, std::string("x")), 0);
    EXPECT_EQ(WriteRegValueData(key_, "Expand", REG_EXPAND_SZ, std::string("x")), 0);
    EXPECT_EQ(Read("Binary").first, 0u);
    EXPECT_EQ(Read("Expand").first, 0u);
}

TEST_F(RegistryKey, SetAndDeleteOpenAndCloseTheKey) {
    SetRegValue(HKEY_CURRENT_USER, path_, "Value", std::string("x"), REG_SZ);
    EXPECT_EQ(Read("Value").first, static_cast<DWORD>(REG_SZ));
    DeleteRegValue(HKEY_CURRENT_USER, path_, "Value");
    EXPECT_EQ(Read("Value").first, 0u);
    DeleteRegValue(HKEY_CURRENT_USER, path_, "Value"); // already gone: silent
}

TEST_F(RegistryKey, AMissingKeyIsNeverCreated) {
    SetRegValue(HKEY_CURRENT_USER, path_ + "\\Missing", "Value", std::string("x"), REG_SZ);
    HKEY missing = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (path_ + "\\Missing").c_str(), 0, KEY_READ, &missing), ERROR_SUCCESS);
}

// A program folder under a user name in another script is written as it is, not as "?" for each letter.
TEST_F(RegistryKey, TextOutsideTheAnsiCodePageIsWrittenIntact) {
    EXPECT_EQ(WriteRegValueData(key_, "\xe6\x97\xa5.exe", REG_SZ, std::string("C:\\\xe6\x97\xa5\xe6\x9c\xac.exe")),
              ERROR_SUCCESS);
    wchar_t data[64] = {};
    DWORD size = sizeof data;
    ASSERT_EQ(RegGetValueW(key_, nullptr, L"\u65e5.exe", RRF_RT_REG_SZ, nullptr, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(data), L"C:\\\u65e5\u672c.exe");
}

// Two test keys stand for HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER: a root whose Run key is missing cannot be
// written, as HKEY_LOCAL_MACHINE cannot without administrator rights.
class RunRootsTest : public RegistryKey {
protected:
    void SetUp() override {
        RegistryKey::SetUp();
        for (HKEY* root : {&roots_.machine, &roots_.user})
            ASSERT_EQ(RegCreateKeyExA(key_, root == &roots_.machine ? "Machine" : "User", 0, nullptr, 0, KEY_ALL_ACCESS,
                                      nullptr, root, nullptr),
                      ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(roots_.machine);
        RegCloseKey(roots_.user);
        RegDeleteTreeA(key_, nullptr);
        RegistryKey::TearDown();
    }
    void MakeRunKey(HKEY root) {
        HKEY run = nullptr;
        ASSERT_EQ(RegCreateKeyExA(root, "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &run, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(run);
    }
    // The data of the value under root's Run key, or "<none>".
    static std::string Held(HKEY root) {
        char data[256] = {};
        DWORD size = sizeof data;
        if (RegGetValueA(root, RunKeyPath, "Quillmere.exe", RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
            return "<none>";
        return data;
    }

    RunRoots roots_{nullptr, nullptr};
};

TEST_F(RunRootsTest, WithoutTheMachinesKeyTheUsersOwnIsWrittenAndMadeIfMissing) {
    EXPECT_TRUE(WriteRunValue(roots_, "Quillmere.exe", "C:\\Q\\Quillmere.exe"));
    EXPECT_EQ(Held(roots_.machine), "<none>");
    EXPECT_EQ(Held(roots_.user), "C:\\Q\\Quillmere.exe");
}

// A value the user's key got earlier, while the machine's could not be written, goes once the machine's holds it.
TEST_F(RunRootsTest, TheMachinesKeyIsPreferredAndTheUsersValueThenGoes) {
    MakeRunKey(roots_.machine);
    MakeRunKey(roots_.user);
    ASSERT_EQ(SetRegValue(roots_.user, RunKeyPath, "Quillmere.exe", std::string("C:\\Old\\Quillmere.exe"), REG_SZ),
              ERROR_SUCCESS);
    EXPECT_TRUE(WriteRunValue(roots_, "Quillmere.exe", "C:\\Q\\Quillmere.exe"));
    EXPECT_EQ(Held(roots_.machine), "C:\\Q\\Quillmere.exe");
    EXPECT_EQ(Held(roots_.user), "<none>") << "the program would start twice";
}

TEST_F(RunRootsTest, DeletingRemovesTheValueFromBothKeys) {
    MakeRunKey(roots_.machine);
    MakeRunKey(roots_.user);
    for (HKEY root : {roots_.machine, roots_.user})
        ASSERT_EQ(SetRegValue(root, RunKeyPath, "Quillmere.exe", std::string("x"), REG_SZ), ERROR_SUCCESS);
    EXPECT_TRUE(DeleteRunValue(roots_, "Quillmere.exe"));
    EXPECT_EQ(Held(roots_.machine), "<none>");
    EXPECT_EQ(Held(roots_.user), "<none>");
    EXPECT_TRUE(DeleteRunValue(roots_, "Quillmere.exe")) << "nothing left to delete is no failure";
}

// Unquoted, "C:\Program Files\Q\Quillmere.exe" may start "C:\Program.exe".
TEST(RunEntry, DataIsFolderOneBackslashAndNameInQuotes) {
    EXPECT_EQ(RunEntryData("C:\\Tools\\Sync", "Quillmere.exe"), "\"C:\\Tools\\Sync\\Quillmere.exe\"");
    EXPECT_EQ(RunEntryData("D:\\", "Quillmere.exe"), "\"D:\\Quillmere.exe\"");
    EXPECT_EQ(RunEntryData("C:\\Program Files\\Q", "Quillmere.exe"), "\"C:\\Program Files\\Q\\Quillmere.exe\"");
}

TEST(RunEntry, ProgramFolderHoldsTheRunningProgram) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_TRUE(platform::CanOpenExistingFile(folder + "\\windows_tests.exe"));
}

TEST(RunEntry, WrittenUnderTheMachinesRunKeyAndDeleted) {
    const std::string name = "QuillmereTest" + std::to_string(GetCurrentProcessId()) + ".exe";
    AddRunEntry(name);
    char data[1024] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, RunKeyPath, name.c_str(), RRF_RT_ANY, &type, data, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(data), "\"" + ProgramFolder() + "\\" + name + "\"");
    RemoveRunEntry(name);
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, RunKeyPath, name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
}

// Another program that sorts first in the same folder (a portable copy unzipped into Downloads) is not the one
// that starts at logon.
TEST(ProgramFile, IsTheRunningProgramWhateverElseItsFolderHolds) {
    EXPECT_EQ(ProgramFileName(), "windows_tests.exe");
    const std::string first = ProgramFolder() + "\\0-sorts-first.exe";
    testing::WriteText(first, "x");
    AddToStartup();
    DeleteFileA(first.c_str());
    char data[1024] = {};
    DWORD size = sizeof data;
    const LONG machine =
        RegGetValueA(HKEY_LOCAL_MACHINE, RunKeyPath, "windows_tests.exe", RRF_RT_REG_SZ, nullptr, data, &size);
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, RunKeyPath, "0-sorts-first.exe", RRF_RT_ANY, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    RemoveFromStartup();
    ASSERT_EQ(machine, ERROR_SUCCESS);
    EXPECT_EQ(std::string(data), "\"" + ProgramFolder() + "\\windows_tests.exe\"");
}

} // namespace
} // namespace quillmere::startup
