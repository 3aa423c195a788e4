// The clock drift, frame integration and pixel saturation dialogs driven through their
// widgets; graph restarts are recorded with the request they would build from.
#include "filter/AnalysisFlags.h"
#include "filter/ui/FrameIntegrationDialog.h"
#include "filter/ui/MeasureClockDriftDialog.h"
#include "filter/ui/PixelSaturationDialog.h"
#include "options/OptionsFile.h"
#include "recording/AppState.h"
#include "ui/MenuCommands.h"

#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/WidgetDriving.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class AnalysisDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TheAppState() = AppState{};
        Options() = AppOptions{};
        LiveSaturationThreshold().store(-1);
    }

    std::function<void()> RecordRestarts()
    {
        return [this] {
            const RequestedAnalysis& a = TheAppState().Analysis;
            m_restarts << QStringLiteral("frames %1 histogram %2").arg(a.integrationFrames).arg(a.showHistogram);
        };
    }

    // Types each entry and presses the button; the box must show the nearer limit and
    // the log the complaint and the note.
    void ExpectCorrections(QDialog& d, const QString& button, const QString& complaint, const QString& note,
                           std::initializer_list<std::pair<const char*, const char*>> cases)
    {
        for (const auto& [typed, corrected] : cases) {
            m_log.ClearMessages();
            Type(d.findChild<QLineEdit*>(), typed);
            Click(ByText(d, button));
            EXPECT_TRUE(d.isVisible()) << typed;
            EXPECT_EQ(d.findChild<QLineEdit*>()->text(), QLatin1String(corrected)) << typed;
            EXPECT_EQ(m_log.Messages(), "\n12:00:00 (UTC)\n" + complaint + "\n" + note.arg(QLatin1String(corrected)) + "\n")
                << typed;
        }
    }

    ScopedLogAndClock m_log{CalendarTime{2024, 3, 0, 10, 12, 0, 0, 0}};
    QStringList m_restarts;
};

using MeasureClockDriftDialogTest = AnalysisDialogTest;
using FrameIntegrationDialogTest = AnalysisDialogTest;
using PixelSaturationDialogTest = AnalysisDialogTest;

TEST_F(MeasureClockDriftDialogTest, MinutesOutsideThreeToSixtyAreCorrectedAndValidOnesRequested)
{
    MeasureClockDriftDialog d;
    d.open();
    auto* edit = d.findChild<QLineEdit*>();
    EXPECT_EQ(edit->text(), QStringLiteral("10"));
    Type(edit, "123");
    EXPECT_EQ(edit->text(), QStringLiteral("12")) << "two characters kept";
    ExpectCorrections(d, QStringLiteral("OK"), QStringLiteral("Entered minutes must be from 3 to 60."),
                      QStringLiteral("Minutes set to %1.  Select OK if you wish to continue."),
                      {{"61", "60"}, {"-1", "60"}, {"2", "3"}, {"", "3"}, {"x", "3"}});
    EXPECT_EQ(TheAppState().Analysis.driftMinutes, 0u);

    Type(edit, "60");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(d.isVisible()) << "Enter while typing is not OK";
    Click(ByText(d, QStringLiteral(" Camera attached to VELA VTI")));
    Click(ByText(d, QStringLiteral("OK")));
    EXPECT_EQ(d.result(), 1);
    EXPECT_EQ(TheAppState().Analysis.driftMinutes, 60u);
    EXPECT_TRUE(TheAppState().Analysis.cameraAttached);
    EXPECT_FALSE(TheAppState().Analysis.tvSafeMode);
}

