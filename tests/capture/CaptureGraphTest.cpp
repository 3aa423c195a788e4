// The capture graph on the simulator camera: real pipelines, real AVI files read back
// with ffprobe, the recording log beside each.
#include "capture/CaptureBackEnd.h"
#include "capture/CaptureGraph.h"
#include "capture/CodecEnumeration.h"
#include "capture/DeviceEnumeration.h"
#include "capture/TimingRecords.h"
#include "common/Clock.h"
#include "devices/DeviceTable.h"
#include "devices/PreAllocation.h"
#include "filter/AnalysisFlags.h"
#include "filter/CharacterSet.h"
#include "filter/DriftReport.h"
#include "filter/FramePipeline.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"
#include "recording/GraphControl.h"
#include "recording/RecordingControl.h"
#include "recording/AviFileCheck.h"
#include "recording/RecordingLog.h"
#include "HiddenFeatures.h"
#include "support/FileSizeLimit.h"
#include "support/QtPrinters.h"
#include "support/Recordings.h"
#include "support/TempDir.h"

#include <QRegularExpression>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <gst/gst.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cmath>
#include <thread>

namespace {

// The computer's clock as the timestamp of the frame in the analysis tells it, so that a
// camera faster than real time still looks real to the clock-drift measurement. It also
// holds each frame at the source until the analysis has taken the one before: the fit
// counts frames, and the preview's leaky queue would lose some.
class FrameTimeClock final : public Clock {
public:
    explicit FrameTimeClock(FileTimeTicks start) : m_start(start), m_now(start) {}
    CalendarTime UtcNow() const override { return TicksToCalendar(m_now.load()); }
    // On the source's src pad and on the analysis element's sink pad.
    void Watch(GstElement* element, const char* pad)
    {
        GstPad* p = gst_element_get_static_pad(element, pad);
        gst_pad_add_probe(p, GST_PAD_PROBE_TYPE_BUFFER, &FrameTimeClock::Probe, this, nullptr);
        gst_object_unref(p);
    }

private:
    static GstPadProbeReturn Probe(GstPad* pad, GstPadProbeInfo* info, gpointer self)
    {
        auto* clock = static_cast<FrameTimeClock*>(self);
        if (GST_PAD_IS_SRC(pad)) {
            QElapsedTimer waited; // bounded: a stopping graph takes no more frames
            waited.start();
            while (clock->m_taken.load() < clock->m_pushed.load() && waited.elapsed() < 1000)
                std::this_thread::yield();
            ++clock->m_pushed;
        } else {
            clock->m_now.store(clock->m_start + GST_BUFFER_PTS(GST_PAD_PROBE_INFO_BUFFER(info)) / 100);
            ++clock->m_taken;
        }
        return GST_PAD_PROBE_OK;
    }

    const FileTimeTicks m_start;
    std::atomic<FileTimeTicks> m_now;
    std::atomic<std::uint64_t> m_pushed{0}, m_taken{0};
};

int UnsupportedFallocate(int, int, off_t, off_t)
{
    errno = EOPNOTSUPP;
    return -1;
}

// Another program takes the new file away before the graph opens it to write.
int OpenThenLose(const char* path, int flags, mode_t mode)
{
    const int fd = ::open(path, flags, mode);
    if (fd >= 0)
        ::unlink(path);
    return fd;
}

bool WaitForMessage(UserMessageLog& log, const char* text)
{
    return QTest::qWaitFor([&] { return log.Text().contains(QLatin1String(text)); }, 20000);
}

class CaptureGraphTest : public ::testing::Test {
protected:
    SystemClock m_clock;
    UserMessageLog m_messages{m_clock};
    AppOptions m_options;
    DeviceTable m_devices;
    AppState m_state;
    // Relative, so it names a file in each test's own process directory.
    static constexpr const char* kUnplugFile = "camera-unplugged";

    static void SetUpTestSuite()
    {
        SimulatorSettings simulator;
        simulator.unplugFile = kUnplugFile;
        PrepareCaptureBackEnd(true, simulator);
        const SystemClock clock;
        UserMessageLog log(clock);
        log.SetEchoToStderr(false);
        ASSERT_EQ(EnumerateCaptureDevices(s_listed, log, true), Status::Ok);
        ASSERT_EQ(EnumerateCodecs(s_listed, log), Status::Ok);
    }
    static inline DeviceTable s_listed; // listed once: the codec trials take seconds

