#include "common/Clock.h"
#include "filter/FramePipeline.h"
#include "filter/ui/FrameIntegrationDialog.h"
#include "filter/ui/MeasureClockDriftDialog.h"
#include "filter/ui/PixelSaturationDialog.h"
#include "messages/UserMessageLog.h"
#include "options/OptionsFile.h"
#include "ui/MenuCommands.h"

#include "support/TempDir.h"
#include "support/WidgetDriving.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class AnalysisDialogTest : public ::testing::Test {
protected:
    AnalysisDialogTest() { m_log.SetEchoToStderr(false); }

    std::function<void()> RecordRestarts()
    {
        return [this] {
            m_restarts << QStringLiteral("frames %1 histogram %2").arg(m_request.integrationFrames).arg(m_request.showHistogram);
        };
    }

    // Types each entry and presses the button; the box must show the nearer limit and
    // the log the complaint and the note.
    void ExpectCorrections(QDialog& d, const QString& button, const QString& complaint, const QString& note,
                           std::initializer_list<std::pair<const char*, const char*>> cases)
    {
        for (const auto& [typed, corrected] : cases) {
            m_log.Clear();
            Type(d.findChild<QLineEdit*>(), typed);
            Click(ByText(d, button));
            EXPECT_TRUE(d.isVisible()) << typed;
            EXPECT_EQ(d.findChild<QLineEdit*>()->text(), QLatin1String(corrected)) << typed;
            EXPECT_EQ(m_log.Text(), "\n12:00:00 (UTC)\n" + complaint + "\n" + note.arg(QLatin1String(corrected)) + "\n")
                << typed;
        }
    }

    const ManualClock m_clock{CalendarTime{2024, 3, 0, 10, 12, 0, 0, 0}};
    UserMessageLog m_log{m_clock};
    const CharacterSetList m_sets;
    FramePipeline m_pipeline{m_sets, m_log, m_clock};
    RequestedAnalysis m_request;
    AppOptions m_options;
    QStringList m_restarts;
};

} // namespace

TEST_F(AnalysisDialogTest, DriftMinutesOutsideThreeToSixtyAreCorrectedAndValidOnesRequested)
{
    MeasureClockDriftDialog d(m_request, m_log);
    d.open();
    ExpectCorrections(d, QStringLiteral("OK"), QStringLiteral("Entered minutes must be from 3 to 60."),
                      QStringLiteral("Minutes set to %1.  Select OK if you wish to continue."),
                      {{"61", "60"}, {"-1", "60"}, {"2", "3"}, {"", "3"}, {"x", "3"}});
    EXPECT_EQ(m_request.driftMinutes, 0u);
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("correctedMinutes"))->text(),
              QStringLiteral("Minutes set to 3: select OK to measure for 3 minutes."));

    Type(d.findChild<QLineEdit*>(), "60");
    Click(ByText(d, QStringLiteral(" Camera attached to VELA VTI")));
    Click(ByText(d, QStringLiteral("OK")));
    EXPECT_EQ(std::tuple(d.result(), m_request.driftMinutes, m_request.cameraAttached, m_request.tvSafeMode),
              std::tuple(1, 60u, true, false));
}

TEST_F(AnalysisDialogTest, IntegrationCountsAreCorrectedEveryStartRebuildsAndLeavingSwitchesItOff)
{
    m_request.integrationFrames = 7;
    FrameIntegrationDialog d(m_request, m_log, RecordRestarts());
    d.open();
    EXPECT_EQ(m_request.integrationFrames, 1u);
    ExpectCorrections(d, QStringLiteral("Start"), QStringLiteral("Entered frame count must be from 2 to 30."),
                      QStringLiteral("Frame count set to %1.  Select Baseline Frame button again if you wish to continue."),
                      {{"31", "30"}, {"1", "2"}, {"", "2"}});
    EXPECT_TRUE(m_restarts.isEmpty());

    Type(d.findChild<QLineEdit*>(), "5");
    Click(ByText(d, QStringLiteral("Start")));
    QAbstractButton* histogram = ByText(d, QStringLiteral("Show histogram in User Messages"));
    Click(histogram);
    Type(d.findChild<QLineEdit*>(), "30");
    Click(ByText(d, QStringLiteral("Start")));
    Click(histogram); // cleared: the flag stays on while the dialog is open
    Click(ByText(d, QStringLiteral("Start")));
    EXPECT_EQ(m_restarts, (QStringList{"frames 5 histogram 0", "frames 30 histogram 1", "frames 30 histogram 1"}));
    d.close();
    EXPECT_EQ(std::pair(d.result(), m_request.integrationFrames), std::pair(1, 1u));
}

// The menu command writes the options file after a 1: it must hold the moved default.
TEST_F(AnalysisDialogTest, SaturationOffOpensAt255KeysMoveTheThresholdAndSaveReachesTheOptionsFile)
{
    ScopedProcessDirectory dir;
    CommandSteps steps;
    steps.SaveOptionsFile = [this] { SaveOptionsFile(m_options); };
    steps.RestartGraph = RecordRestarts();
    steps.RunDialog = [this](MenuDialog) {
        PixelSaturationDialog d({m_request, m_options, m_pipeline}, RecordRestarts());
        QTimer::singleShot(0, &d, [&d, this] {
            EXPECT_EQ(std::pair(m_restarts.size(), m_pipeline.LiveSaturationThreshold()), std::pair(qsizetype{1}, 255));
            QTest::keyClick(d.findChild<QSlider*>(), Qt::Key_PageDown);
            for (int inEffect : {m_request.saturationThreshold, m_options.PixelSaturationValue, m_pipeline.LiveSaturationThreshold(),
                                 d.findChild<QLabel*>(QStringLiteral("thresholdValue"))->text().toInt()})
                EXPECT_EQ(inEffect, d.findChild<QSlider*>()->value()) << "what the slider shows is in effect, and its number";
            Click(ByText(d, QStringLiteral("Use pixel saturation value as default")));
            Click(ByText(d, QStringLiteral("Save")));
        });
        return d.exec();
    };
    ASSERT_TRUE(RunDialogCommand(MenuCommand::PixelSaturation, steps));
    const int saved = m_options.SaturationDefault;
    EXPECT_LT(saved, 255);
    const QString line = QStringLiteral("<PixelSaturationValue Value=\"%1\"/>").arg(saved);
    EXPECT_TRUE(ReadFileBytes(dir.FilePath(QLatin1String(kOptionsFileName))).contains(line.toLatin1()));

    PixelSaturationDialog d({m_request, m_options, m_pipeline}, RecordRestarts());
    QTest::keyClick(d.findChild<QSlider*>(), Qt::Key_PageDown);
    Click(ByText(d, QStringLiteral("Cancel")));
    EXPECT_EQ(std::pair(m_pipeline.LiveSaturationThreshold(), m_request.saturationThreshold), std::pair(saved, saved))
        << "Cancel puts it back";
}
