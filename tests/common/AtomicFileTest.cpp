#include "common/AtomicFile.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(AtomicFile, ReplacesTheFileWholeOrKeepsTheOldOneAndLeavesNothingElse)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.xml"));
    std::string why;
    ASSERT_TRUE(WriteFileAtomically(path.toStdString(), std::string(100000, 'x'), &why)) << why;
    EXPECT_EQ(ReadFileBytes(path), QByteArray(100000, 'x'));
    {
        ScopedFileSizeLimit full(4096);
        // The first write is cut short, the next one fails: both must count as failure.
        EXPECT_FALSE(WriteFileAtomically(path.toStdString(), std::string(10000, 'n'), &why));
    }
    EXPECT_NE(why.find("cannot write"), std::string::npos) << why;
    EXPECT_EQ(ReadFileBytes(path), QByteArray(100000, 'x'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.xml")});

    EXPECT_FALSE(WriteFileAtomically(dir.filePath(QStringLiteral("no/such/a.xml")).toStdString(), "x", &why));
    EXPECT_NE(why.find("cannot create"), std::string::npos) << why;
}
