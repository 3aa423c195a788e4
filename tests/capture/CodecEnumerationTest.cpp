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
        ASSERT_EQ(d.codecFilters.size(), d.codecNames.size());
        EXPECT_EQ(d.codecNames.value(0), QStringLiteral("NONE"));
        for (qsizetype c = 0; c < d.codecNames.size(); ++c)
            EXPECT_EQ(static_cast<bool>(d.codecFilters[c]), c > 0) << d.codecNames[c].toStdString();
        catalogue += d.codecNames;
    }
    EXPECT_TRUE(catalogue.contains(QStringLiteral("libav Huffyuv / HuffYUV encoder"))) << catalogue.join(u'|').toStdString();
    // Encoders whose output the AVI multiplexer cannot take are never offered.
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
            EXPECT_EQ(Device(i).codecFilters.size(), 1);
        }
        EXPECT_EQ(m_log.Messages().count(QLatin1String(c.message)), 1);
    }
}

} // namespace