    void SetUp() override
    {
        m_messages.SetEchoToStderr(false);
        m_messages.Clear();
        m_devices = s_listed;
        for (int i = 0; i < m_devices.count; ++i)
            if (m_devices.devices[static_cast<std::size_t>(i)].name == QLatin1String("VTI Simulator"))
                m_device = i;
        ASSERT_GE(m_device, 0);
        m_devices.currentDeviceIndex = m_device;
        m_graph = std::make_unique<CaptureGraph>(Parts(), nullptr, 0);
        m_recording.SetGraph(m_graph.get());
    }

    // StartCapture and StopCapture still reach the program's own records.
    CaptureGraphParts Parts(const PreAllocationCalls& calls = kSystemPreAllocationCalls)
    {
        return {m_options, m_devices, m_state, m_messages, m_pipeline, calls};
    }
    void Select(const char* size, VideoSubtype subtype, const char* codec = "NONE")
    {
        CaptureDevice& d = m_devices.devices[static_cast<std::size_t>(m_device)];
        d.selectedFormatIndex = -1;
        for (int i = 0; i < d.formats.size(); ++i)
            if (d.formats[i].name == QLatin1String(size) && d.formats[i].subtype == subtype)
                d.selectedFormatIndex = i;
        ASSERT_GE(d.selectedFormatIndex, 0) << size;
        d.chosenCodecIndex = static_cast<int>(d.codecNames.indexOf(QLatin1String(codec)));
        ASSERT_GE(d.chosenCodecIndex, 0) << codec;
    }
    // A recording through StartCapture and StopCapture, as the buttons make it.
    QString Record(int ms, const QString& file, const std::function<void()>& started = {})
    {
        m_state.RecordingActive = true;
        m_state.RecordingFileName = file;
        EXPECT_EQ(m_recording.StartCapture(), Status::Ok);
        if (started)
            started();
        QTest::qWait(ms);
        EXPECT_EQ(m_recording.StopCapture(), Status::Ok);
        return file;
    }
    static int LoggedFrames(const QString& avi)
    {
        return RecordingLogCount(QString::fromLatin1(ReadFileBytes(RecordingLogFileName(avi))), "Number of recorded frames");
    }
    // A recording cut short still reads back every frame its log counts.
    static void ExpectReadable(const QString& avi)
    {
        const int logged = LoggedFrames(avi);
        EXPECT_GT(logged, 10);
        const VideoProbe probe = ProbeVideo(avi);
        EXPECT_EQ(probe.frames, logged);
        EXPECT_EQ(probe.headerFrames, logged) << "readers that trust the header see the same";
    }
    // The committed character sets, loaded as the program loads them.
    void LoadTheCharacterSets()
    {
        for (const char* set : {kEvenCharacterSetFile, kOddCharacterSetFile})
            ASSERT_TRUE(QFile::copy(QStringLiteral(VELA_SOURCE_RESOURCES "/") + QLatin1String(set),
                                    m_dir.FilePath(QLatin1String(set))));
        ASSERT_TRUE(LoadCharacterSets(m_sets));
    }

    ScopedProcessDirectory m_dir;
    CharacterSetList m_sets;
    FramePipeline m_pipeline{m_sets, m_messages, m_clock};
    std::unique_ptr<CaptureGraph> m_graph;
    int m_device = -1;
    RecordingControl m_recording{m_state, m_options, m_messages, m_clock};
};

} // namespace

