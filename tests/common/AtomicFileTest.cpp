#include "common/AtomicFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Lowers the file-size limit for the scope: writes past it fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit small = m_old;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

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
        FileSizeLimit limit(4096);
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
