#include "capture/CodecEnumeration.h"
#include "capture/DeviceEnumeration.h"
#include "devices/DeviceTable.h"
#include "messages/UserMessageLog.h"

#include "HiddenFeatures.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <QFile>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class CodecTest : public ::testing::Test {
protected:
    // Twice in a test gives a fresh table.
    void SetUp() override
    {
        table = DeviceTable{};
        ASSERT_EQ(ListCaptureDevice(table, m_log.Log(), QStringLiteral("YUY2 camera"),
                                    QStringLiteral("video/x-raw, format=YUY2, width=720, height=480, framerate=30000/1001; "
                                                   "video/x-raw, format=YUY2, width=720, height=576, framerate=25/1")),
                  Status::Ok);
        ASSERT_EQ(ListCaptureDevice(table, m_log.Log(), QStringLiteral("MJPG camera"),
                                    QStringLiteral("image/jpeg, width=640, height=480, framerate=30000/1001")),
                  Status::Ok);
        ASSERT_EQ(table.count, 2);
    }

    const CaptureDevice& Device(int i) { return table.devices[static_cast<std::size_t>(i)]; }

    DeviceTable table;
    ScopedProcessDirectory m_dir;
    ScopedLogAndClock m_log{CalendarTime{2024, 3, 0, 10, 12, 0, 0, 0}};
};

TEST_F(CodecTest, CatalogueListsEncodersThatFeedTheAviMux)
{
    EXPECT_EQ(EnumerateCodecs(table, m_log.Log()), Status::Ok);
    EXPECT_EQ(m_log.Messages(), QString());
    EXPECT_FALSE(QFile::exists(m_dir.FilePath(QStringLiteral("bogus.avi")))) << "the trial pipeline never runs";

    QStringList catalogue;
    for (int i = 0; i < table.count; ++i) {
        const CaptureDevice& d = Device(i);
        ASSERT_FALSE(d.codecNames.isEmpty());
        EXPECT_EQ(d.codecNames[0], QStringLiteral("NONE"));
        EXPECT_FALSE(d.codecFilters[0]);
        ASSERT_EQ(d.codecFilters.size(), d.codecNames.size());
        for (qsizetype c = 1; c < d.codecNames.size(); ++c) {
            EXPECT_TRUE(d.codecFilters[c]) << d.codecNames[c].toStdString();
            EXPECT_LE(d.codecNames[c].size(), 127);
        }
        EXPECT_EQ(d.chosenCodecIndex, -1);
        catalogue += d.codecNames;
    }
    EXPECT_TRUE(Device(0).codecNames.contains(QStringLiteral("JPEG image encoder")));
    const QStringList lossless = {QStringLiteral("libav Huffyuv / HuffYUV encoder"),
                                  QStringLiteral("libav Huffyuv FFmpeg variant encoder"),
                                  QStringLiteral("libav FFmpeg video codec #1 encoder")};
    EXPECT_TRUE(std::any_of(lossless.begin(), lossless.end(), [&](const QString& n) { return catalogue.contains(n); }))
        << catalogue.join(u'|').toStdString();
    // Encoders whose output the AVI multiplexer cannot take are never offered.
    EXPECT_FALSE(catalogue.contains(QStringLiteral("YUV4MPEG video encoder")));
    EXPECT_FALSE(catalogue.contains(QStringLiteral("libav Ut Video encoder")));
}

// What is missing, and where the catalogue stops with its message.
TEST_F(CodecTest, AMissingElementStopsTheCatalogueWithItsMessage)
{
    const struct {
        std::function<bool(const char*, const char*)> hide;
        const char* message;
        bool firstKeepsItsCodecs;
    } cases[] = {
        {[](const char*, const char* klass) { return std::strstr(klass, "Encoder") != nullptr; },
         "ERROR -- Unable to create a video compressor enumerator to search for codecs.", false},
        {[](const char* name, const char*) { return std::strcmp(name, "avimux") == 0; },
         "SEVERE ERROR -- The SetOutputFileName method has failed.  Report this issue.", false},
        {[](const char* name, const char*) { return std::strcmp(name, "jpegdec") == 0; },
         "Cannot get output IPin for source filter.", true}, // the raw device comes before the MJPG one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        SetUp();
        const ScopedHiddenFeatures hidden(c.hide);
        ASSERT_GT(hidden.Count(), 0u);
        m_log.ClearMessages();
        EXPECT_EQ(EnumerateCodecs(table, m_log.Log()), Status::Aborted);
        EXPECT_EQ(Device(0).codecNames.size() > 1, c.firstKeepsItsCodecs);
        for (int i = c.firstKeepsItsCodecs ? 1 : 0; i < table.count; ++i) {
            EXPECT_EQ(Device(i).codecNames, QStringList{QStringLiteral("NONE")});
            ASSERT_EQ(Device(i).codecFilters.size(), 1);
            EXPECT_FALSE(Device(i).codecFilters[0]);
            EXPECT_EQ(Device(i).chosenCodecIndex, -1);
        }
        EXPECT_EQ(m_log.Messages().count(QLatin1String(c.message)), 1);
    }
}

} // namespace
