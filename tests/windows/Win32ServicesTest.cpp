// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows implementations of what the window logic asks of the world: the registry settings store, the UI
// thread's posted work, the look files and the window's layout.
#include "platform/windows/WideText.h"
#include "tests/windows/Win32Form1Fixture.h"
#include "ui/win32/Win32Form1Design.h"
#include "ui/win32/Win32Look.h"
#include "ui/win32/Win32System.h"

#include <regex>
#include <thread>

namespace quillmere::test {
namespace {

using RegistryStoreTest = RegistrySettingsFixture;

TEST_F(RegistryStoreTest, TheRunTimesPlaceForTheProgramsSettings) {
    EXPECT_EQ(win32::RegistrySettingsStore::DefaultKeyPath(),
              L"Software\\VB and VBA Program Settings\\Harnvale\\Quillmere");
}

TEST_F(RegistryStoreTest, TextValuesRoundTripAsRegSz) {
    EXPECT_EQ(settings_.Read("Folder 1"), std::nullopt);
    settings_.Write("Folder 1", "C:\\B\xc3\xbc"
                                "cher\\");
    EXPECT_EQ(settings_.Read("Folder 1"), "C:\\B\xc3\xbc"
                                          "cher\\");
    settings_.Write("Folder 1", "");
    EXPECT_EQ(settings_.Read("Folder 1"), "");
    DWORD type = 0;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, keyPath_.c_str(), L"Folder 1", RRF_RT_ANY, &type, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

TEST_F(RegistryStoreTest, AValueThatIsNoTextReadsAsNone) {
    settings_.Write("Minimized", "On"); // makes the key
    const DWORD number = 1;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, keyPath_.c_str(), L"OftenIndex", REG_DWORD, &number, sizeof number),
              ERROR_SUCCESS);
    EXPECT_EQ(settings_.Read("OftenIndex"), std::nullopt);
}

TEST_F(RegistryStoreTest, AStoreThatCannotBeWrittenSaysSo) {
    HKEY closed = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &closed), ERROR_SUCCESS);
    RegCloseKey(closed);
    win32::RegistrySettingsStore store(closed, L"Quillmere");
    EXPECT_THROW(store.Write("Minimized", "Off"), std::runtime_error);
}

TEST(Win32UiThreadTest, WorkPostedFromAnotherThreadRunsOnThisOneInOrder) {
    win32::Win32UiThread ui;
    std::vector<std::pair<int, std::thread::id>> ran;
    std::thread poster([&] {
        for (int i = 0; i < 3; ++i)
            ui.Post([&ran, i] { ran.emplace_back(i, std::this_thread::get_id()); });
    });
    poster.join();
    ui.ProcessPendingEvents();
    ASSERT_EQ(ran.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ran[i], std::make_pair(i, std::this_thread::get_id()));
}

// The completion time of a pass shows its seconds, as the long time format has them.
TEST(Win32SystemTest, TheGeneralDateHasTheShortDateAndTheSeconds) {
    const SYSTEMTIME when{2026, 12, 2, 8, 10, 20, 7, 0};
    const std::string text = win32::GeneralDateText(when);
    EXPECT_NE(text.find("26"), std::string::npos) << text;
    EXPECT_TRUE(std::regex_search(text, std::regex("20[^0-9]07"))) << text;
}

// The build's own cursor file, where the test program finds it (Wine shows the Linux root as drive Z:).
std::string TestCursorFile() {
    std::string path = QUILLMERE_TEST_CURSOR;
    if (path.starts_with('/'))
        path = "Z:" + path;
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return path;
}

TEST(Win32LookTest, TheHandCursorComesFromItsFileWhenThereIsOne) {
    testing::WindowsTestFolder folder;
    EXPECT_EQ(win32::LoadHandCursor(folder.path()), nullptr);
    ASSERT_TRUE(CopyFileW(platform::windows::ToWide(TestCursorFile())->c_str(),
                          win32::InFolder(folder.path(), L"HAND-M.CUR").c_str(), FALSE));
    EXPECT_NE(win32::LoadHandCursor(folder.path()), nullptr);
    testing::WriteText(folder / "HAND-M.CUR", "no cursor");
    EXPECT_THROW(win32::LoadHandCursor(folder.path()), std::runtime_error);
}

TEST(Win32LookTest, OnlyASkinFileCountsNotAFolderOfItsName) {
    testing::WindowsTestFolder folder;
    testing::MakeFolder(folder / "x");
    EXPECT_FALSE(win32::SkinPresent(folder.path()));
    testing::MakeFolder(folder / "x\\o.cjs");
    EXPECT_FALSE(win32::SkinPresent(folder.path()));
}

// The layout keeps every control inside the window, apart from the others but for a frame and what it holds,
// and scales with the screen.
TEST(Win32LayoutTest, ControlsLieApartInsideTheWindowAtEveryScale) {
    using win32::Control;
    const auto inside = [](const RECT& inner, const RECT& outer) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    };
    const auto overlap = [](const RECT& a, const RECT& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    };
    const auto frameOf = [](Control control) -> std::optional<Control> {
        switch (control) {
        case Control::Option1:
        case Control::Option2:
        case Control::Option3:
        case Control::Check11:
        case Control::Check12:
            return Control::Frame1;
        case Control::ProgressBar1:
        case Control::PushButton14:
        case Control::Label1:
            return Control::Frame2;
        case Control::Check9:
        case Control::Check10:
            return Control::Frame3;
        default:
            return std::nullopt;
        }
    };
    for (int dpi : {96, 144, 192}) {
        const win32::Metrics metrics{dpi, MulDiv(17, dpi, 96), MulDiv(20, dpi, 96), MulDiv(16, dpi, 96)};
        const win32::Layout layout = win32::LayOut(metrics);
        const RECT client{0, 0, layout.client.cx, layout.client.cy};
        for (std::size_t i = 0; i < win32::kControlCount; ++i) {
            const auto control = static_cast<Control>(i);
            const RECT& place = layout.places[i];
            EXPECT_TRUE(inside(place, client)) << win32::DesignOf(control).name << " at " << dpi;
            if (const auto frame = frameOf(control)) {
                EXPECT_TRUE(inside(place, layout.places[static_cast<std::size_t>(*frame)]))
                    << win32::DesignOf(control).name;
            }
            for (std::size_t j = i + 1; j < win32::kControlCount; ++j) {
                const auto other = static_cast<Control>(j);
                if (frameOf(other) != control) {
                    EXPECT_FALSE(overlap(place, layout.places[j]))
                        << win32::DesignOf(control).name << " and " << win32::DesignOf(other).name << " at " << dpi;
                }
            }
        }
        const RECT& intervals = layout.places[static_cast<std::size_t>(Control::ListView3)];
        EXPECT_GE(intervals.bottom - intervals.top, metrics.listHeaderHeight + 15 * metrics.listRowHeight)
            << "every interval shows";
        EXPECT_GE(intervals.right - intervals.left, MulDiv(7000, dpi, 1440)) << "the column fits";
    }
}

} // namespace
} // namespace quillmere::test
