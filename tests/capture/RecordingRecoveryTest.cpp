// The start-up recovery on a small recording made here and cut as a killed program
// leaves it: a disk that fills while the copy is written leaves nothing behind and
// nothing taken for done, and .avi files that are no recording are named and left alone.
#include "capture/AviFileCheck.h"
#include "capture/MediaObjects.h"
#include "capture/RecordingRecovery.h"
#include "options/AppOptions.h"
#include "support/FileSizeLimit.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

constexpr int kFrames = 40;

// A recording closed by the multiplexer, then given back the state a kill leaves: the
// header's frame count 0 and no index.
QByteArray KilledRecording()
{
    EXPECT_TRUE(EnsureMediaFramework());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("whole.avi"));
    const QString launch = QStringLiteral("videotestsrc num-buffers=%1 ! video/x-raw,format=YUY2,width=64,height=48 "
                                          "! avimux ! filesink location=\"%2\"")
                               .arg(kFrames)
                               .arg(path);
    GstElement* pipeline = gst_parse_launch(launch.toUtf8().constData(), nullptr);
    EXPECT_NE(pipeline, nullptr);
    if (!pipeline)
        return {};
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    if (GstMessage* m = gst_bus_timed_pop_filtered(
            bus, 20 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)))
        gst_message_unref(m);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);

    QByteArray bytes = ReadFileBytes(path);
    bytes.truncate(bytes.lastIndexOf("idx1"));
    const qsizetype avih = bytes.indexOf("avih");
    if (avih >= 0)
        bytes.replace(avih + 8 + 16, 4, QByteArray(4, '\0'));
    return bytes;
}

AviFileCheck CheckPath(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    const AviFileCheck check = CheckAviFile(fd);
    if (fd >= 0)
        ::close(fd);
    return check;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

} // namespace

TEST(RecordingRecovery, AFullDiskLeavesNothingAndOddFilesAreNamed)
{
    ScopedProcessDirectory dir;
    ScopedLogAndClock log{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 0}};
    Options().VideoDirectory.clear();
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("VideoFiles")));
    const QByteArray killed = KilledRecording();
    WriteFile(QStringLiteral("VideoFiles/a.avi"), killed);
    ASSERT_EQ(CheckPath("VideoFiles/a.avi").verdict, AviFileVerdict::Interrupted);
    WriteFile(QStringLiteral("VideoFiles/finished.avi"), killed); // has its log: not ours to touch
    WriteFile(QStringLiteral("VideoFiles/finished.log"), "Start recording at 03:04:05 (UTC)\r\n");
    WriteFile(QStringLiteral("VideoFiles/empty.avi"), {});
    WriteFile(QStringLiteral("VideoFiles/notes.avi"), "not a video\n");
    WriteFile(QStringLiteral("VideoFiles/cut.avi"), killed.left(7));
    const QStringList files = QDir(QStringLiteral("VideoFiles")).entryList(QDir::Files);

    {
        ScopedFileSizeLimit full(static_cast<rlim_t>(killed.size() / 2));
        RecoverInterruptedRecordings();
    }
    const QString messages = log.Messages();
    EXPECT_TRUE(messages.contains(QStringLiteral("ERROR -- the interrupted recording \"VideoFiles/a.avi\" could not be "
                                                 "recovered")))
        << messages.toStdString();
    for (const char* odd : {"\"VideoFiles/empty.avi\" has no recording log and is empty",
                            "\"VideoFiles/notes.avi\" has no recording log and is not an AVI file",
                            "\"VideoFiles/cut.avi\" has no recording log and ends inside its AVI header"})
        EXPECT_TRUE(messages.contains(QLatin1String(odd))) << odd;
    EXPECT_FALSE(messages.contains(QStringLiteral("finished.avi")));
    EXPECT_EQ(QDir(QStringLiteral("VideoFiles")).entryList(QDir::Files), files); // no copy, no scratch file
    EXPECT_EQ(ReadFileBytes(QStringLiteral("VideoFiles/a.avi")), killed);

    // With room again, the next start recovers it.
    log.ClearMessages();
    RecoverInterruptedRecordings();
    EXPECT_TRUE(log.Messages().contains(
        QStringLiteral("Recovered %1 frames into \"VideoFiles/a_recovered.avi\"").arg(kFrames)))
        << log.Messages().toStdString();
    const AviFileCheck recovered = CheckPath("VideoFiles/a_recovered.avi");
    EXPECT_EQ(recovered.verdict, AviFileVerdict::Complete);
    EXPECT_EQ(recovered.headerFrames, kFrames);
    EXPECT_EQ(ReadFileBytes(QStringLiteral("VideoFiles/a.avi")), killed);
}
