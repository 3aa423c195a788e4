#include "common/AtomicFile.h"
#include "support/FileSizeLimit.h"

#include <QByteArray>
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

TEST(AtomicFile, ReplacesTheFileWholeAndLeavesNothingElse)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.xml"));
    std::string why;
    ASSERT_TRUE(WriteFileAtomically(path.toStdString(), "first", &why)) << why;
    ASSERT_TRUE(WriteFileAtomically(path.toStdString(), std::string(100000, 'x'), &why)) << why;
    EXPECT_EQ(Read(path).size(), 100000);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.xml")});
}

TEST(AtomicFile, AFullDiskKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.xml"));
    ASSERT_TRUE(WriteFileAtomically(path.toStdString(), "old contents"));
    std::string why;
    {
        ScopedFileSizeLimit limit(4096);
        // The first write is cut short, the next one fails: both must count as failure.
        EXPECT_FALSE(WriteFileAtomically(path.toStdString(), std::string(10000, 'n'), &why));
    }
    EXPECT_NE(why.find("cannot write"), std::string::npos) << why;
    EXPECT_EQ(Read(path), QByteArray("old contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.xml")});
}

TEST(AtomicFile, MissingFolderFailsWithAReason)
{
    QTemporaryDir dir;
    std::string why;
    EXPECT_FALSE(WriteFileAtomically(dir.filePath(QStringLiteral("no/such/a.xml")).toStdString(), "x", &why));
    EXPECT_NE(why.find("cannot create"), std::string::npos) << why;
}
