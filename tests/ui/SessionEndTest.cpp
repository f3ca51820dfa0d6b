// SPDX-License-Identifier: GPL-3.0-or-later
// The signals with which a session ends a program close the window, so the folders are saved and the icon leaves
// the tray before the process exits.
#include "Form1Fixture.h"

#include "ui/main/SessionEnd.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

namespace quillmere::test {
namespace {

class SessionEndTest : public Form1Fixture, public ::testing::WithParamInterface<int> {};

TEST_P(SessionEndTest, TheSignalRunsTheCloseRequest) {
    Store("Folder 1", "/one/");
    Store("Minimized", "On"); // hidden in the tray: no window for the user to close
    Load();
    chooser_.answers = {"/two"};
    form_->PushButton1_Click();
    QSignalSpy unloaded(form_.get(), &Form1::Unloaded);
    {
        SessionEnd end(*form_);
        ASSERT_EQ(std::raise(GetParam()), 0);
        QTRY_COMPARE(unloaded.size(), 1);
    }
    EXPECT_EQ(Stored("Folder 1"), "/one/");
    EXPECT_EQ(Stored("Folder 2"), "/two/");
    EXPECT_FALSE(IconInTray());
}

TEST_P(SessionEndTest, ASignalIgnoredFromTheStartStaysIgnored) {
    Load();
    QSignalSpy unloaded(form_.get(), &Form1::Unloaded);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction before {};
    ASSERT_EQ(sigaction(GetParam(), &ignore, &before), 0);
    struct sigaction during {};
    {
        SessionEnd end(*form_);
        sigaction(GetParam(), nullptr, &during);
        ASSERT_EQ(std::raise(GetParam()), 0);
        QCoreApplication::processEvents();
    }
    sigaction(GetParam(), &before, nullptr);
    EXPECT_EQ(during.sa_handler, SIG_IGN);
    EXPECT_EQ(unloaded.size(), 0);
}

std::string SignalName(const ::testing::TestParamInfo<int>& info) {
    switch (info.param) {
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "SIGINT";
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, SessionEndTest, ::testing::ValuesIn(SessionEnd::kSignals), SignalName);

} // namespace
} // namespace quillmere::test