TEST_F(CaptureGraphTest, RecordingsReadBackFrameForFrame)
{
    struct Case {
        const char* size;
        VideoSubtype subtype;
        const char* codec;
        int width, height;
        const char* ffprobeCodec;
        const char* pixelFormat; // as the camera delivers it, for the raw formats
        guint dropEvery = 0;
        std::uint32_t preAllocationGB = 0;
    } cases[] = {
        {"720x480", VideoSubtype::YUY2, "NONE", 720, 480, "rawvideo", "yuyv422"},
        {"720x576", VideoSubtype::UYVY, "NONE", 720, 576, "rawvideo", "uyvy422"},
        {"640x480", VideoSubtype::RGB24, "NONE", 640, 480, "rawvideo", "bgr24"},
        {"640x480", VideoSubtype::MJPG, "NONE", 640, 480, "mjpeg", nullptr},
        {"720x576", VideoSubtype::YUY2, "JPEG image encoder", 720, 576, "mjpeg", nullptr},
        {"640x480", VideoSubtype::YUY2, "NONE", 640, 480, "rawvideo", "yuyv422", 50},
        // Claimed in real blocks at the start, cut to what was written at the end.
        {"640x480", VideoSubtype::YUY2, "NONE", 640, 480, "rawvideo", "yuyv422", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.size) + " " + c.codec + " dropping " + std::to_string(c.dropEvery));
        Select(c.size, c.subtype, c.codec);
        m_options.FilePreAllocation = c.preAllocationGB > 0;
        m_options.ManualAllocationGB = c.preAllocationGB;
        m_graph->SetSourceSetup([&c](GstElement* source) { g_object_set(source, "drop-every", c.dropEvery, nullptr); });
        const QString file = m_dir.FilePath(QStringLiteral("rec.avi"));
        bool timingRecord = false; // asked for only where the file holds the camera's own frames
        m_graph->SetRecordingFinishedHandler([&](const QString&, VideoSubtype s) { timingRecord = MakesTimingRecord(s); });
        struct stat st {};
        const QString avi = Record(5000, file, [&] {
            if (c.preAllocationGB == 0)
                return;
            ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
            EXPECT_EQ(st.st_size, 1LL << 30);
            EXPECT_GE(static_cast<long long>(st.st_blocks) * 512, 1LL << 30); // not a sparse file
        });
        ASSERT_EQ(::stat(QFile::encodeName(avi).constData(), &st), 0);
        EXPECT_LT(st.st_size, 1LL << 30);
        const QString log = QString::fromLatin1(ReadFileBytes(RecordingLogFileName(avi)));
        const int logged = RecordingLogCount(log, "Number of recorded frames");
        const int dropped = RecordingLogCount(log, "Number of dropped frames");
        EXPECT_GT(logged, 100); // five seconds at 25 or 30 frames per second
        // One frame in fifty missing from the sequence: the count follows within one.
        EXPECT_NEAR(dropped, c.dropEvery ? (logged + dropped) / static_cast<int>(c.dropEvery) : 0, c.dropEvery ? 1 : 0);
        const VideoProbe p = ProbeVideo(avi);
        EXPECT_EQ(p.frames, logged);
        EXPECT_EQ(p.width, c.width);
        EXPECT_EQ(p.height, c.height);
        EXPECT_EQ(p.codec, QLatin1String(c.ffprobeCodec));
        EXPECT_EQ(timingRecord, (c.subtype == VideoSubtype::YUY2 || c.subtype == VideoSubtype::UYVY) && p.codec == QLatin1String("rawvideo"));
        EXPECT_EQ(p.pixelFormat, QLatin1String(c.pixelFormat ? c.pixelFormat : p.pixelFormat.toLatin1().constData()));
        EXPECT_EQ(p.rate, c.width == 720 && c.height == 576 ? QStringLiteral("25/1") : QStringLiteral("30000/1001"));
        QFile::remove(avi);
    }
}

