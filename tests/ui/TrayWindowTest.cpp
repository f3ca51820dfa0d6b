// SPDX-License-Identifier: GPL-3.0-or-later
// Minimizing hides the window to the tray (with the notice once a run), a release on the tray icon brings it
// back, and the two start-up boxes store their choices and govern each other.
#include "Form1Fixture.h"

#include "tests/tray/FakeTrayBackend.h"
#include "tray/TrayMessages.h"
#include "tray/cSysTray.h"

#include <QCheckBox>
#include <QDir>
#include <QTest>

namespace quillmere::test {
namespace {

const QString kNotice = "balloon title=Quillmere text=has been minimized to the system tray.\r\nClick on the blue "
                        "'H' icon (H for Harnvale) to bring the software back. timeout=5000";

class TrayWindowTest : public Form1Fixture {
protected:
    void SetUp() override {
        Load();
        form_->ShowAfterLoad();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    }
    void Minimize() {
        form_->setWindowState(form_->windowState() | Qt::WindowMinimized);
        QTRY_VERIFY(form_->MinimizedToTray);
    }
    void Click(int release) { form_->cSysTray1->HandleTrayMessage(release, 0); }
    void ExpectShownNormally() {
        EXPECT_TRUE(form_->isVisible());
        EXPECT_FALSE(form_->isMinimized());
        EXPECT_FALSE(form_->MinimizedToTray);
    }
};

// A window on a desktop without a notification area.
class NoTrayWindowTest : public SettingsFixture {
protected:
    Form1& Load() {
        auto tray = std::make_unique<tray::testing::FakeTrayBackend>(log_);
        tray->available = false;
        Form1Services services = ServicesForTest(chooser_, boxes_, runner_, {});
        services.tray = std::move(tray);
        form_ = std::make_unique<Form1>(std::move(services));
        form_->Form_Load();
        form_->Timer1.blockSignals(true);
        return *form_;
    }

    ScriptedChooser chooser_;
    RecordingBoxes boxes_;
    ManualRunner runner_;
    std::shared_ptr<QStringList> log_ = std::make_shared<QStringList>();
    std::unique_ptr<Form1> form_;
};

TEST_F(TrayWindowTest, MinimizingHidesTheWindowAndTellsWhereItWentOnceARun) {
    EXPECT_TRUE(IconInTray());
    Minimize();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_TRUE(IconInTray());
    EXPECT_EQ(Tray().count(kNotice), 1);

    Click(tray::messages::kLeftButtonUp);
    ExpectShownNormally();

    Minimize();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(Tray().filter("balloon").size(), 1) << "the second hiding is silent";
    EXPECT_TRUE(Reports().isEmpty());
}

// No icon could bring a hidden window back: it stays minimized where the desktop keeps it.
TEST_F(NoTrayWindowTest, MinimizingLeavesTheWindowWithTheDesktop) {
    Form1& form = Load();
    form.ShowAfterLoad();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isMinimized());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.MinimizedToTray);
    EXPECT_TRUE(log_->filter("balloon").isEmpty());
}

TEST_F(NoTrayWindowTest, AStartInTheTrayStartsMinimized) {
    Store("Minimized", "On");
    Form1& form = Load();
    form.ShowAfterLoad();
    EXPECT_TRUE(form.Check9->isChecked());
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.isMinimized());
    EXPECT_FALSE(form.MinimizedToTray);
}

TEST_F(TrayWindowTest, EitherButtonsReleaseBringsTheWindowBackButNoOtherMessage) {
    Minimize();
    for (int other : {tray::messages::kMouseMove, tray::messages::kLeftButtonDown, tray::messages::kRightButtonDown,
                      tray::messages::kLeftButtonDoubleClick, tray::messages::kMiddleButtonUp}) {
        Click(other);
        EXPECT_FALSE(form_->isVisible()) << other;
    }
    Click(tray::messages::kRightButtonUp);
    ExpectShownNormally();
    Click(tray::messages::kLeftButtonUp); // a release while shown changes nothing
    ExpectShownNormally();
}

TEST_F(TrayWindowTest, StartInTheTrayStoresItsChoice) {
    form_->Check9->click();
    EXPECT_EQ(Stored("Minimized"), "On");
    form_->Check9->click();
    EXPECT_EQ(Stored("Minimized"), "Off");
}

TEST_F(TrayWindowTest, StartingWithTheSystemWritesTheEntryAndUntickingItClearsTheTrayChoice) {
    form_->Check10->click();
    EXPECT_EQ(Stored("Windows Startup"), "On");
    EXPECT_EQ(AutostartEntries(), QStringList{"system/autostart/ui_tests.desktop"});
    EXPECT_TRUE(form_->Check9->isVisible());
    form_->Check9->click();

    form_->Check10->click();
    EXPECT_FALSE(form_->Check9->isChecked());
    EXPECT_FALSE(form_->Check9->isVisible());
    EXPECT_EQ(Stored("Minimized"), "Off");
    EXPECT_EQ(Stored("Windows Startup"), "Off");
    EXPECT_TRUE(AutostartEntries().isEmpty());

    form_->Check10->click();
    EXPECT_TRUE(form_->Check9->isVisible());
    EXPECT_FALSE(form_->Check9->isChecked());
    EXPECT_TRUE(Reports().isEmpty());
}

TEST_F(TrayWindowTest, AStoreThatCannotBeWrittenIsReportedAndTheBoxesGoOn) {
    ASSERT_TRUE(QDir().mkpath(StoreFile())); // a folder where the file should be
    form_->Check10->click();
    form_->Check9->click();
    ASSERT_EQ(Reports().size(), 2);
    EXPECT_TRUE(Reports()[0].contains("in Quillmere2021/08/31.Form1.Check10_Click at line 106"));
    EXPECT_TRUE(Reports()[1].contains("in Quillmere2021/08/31.Form1.Check9_Click at line 0"));
    EXPECT_TRUE(form_->Check9->isChecked());
    EXPECT_EQ(AutostartEntries().size(), 1) << "the entry is written all the same";
}

} // namespace
} // namespace quillmere::test
