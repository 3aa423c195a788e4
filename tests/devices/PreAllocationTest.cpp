#include "devices/PreAllocation.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t kThirtyMinutesMs = 30 * 60 * 1000;

PreAllocationRequest Manual(std::uint32_t gigabytes)
{
    PreAllocationRequest r;
    r.FileName = QStringLiteral("VideoFiles/x.avi");
    r.CodecName = QStringLiteral("NONE");
    r.FilePreAllocation = true;
    r.RecordingActive = true;
    r.ManualAllocationGB = gigabytes;
    return r;
}

PreAllocationRequest Event(std::uint32_t gigabytesPerTenMinutes, std::uint32_t durationMs,
                           const char* codec = "NONE")
{
    PreAllocationRequest r = Manual(20);
    r.EventAllocationGB = gigabytesPerTenMinutes;
    r.EventDuration = std::chrono::milliseconds(durationMs);
    r.CodecName = QString::fromLatin1(codec);
    return r;
}

struct stat StatOf(const char* path)
{
    struct stat st{};
    EXPECT_EQ(::stat(path, &st), 0) << path;
    return st;
}

template <int Error>
int FailingFallocate(int, int, off_t, off_t)
{
    errno = Error;
    return -1;
}

} // namespace

TEST(PreAllocationSizeTest, SizesFollowTheOptionsAndTheEventDuration)
{
    PreAllocationRequest notRecording = Manual(20);
    notRecording.RecordingActive = false;
    PreAllocationRequest manualWithEventSize = Manual(3);
    manualWithEventSize.EventAllocationGB = 0;

    struct Case {
        const char* what;
        PreAllocationRequest request;
        std::int64_t size;
    };
    const Case cases[] = {
        {"manual 20 GB", Manual(20), 21'474'836'480},
        {"manual 3 GB", manualWithEventSize, 3'221'225'472},
        {"manual 0 GB", Manual(0), 0},
        {"30 min at 2 GB", Event(2, kThirtyMinutesMs), 6'442'450'944},
        {"30 min at 2 GB, lossless codec", Event(2, kThirtyMinutesMs, "Lagarith Lossless Codec"), 1'610'612'736},
        {"codec name only begins alike", Event(2, kThirtyMinutesMs, "Lagarith Lossless Codec 2"), 6'442'450'944},
        {"5 min at 1 GB", Event(1, 5 * 60 * 1000), 536'870'912},
        {"1 s at 1 GB, truncated", Event(1, 1000), 1'789'569},
        {"Event at 0 GB whatever the manual size", Event(0, kThirtyMinutesMs), 0},
        {"longest Event at 20 GB", Event(20, 362'439'000), 12'972'197'098'291},
        {"hand-edited size beyond 64 bits", Event(4'000'000'000u, 4'000'000'000u), 0},
        {"not recording", notRecording, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PreAllocationSize(c.request), c.size) << c.what;
}

TEST(PreAllocationTest, ClaimsRealBlocksOnlyForANewFileAndFallsBackToTheSizeOrAnEmptyFile)
{
    const ScopedProcessDirectory dir;
    PreAllocationRequest preview = Manual(20);
    preview.FileName.clear();
    PreAllocationRequest off = Manual(20);
    off.FilePreAllocation = false;
    for (const PreAllocationRequest& r : {preview, off, Manual(0), Event(0, 1000)})
        EXPECT_EQ(PreAllocateRecordingFile(r), PreAllocationOutcome::NotAsked);
    EXPECT_EQ(PreAllocateRecordingFile(Event(1, 1000)), PreAllocationOutcome::NotCreated); // no VideoFiles folder
    EXPECT_TRUE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());

    ASSERT_TRUE(QDir().mkdir(QStringLiteral("VideoFiles")));
    const PreAllocationOutcome outcome = PreAllocateRecordingFile(Event(1, 1000));
    if (outcome != PreAllocationOutcome::SizeOnly) { // a file system that cannot claim space
        ASSERT_EQ(outcome, PreAllocationOutcome::Claimed);
        const struct stat st = StatOf("VideoFiles/x.avi");
        EXPECT_EQ(st.st_size, 1'789'569);
        EXPECT_GE(static_cast<std::int64_t>(st.st_blocks) * 512, 1'789'569); // not a sparse file
    }
    QFile existing(QStringLiteral("VideoFiles/x.avi"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly | QIODevice::Truncate));
    existing.write("recorded before");
    existing.close();
    EXPECT_EQ(PreAllocateRecordingFile(Event(1, 1000)), PreAllocationOutcome::NotCreated);
    EXPECT_EQ(ReadFileBytes(QStringLiteral("VideoFiles/x.avi")), QByteArray("recorded before"));

    ASSERT_TRUE(QFile::remove(QStringLiteral("VideoFiles/x.avi")));
    const PreAllocationCalls unsupported{kSystemPreAllocationCalls.Open, FailingFallocate<EOPNOTSUPP>, ::ftruncate,
                                         ::close};
    EXPECT_EQ(PreAllocateRecordingFile(Event(1, 1000), unsupported), PreAllocationOutcome::SizeOnly);
    EXPECT_EQ(StatOf("VideoFiles/x.avi").st_size, 1'789'569);

    const PreAllocationCalls full{kSystemPreAllocationCalls.Open, FailingFallocate<ENOSPC>, ::ftruncate, ::close};
    PreAllocationRequest second = Event(1, 1000);
    second.FileName = QStringLiteral("VideoFiles/y.avi");
    EXPECT_EQ(PreAllocateRecordingFile(second, full), PreAllocationOutcome::Failed);
    EXPECT_EQ(StatOf("VideoFiles/y.avi").st_size, 0); // the recording still has its file
}
