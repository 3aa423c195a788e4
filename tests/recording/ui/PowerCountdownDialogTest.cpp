#include "recording/ui/PowerCountdownDialog.h"

#include "recording/PowerActions.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// Thirty down, 01 shown for a full period; Cancel ends with one, the frame with three,
// and keys with nothing.
TEST(PowerCountdownDialog, CountsThirtyDownAndOnlyCancelOrTheFrameEndIt)
{
    for (const bool shutdown : {false, true}) {
        PowerCountdownDialog d(shutdown, QFont());
        EXPECT_EQ(d.CancelButton()->text(), shutdown ? QStringLiteral("Cancel Shutdown") : QStringLiteral("Cancel Hibernate"));
        d.open();
        for (int i = 0; i < 29; ++i)
            d.CountdownTick();
        EXPECT_EQ(d.CountLabel()->text(), QStringLiteral("01"));
        EXPECT_TRUE(d.isVisible());
        d.CountdownTick();
        EXPECT_EQ(d.result(), static_cast<int>(CountdownEnd::CountedDown));
    }
    PowerCountdownDialog timed(false, QFont(), nullptr, std::chrono::milliseconds(1)); // its own timer drives it
    EXPECT_EQ(timed.exec(), static_cast<int>(CountdownEnd::CountedDown));

    PowerCountdownDialog cancelled(false, QFont());
    cancelled.open();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(&cancelled, key);
        QTest::keyClick(cancelled.CancelButton(), key);
    }
    EXPECT_TRUE(cancelled.isVisible());
    QTest::mouseClick(cancelled.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(cancelled.result(), static_cast<int>(CountdownEnd::Cancelled));
    PowerCountdownDialog closed(true, QFont());
    closed.open();
    EXPECT_TRUE(closed.close());
    EXPECT_EQ(closed.result(), static_cast<int>(CountdownEnd::ClosedByFrame));
}
