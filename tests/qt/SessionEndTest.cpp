// SPDX-License-Identifier: GPL-3.0-or-later
// The signals with which a session ends a program close the window, so the folders are saved and the icon leaves
// the tray before the process exits.
#include "QtForm1Fixture.h"

#include "platform/StopSignals.h"
#include "ui/qt/SessionEnd.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <cstring>

namespace quillmere::test {
namespace {

class SessionEndTest : public QtForm1Fixture, public ::testing::WithParamInterface<int> {};

TEST_P(SessionEndTest, TheSignalRunsTheCloseRequest) {
    Store("Folder 1", "/one/");
    Store("Minimized", "On"); // hidden in the tray: no window for the user to close
    Load();
    chooser_.answers = {"/two"};
    window_->PushButton1->click();
    QSignalSpy unloaded(window_.get(), &qt::QtForm1::Unloaded);
    {
        qt::SessionEnd end(*window_);
        ASSERT_EQ(std::raise(GetParam()), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return unloaded.size() == 1; }));
    }
    EXPECT_EQ(Stored("Folder 1"), "/one/");
    EXPECT_EQ(Stored("Folder 2"), "/two/");
    EXPECT_FALSE(IconInTray());
}

TEST_P(SessionEndTest, ASignalIgnoredFromTheStartStaysIgnored) {
    Load();
    QSignalSpy unloaded(window_.get(), &qt::QtForm1::Unloaded);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction before {};
    ASSERT_EQ(sigaction(GetParam(), &ignore, &before), 0);
    struct sigaction during {};
    {
        qt::SessionEnd end(*window_);
        sigaction(GetParam(), nullptr, &during);
        ASSERT_EQ(std::raise(GetParam()), 0);
        QCoreApplication::processEvents();
    }
    sigaction(GetParam(), &before, nullptr);
    EXPECT_EQ(during.sa_handler, SIG_IGN);
    EXPECT_EQ(unloaded.size(), 0);
}

std::string SignalName(const ::testing::TestParamInfo<int>& info) {
    return std::string("SIG") + sigabbrev_np(info.param);
}

INSTANTIATE_TEST_SUITE_P(Signals, SessionEndTest, ::testing::ValuesIn(platform::StopSignalNumbers()), SignalName);

} // namespace
} // namespace quillmere::test
