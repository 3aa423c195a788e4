#include "common/AtomicFile.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(AtomicFile, ReplacesTheFileWholeOrKeepsTheOldOneAndLeavesNothingElse)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("a.xml")).toStdString();
    std::string why;
    ASSERT_TRUE(WriteFileAtomically(path, "first", &why)) << why;
    ASSERT_TRUE(WriteFileAtomically(path, std::string(100000, 'x'), &why)) << why;
    EXPECT_EQ(Read(dir.filePath(QStringLiteral("a.xml"))), QByteArray(100000, 'x'));
    {
        ScopedFileSizeLimit full(4096);
        // The first write is cut short, the next one fails: both must count as failure.
        EXPECT_FALSE(WriteFileAtomically(path, std::string(10000, 'n'), &why));
    }
    EXPECT_NE(why.find("cannot write"), std::string::npos) << why;
    EXPECT_EQ(Read(dir.filePath(QStringLiteral("a.xml"))), QByteArray(100000, 'x'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.xml")});

    EXPECT_FALSE(WriteFileAtomically(dir.filePath(QStringLiteral("no/such/a.xml")).toStdString(), "x", &why));
    EXPECT_NE(why.find("cannot create"), std::string::npos) << why;
}
