// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/AutostartEntry.h"
#include "startup/mStartUp.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <unistd.h>

namespace quillmere::startup {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ExecLine(const fs::path& program) {
    const std::string text = DesktopEntryText(program);
    const auto start = text.find("Exec=");
    return text.substr(start, text.find('\n', start) - start);
}

class AutostartTest : public ::testing::Test {
protected:
    void SetUp() override {
        folders = {root / "etc/xdg/autostart", root / "home/.config/autostart"};
        fs::create_directories(folders.system);
    }
    // Files left in a folder, temporaries included.
    static std::vector<std::string> Names(const fs::path& folder) {
        std::vector<std::string> names;
        if (fs::is_directory(folder))
            for (const auto& entry : fs::directory_iterator(folder))
                names.push_back(entry.path().filename().string());
        return names;
    }
    // Why work cannot run with an ordinary user's rights here (as "nobody", when the test runs as root, who must
    // be able to reach the test's folder); no value when it can. Call it first in a test using AsOrdinaryUser.
    std::optional<std::string> CannotActAsOrdinaryUser() {
        if (::geteuid() != 0)
            return std::nullopt;
        fs::permissions(root, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        return test::CannotRunAsNobodyIn(root.string());
    }
    // Runs work with an ordinary user's rights. The user's home is theirs to write, the machine-wide folder is not.
    std::optional<std::string> AsOrdinaryUser(const std::function<std::string()>& work) {
        if (::geteuid() != 0)
            return work();
        fs::create_directories(root / "home");
        fs::permissions(root / "home", fs::perms::all);
        return test::RunAsNobody(work);
    }

    test::TempDir temp;
    fs::path root = temp.Path();
    AutostartFolders folders;
    const fs::path program = "/usr/bin/quillmere";
};

TEST(DesktopEntryTest, ExactContent) {
    EXPECT_EQ(DesktopEntryText("/usr/bin/quillmere"), "[Desktop Entry]\n"
                                                      "Type=Application\n"
                                                      "Name=Quillmere\n"
                                                      "Comment=Keeps two folders in step\n"
                                                      "Icon=quillmere\n"
                                                      "Exec=/usr/bin/quillmere\n"
                                                      "Terminal=false\n");
    EXPECT_EQ(EntryFileName("/usr/bin/quillmere"), "quillmere.desktop");
}

TEST(DesktopEntryTest, ExecQuotesPathsWithBlanksAndReservedCharacters) {
    EXPECT_EQ(ExecLine("/opt/My Tools/quillmere"), "Exec=\"/opt/My Tools/quillmere\"");
    EXPECT_EQ(ExecLine("/opt/a'b;c&d/q"), "Exec=\"/opt/a'b;c&d/q\"");
    // Inside quotes " ` $ \ take a backslash; every backslash is then doubled as a string value.
    EXPECT_EQ(ExecLine("/opt/a\"b`c$d/q"), "Exec=\"/opt/a\\\\\"b\\\\`c\\\\$d/q\"");
    EXPECT_EQ(ExecLine("/opt/back\\slash/q"), "Exec=\"/opt/back\\\\\\\\slash/q\"");
    EXPECT_EQ(ExecLine("/opt/100%/q"), "Exec=/opt/100%%/q");
    EXPECT_EQ(ExecLine("/opt/new\nline/q"), "Exec=\"/opt/new\\nline/q\"");
}

TEST_F(AutostartTest, EntryValidatesWithTheDesktopTools) {
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "desktop-file-validate is not installed";
    for (const fs::path path : {"/usr/bin/quillmere", "/opt/My Tools/$HOME \"x\"/quillmere"}) {
        const auto written = WriteAutostartEntry(path, folders);
        ASSERT_TRUE(written.has_value());
        const std::string command = "desktop-file-validate '" + written->string() + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << Read(*written);
    }
}

TEST_F(AutostartTest, WritesMachineWideWhenPermitted) {
    EXPECT_EQ(WriteAutostartEntry(program, folders), folders.system / "quillmere.desktop");
    EXPECT_EQ(Read(folders.system / "quillmere.desktop"), DesktopEntryText(program));
    EXPECT_EQ(fs::status(folders.system / "quillmere.desktop").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(Names(folders.system), std::vector<std::string>{"quillmere.desktop"}) << "no temporary left";
    EXPECT_FALSE(fs::exists(folders.user));
}

TEST_F(AutostartTest, FallsBackToTheUserFolderWhenTheSystemOneCannotBeWritten) {
    fs::remove(folders.system);
    std::ofstream(folders.system) << "a file where the folder should be";
    EXPECT_EQ(WriteAutostartEntry(program, folders), folders.user / "quillmere.desktop");
    EXPECT_EQ(Read(folders.user / "quillmere.desktop"), DesktopEntryText(program));

    folders.system = root / "missing/autostart";
    EXPECT_EQ(WriteAutostartEntry(program, folders), folders.user / "quillmere.desktop");
    EXPECT_FALSE(fs::exists(folders.system)) << "the machine-wide folder is not the program's to create";
}

TEST_F(AutostartTest, OrdinaryUserGetsTheirOwnEntry) {
    if (const auto reason = CannotActAsOrdinaryUser())
        GTEST_SKIP() << *reason;
    fs::permissions(folders.system, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const auto written = AsOrdinaryUser([&] { return WriteAutostartEntry(program, folders).value_or("").string(); });
    EXPECT_EQ(written, (folders.user / "quillmere.desktop").string());
    EXPECT_EQ(Read(folders.user / "quillmere.desktop"), DesktopEntryText(program));
    EXPECT_TRUE(Names(folders.system).empty());
}

TEST_F(AutostartTest, NowhereToWriteIsAFailure) {
    folders.system = root / "missing/autostart";
    std::ofstream(root / "home") << "a file where the home folder should be";
    EXPECT_EQ(WriteAutostartEntry(program, folders), std::nullopt);
}

TEST_F(AutostartTest, MachineWideEntryReplacesAUserOne) {
    fs::create_directories(folders.user);
    std::ofstream(folders.user / "quillmere.desktop") << "[Desktop Entry]\nHidden=true\n";
    EXPECT_EQ(WriteAutostartEntry(program, folders), folders.system / "quillmere.desktop");
    EXPECT_FALSE(fs::exists(folders.user / "quillmere.desktop"));
}

TEST_F(AutostartTest, RemoveTakesAwayWhicheverExists) {
    WriteAutostartEntry(program, folders);
    EXPECT_TRUE(RemoveAutostartEntry(program, folders));
    EXPECT_TRUE(Names(folders.system).empty());

    fs::create_directories(folders.user);
    std::ofstream(folders.user / "quillmere.desktop") << DesktopEntryText(program);
    EXPECT_TRUE(RemoveAutostartEntry(program, folders));
    EXPECT_TRUE(Names(folders.user).empty());

    EXPECT_TRUE(RemoveAutostartEntry(program, folders)) << "nothing to remove is no failure";
}

TEST_F(AutostartTest, MachineWideEntryTheUserCannotRemoveIsHiddenForTheUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make a machine-wide entry an ordinary user may not remove";
    if (const auto reason = CannotActAsOrdinaryUser())
        GTEST_SKIP() << *reason;
    WriteAutostartEntry(program, folders);
    fs::permissions(folders.system, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const auto removed =
        AsOrdinaryUser([&] { return std::string(RemoveAutostartEntry(program, folders) ? "yes" : "no"); });
    EXPECT_EQ(removed, "yes");
    EXPECT_TRUE(fs::exists(folders.system / "quillmere.desktop"));
    EXPECT_EQ(Read(folders.user / "quillmere.desktop"),
              "[Desktop Entry]\nType=Application\nName=Quillmere\nHidden=true\n");
}

TEST_F(AutostartTest, ProgramRegistersItselfByItsOwnFile) {
    ::setenv("XDG_CONFIG_DIRS", ("relative/ignored:" + (root / "etc/xdg").string() + ":/etc/xdg").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root / "home/.config").c_str(), 1);
    EXPECT_EQ(DefaultAutostartFolders().system, folders.system);
    EXPECT_EQ(DefaultAutostartFolders().user, folders.user);

    const auto self = RunningProgramFile();
    ASSERT_TRUE(self.has_value());
    EXPECT_EQ(self->filename(), "startup_tests");
    AddToStartup();
    EXPECT_EQ(Read(folders.system / "startup_tests.desktop"), DesktopEntryText(*self));
    RemoveFromStartup();
    EXPECT_FALSE(fs::exists(folders.system / "startup_tests.desktop"));
}

TEST_F(AutostartTest, AProgramFileReplacedWhileRunningIsNamedByItsPath) {
    std::ofstream(root / "quillmere (deleted)") << "a file really named so";
    EXPECT_EQ(ProgramFileFromLink("/usr/bin/quillmere (deleted)"), "/usr/bin/quillmere");
    EXPECT_EQ(ProgramFileFromLink(root / "quillmere (deleted)"), root / "quillmere (deleted)");
}

TEST(AutostartFoldersTest, DefaultsFollowTheXdgBaseDirectories) {
    ::unsetenv("XDG_CONFIG_DIRS");
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(DefaultAutostartFolders().system, "/etc/xdg/autostart");
    EXPECT_EQ(DefaultAutostartFolders().user, "/home/someone/.config/autostart");
}

} // namespace
} // namespace quillmere::startup