// A build that fails says why, takes back the file it made (pre-allocation claims one
// early), keeps one that was there before, and never writes to standard output.
TEST_F(CaptureGraphTest, AFailedBuildSaysWhyAndLeavesNoFileOfItsOwn)
{
    Select("640x480", VideoSubtype::YUY2);
    m_options.FilePreAllocation = true;
    m_options.ManualAllocationGB = 1;
    m_state.RecordingActive = true;
    const QString file = m_dir.FilePath(QStringLiteral("rec.avi"));
    const PreAllocationCalls lost{OpenThenLose, UnsupportedFallocate, ::ftruncate, ::close};

    struct Case {
        const char* what;
        QString file;
        const char* reason;
        bool fullDisk = false, unplugged = false, hideMuxer = false, fileBefore = false;
        const PreAllocationCalls* calls = &kSystemPreAllocationCalls;
    };
    const Case cases[] = {
        {"no file name", QString(), "The recording was not started: it has no file name."},
        {"missing folder", m_dir.FilePath(QStringLiteral("missing/rec.avi")), "missing/rec.avi\" cannot be written"},
        {"too little room", file, "The recording was not started: there is room for only 1 MB", true},
        {"camera cannot be opened", file, "ERROR -- VTI Simulator: ", false, true},
        {"a file that was there before stays", file, "", false, true, false, true},
        {"no multiplexer after the space was claimed", file, "", false, false, true},
        {"the claimed file is gone before it is opened", file, "", false, false, false, false, &lost},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_messages.Clear();
        if (c.fileBefore) {
            QFile before(file);
            ASSERT_TRUE(before.open(QIODevice::WriteOnly));
        }
        std::optional<ScopedHiddenFeatures> hidden;
        if (c.hideMuxer)
            hidden.emplace([](const char* name, const char*) { return std::strcmp(name, "avimux") == 0; });
        std::optional<ScopedFileSizeLimit> limit;
        if (c.fullDisk)
            limit.emplace(1 << 20);
        CaptureGraph graph(Parts(*c.calls), nullptr, 0);
        QFile unplugged(m_dir.FilePath(QLatin1String(kUnplugFile)));
        if (c.unplugged) {
            ASSERT_TRUE(unplugged.open(QIODevice::WriteOnly));
        }
        testing::internal::CaptureStdout();
        const Status built = graph.BuildGraph(&c.file, true);
        limit.reset();
        QTest::qWait(500);
        const Status stopped = graph.StopGraph();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "bytes written to standard output";
        unplugged.remove();
        hidden.reset();
        EXPECT_TRUE(Failed(built)) << StatusCode(built);
        EXPECT_EQ(stopped, Status::Ok);
        const QString messages = m_messages.Text();
        EXPECT_TRUE(messages.contains(QLatin1String(c.reason))) << messages.toStdString();
        EXPECT_EQ(QDir(m_dir.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), c.fileBefore ? QStringList{QStringLiteral("rec.avi")} : QStringList());
        QFile::remove(file);
    }
}

TEST_F(CaptureGraphTest, AnalysisOnMjpgIsRefusedAndTheRetryPreviewsWithoutIt)
{
    Select("640x480", VideoSubtype::MJPG);
    m_state.Analysis.saturationThreshold = 200;
    EXPECT_EQ(m_graph->BuildGraph(nullptr, true), Status::NotImplemented);
    EXPECT_TRUE(m_messages.Text().contains(QStringLiteral("Pixel analysis not supported for selected device")));

    EXPECT_EQ(m_recording.StartCapture(), Status::Ok); // switches the analyses off and builds again
    EXPECT_EQ(m_state.Analysis.saturationThreshold, -1);
    EXPECT_FALSE(m_graph->PixelAnalysisRequested());
    EXPECT_EQ(gst_bin_get_by_name(GST_BIN(m_graph->Pipeline()), "VELA Transform Filter Video"), nullptr);
    EXPECT_EQ(m_graph->State(), GraphState::Running);
    EXPECT_EQ(m_recording.StopCapture(), Status::Ok);
}

TEST_F(CaptureGraphTest, ElementRunsInThePreviewAndColourReachesTheBalance)
{
    Select("720x480", VideoSubtype::YUY2);
    m_state.Analysis.saturationThreshold = 100;
    m_state.BrightnessContrastShown = true;
    ASSERT_EQ(m_recording.StartCapture(), Status::Ok);
    GstElement* filter = gst_bin_get_by_name(GST_BIN(m_graph->Pipeline()), "VELA Transform Filter Video");
    GstElement* balance = gst_bin_get_by_name(GST_BIN(m_graph->Pipeline()), "Color Control");
    ASSERT_TRUE(filter && balance);
    // -1 leaves that control as it is.
    for (const auto& [setBrightness, setContrast, contrast] : {std::tuple{75, -1, 1.0}, {-1, 0, 0.0}}) {
        EXPECT_EQ(m_graph->SetBrightnessContrast(setBrightness, setContrast), Status::Ok);
        double b = 0, c = 0;
        g_object_get(balance, "brightness", &b, "contrast", &c, nullptr);
        EXPECT_NEAR(b, 63 / 127.0, 1e-9);
        EXPECT_NEAR(c, contrast, 1e-9);
    }
    gst_object_unref(filter);
    gst_object_unref(balance);
    EXPECT_EQ(m_recording.StopCapture(), Status::Ok);
}

