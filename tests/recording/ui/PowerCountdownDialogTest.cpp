#include "recording/ui/PowerCountdownDialog.h"

#include "recording/PowerActions.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// The dialog's own timer counts it down; keys never end it (the power action tests drive
// the count, Cancel and the frame); no text is cut, whatever font stands in.
TEST(PowerCountdownDialog, ItsTimerEndsItAndKeysDoNot)
{
    PowerCountdownDialog timed(false, QFont(), nullptr, std::chrono::milliseconds(1));
    EXPECT_EQ(timed.exec(), static_cast<int>(CountdownEnd::CountedDown));
    PowerCountdownDialog d(true, QFont());
    d.open();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(&d, key);
        QTest::keyClick(d.CancelButton(), key);
    }
    EXPECT_TRUE(d.isVisible());
    for (const QLabel* label : d.findChildren<QLabel*>())
        EXPECT_GE(label->width(), label->sizeHint().width()) << "cut: " << label->text().toStdString();
}