TEST_F(FrameIntegrationDialogTest, CountsAreCorrectedEveryStartRebuildsAndLeavingSwitchesItOff)
{
    TheAppState().Analysis.integrationFrames = 7;
    FrameIntegrationDialog d(RecordRestarts());
    d.open();
    EXPECT_EQ(TheAppState().Analysis.integrationFrames, 1u);
    ExpectCorrections(d, QStringLiteral("Start"), QStringLiteral("Entered frame count must be from 2 to 30."),
                      QStringLiteral("Frame count set to %1.  Select Baseline Frame button again if you wish to continue."),
                      {{"31", "30"}, {"1", "2"}, {"", "2"}});
    EXPECT_TRUE(m_restarts.isEmpty());

    auto* edit = d.findChild<QLineEdit*>();
    Type(edit, "5");
    Click(ByText(d, QStringLiteral("Start")));
    QAbstractButton* histogram = ByText(d, QStringLiteral("Show histogram in User Messages"));
    Click(histogram);
    Type(edit, "30");
    Click(ByText(d, QStringLiteral("Start")));
    Click(histogram); // cleared: the flag stays on while the dialog is open
    Click(ByText(d, QStringLiteral("Start")));
    EXPECT_EQ(m_restarts, (QStringList{"frames 5 histogram 0", "frames 30 histogram 1", "frames 30 histogram 1"}));
    d.close();
    EXPECT_EQ(d.result(), 1);
    EXPECT_EQ(TheAppState().Analysis.integrationFrames, 1u);

    FrameIntegrationDialog unused(RecordRestarts());
    unused.open();
    Click(ByText(unused, QStringLiteral("Exit")));
    EXPECT_EQ(unused.result(), 2);
}

TEST_F(PixelSaturationDialogTest, MarkingOffOpensAt255AndKeysMoveTheThresholdLikeTheMouse)
{
    PixelSaturationDialog d(RecordRestarts());
    d.open();
    EXPECT_EQ(m_restarts.size(), 1) << "marking shows at once";
    EXPECT_EQ(LiveSaturationThreshold().load(), 255);
    EXPECT_FALSE(ByText(d, QStringLiteral("Use pixel saturation value as default"))->isChecked());
    auto* slider = d.findChild<QSlider*>();
    QTest::keyClick(slider, Qt::Key_PageDown);
    EXPECT_LT(slider->value(), 255);
    EXPECT_EQ(TheAppState().Analysis.saturationThreshold, slider->value()) << "what the slider shows is in effect";
    EXPECT_EQ(LiveSaturationThreshold().load(), slider->value());

    Click(ByText(d, QStringLiteral("Remove pixel saturation checking")));
    Click(ByText(d, QStringLiteral("Save")));
    EXPECT_EQ(d.result(), 1);
    EXPECT_EQ(TheAppState().Analysis.saturationThreshold, -1);
    EXPECT_EQ(LiveSaturationThreshold().load(), -1);
    EXPECT_EQ(Options().SaturationDefault, -1);
}

// The menu command writes the options file directly after a 1: it must hold the
// dragged threshold that became the default.
TEST_F(PixelSaturationDialogTest, SavedDefaultReachesTheOptionsFile)
{
    ScopedProcessDirectory dir;
    TheAppState().Analysis.saturationThreshold = 200;
    Options().SaturationDefault = 200;
    CommandSteps steps;
    steps.SaveOptionsFile = [] { SaveOptionsFile(Options()); };
    steps.RestartGraph = RecordRestarts();
    steps.RunDialog = [this](MenuDialog) {
        PixelSaturationDialog d(RecordRestarts());
        QTimer::singleShot(0, &d, [&d] {
            auto* slider = d.findChild<QSlider*>();
            slider->setSliderDown(true);
            slider->setSliderPosition(77);
            slider->setSliderDown(false);
            Click(ByText(d, QStringLiteral("Save")));
        });
        return d.exec();
    };
    ASSERT_TRUE(RunDialogCommand(MenuCommand::PixelSaturation, steps));
    EXPECT_EQ(Options().SaturationDefault, 77);
    EXPECT_TRUE(ReadFileBytes(dir.FilePath(QLatin1String(kOptionsFileName))).contains("<PixelSaturationValue Value=\"77\"/>"));
}

} // namespace