TEST_F(CaptureGraphTest, AFullDiskEndsTheRecordingReadableAndThePreviewGoesOn)
{
    const QString small = m_dir.FilePath(QStringLiteral("small"));
    ASSERT_TRUE(QDir().mkpath(small));
    if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=48m", "tmpfs", small}) != 0)
        GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    const auto unmount = qScopeGuard([&small] { QProcess::execute(QStringLiteral("umount"), {small}); });
    Select("640x480", VideoSubtype::YUY2);
    ExpectReadable(Record(0, small + QStringLiteral("/full.avi"), [this] {
        ASSERT_TRUE(WaitForMessage(m_messages, "is full"));
        ASSERT_TRUE(m_messages.Text().contains(QStringLiteral("The recording was ended to keep the file readable")));
        const std::uint64_t before = m_graph->FramesDelivered();
        QTest::qWait(600);
        EXPECT_GT(m_graph->FramesDelivered(), before);
        EXPECT_EQ(m_graph->State(), GraphState::Running);
    }));

    m_state.RecordingActive = false; // the next start works
    EXPECT_EQ(m_recording.StartCapture(), Status::Ok);
    EXPECT_EQ(m_recording.StopCapture(), Status::Ok);
}

TEST_F(CaptureGraphTest, AnUnpluggedCameraFailsUntilPluggedInAgainAndItsRecordingStaysReadable)
{
    Select("640x480", VideoSubtype::YUY2);
    // As the program does; the restart fails while the camera is still out.
    m_graph->SetFailureHandler([this] { static_cast<void>(m_recording.RestartCapture()); });
    QFile unplugged(m_dir.FilePath(QLatin1String(kUnplugFile)));
    const auto unplug = [&unplugged] { ASSERT_TRUE(unplugged.open(QIODevice::WriteOnly)); unplugged.close(); };

    unplug();
    EXPECT_EQ(m_recording.StartCapture(), Status::Aborted);
    EXPECT_TRUE(WaitForMessage(m_messages, "ERROR -- VTI Simulator: Cannot identify device 'VTI Simulator'."));

    // Plugged in again: a recording starts, and pulling the camera out ends it readable.
    ASSERT_TRUE(unplugged.remove());
    m_state.RecordingActive = true;
    m_state.RecordingFileName = m_dir.FilePath(QStringLiteral("pulled.avi"));
    ASSERT_EQ(m_recording.StartCapture(), Status::Ok);
    QTest::qWait(1000);
    unplug();
    EXPECT_TRUE(WaitForMessage(m_messages, "ERROR -- VTI Simulator: Could not read from resource."));
    QTest::qWait(500);
    EXPECT_FALSE(m_state.RecordingActive);
    EXPECT_NE(m_graph->State(), GraphState::Running) << "restarted while still unplugged";
    ExpectReadable(m_state.RecordingFileName);

    // Plugged in again; an error still waiting on the bus when the recording stops (a lost
    // camera posts two) is no reason to leave the file without its header.
    ASSERT_TRUE(unplugged.remove());
    EXPECT_EQ(m_recording.StopCapture(), Status::Ok);
    ExpectReadable(Record(0, m_state.RecordingFileName, [this] {
        QTest::qWait(1000);
        GstElement* pipeline = m_graph->Pipeline();
        gst_element_post_message(pipeline, gst_message_new_error(GST_OBJECT(pipeline), nullptr, "stale"));
    }));
}

