#include "recording/ui/PowerCountdownDialog.h"

#include "recording/PowerActions.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(PowerCountdownDialog, CountsThirtyDownWithItsTextsAndEndsWithTwo)
{
    QFont font;
    font.setPixelSize(28);
    for (const bool shutdown : {false, true}) {
        PowerCountdownDialog d(shutdown, font);
        QStringList texts{d.windowTitle()};
        for (const QLabel* l : d.findChildren<QLabel*>())
            texts << l->text();
        texts << d.CancelButton()->text();
        const QString action = shutdown ? QStringLiteral("Shut down") : QStringLiteral("Hibernate");
        const QString cancel = shutdown ? QStringLiteral("Cancel Shutdown") : QStringLiteral("Cancel Hibernate");
        EXPECT_EQ(texts, (QStringList{action, action + " in", "30", "seconds", "unless you select " + cancel, cancel}));
        d.open();
        EXPECT_EQ(d.CountLabel()->font().pixelSize(), 28);
        QStringList shown{d.CountLabel()->text()};
        for (int i = 0; i < 29; ++i) {
            d.CountdownTick();
            shown << d.CountLabel()->text();
        }
        EXPECT_EQ(shown[21], QStringLiteral("09"));
        EXPECT_EQ(shown.last(), QStringLiteral("01"));
        EXPECT_TRUE(d.isVisible()) << "01 is still shown for a full period";
        d.CountdownTick();
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), static_cast<int>(CountdownEnd::CountedDown));
    }
    PowerCountdownDialog timed(false, font, nullptr, std::chrono::milliseconds(1)); // its own timer drives it
    EXPECT_EQ(timed.exec(), static_cast<int>(CountdownEnd::CountedDown));
}

TEST(PowerCountdownDialog, CancelEndsWithOneTheFrameWithThreeAndKeysWithNothing)
{
    PowerCountdownDialog cancelled(false, QFont());
    cancelled.open();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(&cancelled, key);
        QTest::keyClick(cancelled.CancelButton(), key);
        EXPECT_TRUE(cancelled.isVisible()) << "key " << key;
    }
    QTest::mouseClick(cancelled.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(cancelled.result(), static_cast<int>(CountdownEnd::Cancelled));

    PowerCountdownDialog closed(true, QFont());
    closed.open();
    closed.CountdownTick();
    EXPECT_TRUE(closed.close());
    EXPECT_EQ(closed.result(), static_cast<int>(CountdownEnd::ClosedByFrame));
}
