#include "recording/ui/PowerCountdownDialog.h"

#include "recording/PowerActions.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList Texts(const QDialog& d)
{
    QStringList texts{d.windowTitle()};
    for (const QLabel* l : d.findChildren<QLabel*>())
        texts << l->text();
    for (const QPushButton* b : d.findChildren<QPushButton*>())
        texts << b->text();
    return texts;
}

QFont CountFont()
{
    QFont f;
    f.setPixelSize(28);
    return f;
}

} // namespace

TEST(PowerCountdownDialog, CountsThirtyDownToOneAndEndsWithTwoOnTheThirtiethTick)
{
    PowerCountdownDialog d(false, CountFont());
    d.open();
    EXPECT_EQ(d.CountLabel()->font().pixelSize(), 28);
    QStringList shown{d.CountLabel()->text()};
    for (int i = 0; i < 29; ++i) {
        d.CountdownTick();
        shown << d.CountLabel()->text();
    }
    EXPECT_EQ(shown.first(), QStringLiteral("30"));
    EXPECT_EQ(shown[21], QStringLiteral("09"));
    EXPECT_EQ(shown.last(), QStringLiteral("01"));
    EXPECT_TRUE(d.isVisible()) << "01 is still shown for a full period";
    d.CountdownTick();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), 2);
}

TEST(PowerCountdownDialog, ItsOwnTimerDrivesTheCount)
{
    PowerCountdownDialog d(false, CountFont(), nullptr, 1);
    EXPECT_EQ(d.exec(), 2);
    EXPECT_EQ(d.Counter(), 0);
}

TEST(PowerCountdownDialog, HibernationKeepsTheTemplateTextsAndShutdownChangesFour)
{
    PowerCountdownDialog hibernate(false, CountFont());
    EXPECT_EQ(Texts(hibernate), (QStringList{"Hibernate", "Hibernate in", "30", "seconds",
                                             "unless you select Cancel Hibernate", "Cancel Hibernate"}));
    PowerCountdownDialog shutdown(true, CountFont());
    EXPECT_EQ(Texts(shutdown), (QStringList{"Shut down", "Shut down in", "30", "seconds",
                                            "unless you select Cancel Shutdown", "Cancel Shutdown"}));
}

TEST(PowerCountdownDialog, CancelEndsWithOneTheFrameWithThreeAndKeysWithNothing)
{
    PowerCountdownDialog cancelled(false, CountFont());
    cancelled.open();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(&cancelled, key);
        QTest::keyClick(cancelled.CancelButton(), key);
        EXPECT_TRUE(cancelled.isVisible()) << "key " << key;
    }
    for (int i = 0; i < 10; ++i)
        cancelled.CountdownTick();
    QTest::mouseClick(cancelled.CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(cancelled.isVisible());
    EXPECT_EQ(cancelled.result(), static_cast<int>(CountdownEnd::Cancelled));

    PowerCountdownDialog closed(true, CountFont());
    closed.open();
    closed.CountdownTick();
    EXPECT_TRUE(closed.close());
    EXPECT_EQ(closed.result(), static_cast<int>(CountdownEnd::ClosedByFrame));
}