namespace {

// A timing record's rows: both fields' times in ten-thousandths of a second of the day
// (-1: empty) and the flags.
struct TimingRow {
    long long first = -1, second = -1;
    bool unreadable = false, gap = false, repeat = false;
};

std::vector<TimingRow> ReadTimingRecord(const QString& csv)
{
    const auto time = [](const QByteArray& t) {
        int h = 0, m = 0, s = 0, fraction = 0;
        return std::sscanf(t.constData(), "%d:%d:%d.%d", &h, &m, &s, &fraction) == 4
                   ? ((h * 60LL + m) * 60 + s) * 10'000 + fraction
                   : -1;
    };
    std::vector<TimingRow> rows;
    for (const QByteArray& line : ReadFileBytes(csv).split('\n').mid(1)) {
        const QList<QByteArray> f = line.trimmed().split(',');
        if (f.size() == 6)
            rows.push_back({time(f[1]), time(f[2]), f[3] == "1", f[4] == "1", f[5] == "1"});
    }
    return rows;
}

// Overwrites frame `to` of a recording with the bytes of frame `from`: a duplicated frame.
void CopyFrame(const QString& avi, std::size_t from, std::size_t to)
{
    const int fd = ::open(QFile::encodeName(avi).constData(), O_RDWR | O_CLOEXEC);
    const AviVideoStream v = ReadAviVideoStream(fd);
    ASSERT_GT(v.frames.size(), to);
    std::vector<char> bytes(v.frames[from].size);
    EXPECT_EQ(::pread(fd, bytes.data(), bytes.size(), v.frames[from].offset), static_cast<ssize_t>(bytes.size()));
    EXPECT_EQ(::pwrite(fd, bytes.data(), bytes.size(), v.frames[to].offset), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

} // namespace

// Every recorded frame's VTI time, read back into its timing record, is the simulator's to
// the millisecond, and the record marks exactly the frames dropped or duplicated.
TEST_F(CaptureGraphTest, TimingRecordsShowTheSimulatorsTimeAndExactlyItsGapsAndRepeats)
{
    LoadTheCharacterSets();
    Select("720x480", VideoSubtype::YUY2);
    constexpr gint64 kOffsetMs = 2500;
    constexpr double kDriftMsPerMinute = 600; // a frame period shows 1 % longer
    constexpr double kPeriod = 10'000 * 1001.0 / 30'000; // in ten-thousandths of a second
    constexpr long long kDay = 864'000'000;
    const auto now = [this] { return static_cast<long long>(UtcNowTicks(m_clock) % kTicksPerDay / 1000); };
    const auto after = [](long long a, long long b) { return ((b - a) % kDay + kDay + kDay / 2) % kDay - kDay / 2; };
    const struct {
        const char* name;
        guint dropEvery;
        bool duplicate, uyvy;
    } cases[] = {{"plain", 0, false, false},
                 {"every 7th frame dropped", 7, false, false},
                 {"frame 10 copied over frame 11", 0, true, false},
                 {"converted to UYVY", 0, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Not live: each frame shows the start time plus its own timestamp, so the steps are exact.
        m_graph->SetSourceSetup([&c](GstElement* source) {
            g_object_set(source, "is-live", FALSE, "offset", kOffsetMs, "drift", kDriftMsPerMinute, "drop-every",
                         c.dropEvery, nullptr);
        });
        const long long started = now();
        QString avi = Record(0, m_dir.FilePath(QStringLiteral("times.avi")), [this] {
            EXPECT_TRUE(QTest::qWaitFor([this] { return m_graph->FramesDelivered() >= 60; }, 30000));
        });
        const long long stopped = now();
        // The simulator's frame numbers behind the file's frames.
        std::vector<long long> shown;
        for (long long n = 0; static_cast<int>(shown.size()) < LoggedFrames(avi); ++n)
            if (c.dropEvery == 0 || (n + 1) % c.dropEvery != 0)
                shown.push_back(n);
        if (c.duplicate) {
            CopyFrame(avi, 10, 11);
            shown[11] = shown[10];
        }
        if (c.uyvy) {
            const QString uyvy = m_dir.FilePath(QStringLiteral("uyvy.avi"));
            ASSERT_EQ(QProcess::execute(QStringLiteral("ffmpeg"), {"-v", "error", "-i", avi, "-c:v", "rawvideo",
                                                                   "-pix_fmt", "uyvy422", "-y", uyvy}),
                      0);
            avi = uyvy;
        }

        const TimingRecordOutcome outcome = WriteTimingRecord(avi, m_sets);
        ASSERT_TRUE(outcome.written) << outcome.message.toStdString();
        const std::vector<TimingRow> rows = ReadTimingRecord(TimingRecordFileName(avi));
        ASSERT_EQ(rows.size(), shown.size());
        ASSERT_GE(rows.size(), 60u);
        const long long firstUtc = rows[0].first - kOffsetMs * 10;
        EXPECT_GE(after(started, firstUtc), 0);
        EXPECT_GE(after(firstUtc, stopped), 0);
        int gaps = 0, repeats = 0;
        for (std::size_t n = 0; n < rows.size(); ++n) {
            SCOPED_TRACE(n);
            ASSERT_FALSE(rows[n].unreadable);
            const double expected = static_cast<double>(shown[n] - shown[0]) * kPeriod * (1 + kDriftMsPerMinute / 60'000);
            EXPECT_LT(std::abs(static_cast<double>(after(rows[0].first, rows[n].first)) - expected), 10.0);
            EXPECT_NEAR(static_cast<double>(after(rows[n].first, rows[n].second)), kPeriod / 2, 2.0);
            const long long step = n == 0 ? 1 : shown[n] - shown[n - 1];
            EXPECT_EQ(rows[n].gap, step > 1);
            EXPECT_EQ(rows[n].repeat, step == 0);
            gaps += step > 1;
            repeats += step == 0;
        }
        EXPECT_TRUE(outcome.message.contains(
            QStringLiteral("%1 frames, %2 gaps, %3 repeats, 0 unreadable").arg(rows.size()).arg(gaps).arg(repeats)))
            << outcome.message.toStdString();
        EXPECT_EQ(gaps > 5, c.dropEvery > 0);
    }
}

// Also where frames go missing before the analysis (a camera or a busy queue that drops):
// each sample keeps its place in time.
TEST_F(CaptureGraphTest, ClockDriftIsMeasuredOnUyvyFramesAlsoWhenFramesAreLost)
{
    LoadTheCharacterSets();
    Select("720x576", VideoSubtype::UYVY);
    for (const guint dropEvery : {0u, 5u}) {
        SCOPED_TRACE(dropEvery);
        FrameTimeClock clock(UtcNowTicks(m_clock));
        FramePipeline frames{m_sets, m_messages, clock};
        CaptureGraph graph({m_options, m_devices, m_state, m_messages, frames, kSystemPreAllocationCalls}, nullptr, 0);
        m_recording.SetGraph(&graph);
        // Not live: as fast as the analysis goes, the VTI 2 ms a minute ahead of the frames' times.
        graph.SetSourceSetup([&](GstElement* source) {
            g_object_set(source, "is-live", FALSE, "drift", 2.0, "drop-every", dropEvery, "utc-clock",
                         static_cast<const Clock*>(&clock), nullptr);
            clock.Watch(source, "src");
            g_signal_connect(graph.Pipeline(), "element-added", G_CALLBACK(+[](GstBin*, GstElement* e, gpointer c) {
                if (g_strcmp0(GST_ELEMENT_NAME(e), "VELA Transform Filter Video") == 0)
                    static_cast<FrameTimeClock*>(c)->Watch(e, "sink");
            }), &clock);
        });
        m_state.Analysis.driftMinutes = 3;
        ASSERT_EQ(m_recording.StartCapture(), Status::Ok);
        EXPECT_TRUE(QTest::qWaitFor([&frames] { return frames.MeasurementFinished().IsRaised(); }, 120000));
        EXPECT_EQ(m_recording.StopCapture(), Status::Ok);
        m_recording.SetGraph(m_graph.get());
        const QString report = QString::fromLatin1(ReadFileBytes(m_dir.FilePath(QLatin1String(kDriftReportFile))));
        const auto fit = QRegularExpression(QStringLiteral("based on least squares fit: (\\S+)")).match(report);
        ASSERT_TRUE(fit.hasMatch()) << report.toStdString();
        EXPECT_NEAR(fit.captured(1).toDouble(), 2.0, 0.05);
        EXPECT_TRUE(report.contains(QStringLiteral("There were 0 frames that failed OCR"))) << report.toStdString();
    }
}
