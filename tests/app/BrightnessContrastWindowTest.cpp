// The Brightness and Contrast window: what each slider notification sends to the colour
// control, and what closing the window leaves behind.
#include "AppWindowsFixture.h"

#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "app/ui/RecordingUiAdapter.h"

#include <QAction>
#include <QTest>

namespace {

using Colour = std::vector<std::pair<int, int>>;

class BrightnessContrastTest : public AppWindowsTest {
protected:
    void SetUp() override
    {
        AppWindowsTest::SetUp();
        Window()->hide();
        s_app->BrightnessContrastShown = false;
        s_app->mainWindow->OnCommand(MenuCommand::BrightnessContrast);
        m_graph.Reset();
    }
    void TearDown() override
    {
        if (s_app->BrightnessContrastShown)
            Window()->close();
        AppWindowsTest::TearDown();
    }
    static BrightnessContrastWindow* Window() { return s_app->brightnessContrastWindow; }
    static QAction* Entry() { return s_app->mainWindow->ActionFor(MenuCommand::BrightnessContrast); }
};

} // namespace

TEST_F(BrightnessContrastTest, ShowingMakesBothSlidersAtTheMiddleAndChecksTheEntry)
{
    ASSERT_TRUE(s_app->BrightnessContrastShown);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_TRUE(Entry()->isChecked());
    for (QSlider* s : {Window()->BrightnessSlider(), Window()->ContrastSlider()}) {
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->minimum(), 0);
        EXPECT_EQ(s->maximum(), 100);
        EXPECT_EQ(s->value(), 50);
        EXPECT_EQ(s->pageStep(), 1);
        EXPECT_EQ(s->tickInterval(), 25);
    }
    EXPECT_EQ(Window()->BrightnessLabel()->text(), QStringLiteral("Brightness"));
    EXPECT_EQ(Window()->ContrastLabel()->text(), QStringLiteral("Contrast"));
    EXPECT_EQ(Window()->BrightnessLabel()->font().pixelSize(), 18);
}

TEST_F(BrightnessContrastTest, DraggingTheBrightnessThumbChangesOnlyBrightnessAtOnce)
{
    QSlider* b = Window()->BrightnessSlider();
    b->setSliderDown(true);
    b->setSliderPosition(70);
    b->setSliderPosition(72);
    b->setSliderDown(false); // the release is ignored
    EXPECT_EQ(m_graph.colour, (Colour{{70, -1}, {72, -1}}));
}

TEST_F(BrightnessContrastTest, LineAndPageMovesOfTheContrastChangeOnlyContrast)
{
    QSlider* c = Window()->ContrastSlider();
    c->setFocus();
    QTest::keyClick(c, Qt::Key_PageUp);
    QTest::keyClick(c, Qt::Key_Right);
    c->triggerAction(QAbstractSlider::SliderPageStepSub);
    QTest::keyClick(c, Qt::Key_Left);
    EXPECT_EQ(m_graph.colour, (Colour{{-1, 51}, {-1, 52}, {-1, 51}, {-1, 50}}));
}

TEST_F(BrightnessContrastTest, JumpsToEitherEndAreIgnored)
{
    QSlider* b = Window()->BrightnessSlider();
    QTest::keyClick(b, Qt::Key_End);
    QTest::keyClick(b, Qt::Key_Home);
    EXPECT_EQ(b->value(), 0);
    EXPECT_TRUE(m_graph.colour.empty());
}

TEST_F(BrightnessContrastTest, ClosingByTheFrameResetsUnchecksAndRebuildsTheGraph)
{
    Window()->close();
    EXPECT_FALSE(s_app->BrightnessContrastShown);
    EXPECT_FALSE(Window()->isVisible());
    EXPECT_FALSE(Entry()->isChecked());
    EXPECT_EQ(m_graph.colour, (Colour{{50, 50}}));
    EXPECT_EQ(Window()->BrightnessSlider(), nullptr);
    EXPECT_EQ(Window()->ContrastSlider(), nullptr);
    EXPECT_EQ(Window()->BrightnessLabel(), nullptr);
    EXPECT_EQ(Window()->ContrastLabel(), nullptr);
    EXPECT_EQ(m_graph.stops, 1);
    EXPECT_EQ(m_graph.builds, 1);
}

TEST_F(BrightnessContrastTest, TheCommandAgainHidesLikeTheFrameAndRestartsTheGraph)
{
    s_app->mainWindow->OnCommand(MenuCommand::BrightnessContrast);
    EXPECT_FALSE(s_app->BrightnessContrastShown);
    EXPECT_FALSE(Window()->isVisible());
    EXPECT_FALSE(Entry()->isChecked());
    EXPECT_EQ(m_graph.colour, (Colour{{50, 50}}));
    EXPECT_EQ(m_graph.builds, 1);
}

TEST_F(BrightnessContrastTest, ARecordingClosesItAndAReopenedWindowHasOneLabelEach)
{
    AppRecordingUi().CloseBrightnessContrastForRecording();
    EXPECT_FALSE(s_app->BrightnessContrastShown);
    EXPECT_FALSE(Window()->isVisible());
    EXPECT_FALSE(Entry()->isChecked());
    EXPECT_EQ(m_graph.colour, (Colour{{50, 50}}));
    EXPECT_EQ(Window()->BrightnessSlider(), nullptr);
    EXPECT_NE(Window()->BrightnessLabel(), nullptr); // the labels stay in the hidden window
    EXPECT_EQ(m_graph.builds, 0); // the recording builds its own graph

    s_app->mainWindow->OnCommand(MenuCommand::BrightnessContrast);
    EXPECT_EQ(Window()->findChildren<QLabel*>().size(), 2);
    EXPECT_EQ(Window()->findChildren<QSlider*>().size(), 2);
}
