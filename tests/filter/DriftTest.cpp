#include "FilterTestSupport.h"

#include "common/Clock.h"
#include "filter/DriftMeasurement.h"
#include "filter/DriftReport.h"
#include "filter/VtiOverlay.h"
#include "support/TempDir.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <random>

namespace {

constexpr CalendarTime kStart{2026, 12, 0, 6, 14, 3, 7, 250};
const std::string kWritten = "\r\nComputer clock time drift information written to file TimeDeltas.txt in process directory\r\n";

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// Samples one period apart; each difference in ms, or none for a frame that failed OCR.
DriftRecord MakeRecord(std::uint32_t fps, std::uint32_t minutes, const std::vector<std::optional<double>>& differences)
{
    DriftRecord d;
    d.framesPerSecond = fps;
    d.driftMinutes = minutes;
    d.startTime = kStart;
    d.sampleCount = d.totalSamples = static_cast<std::uint32_t>(differences.size());
    d.samples.resize(differences.size());
    for (std::size_t i = 0; i < differences.size(); ++i) {
        DriftSample& s = d.samples[i];
        s.computerTime = *CalendarToTicks(kStart) + i * kTicksPerSecond / fps;
        if (differences[i])
            s.vtiTime = s.computerTime + static_cast<FileTimeTicks>(std::llround(*differences[i] * 10'000));
        s.valid = differences[i].has_value();
        d.failedOcrCount += !s.valid;
    }
    return d;
}

double DriftIn(const std::string& report)
{
    const std::string key = "based on least squares fit: ";
    const auto at = report.find(key);
    return at == std::string::npos ? std::nan("") : std::strtod(report.c_str() + at + key.size(), nullptr);
}

// A VTI camera beside a computer clock that loses driftMsPerMinute against it, run
// through the per-frame step until the measurement ends.
struct Measurement {
    std::uint32_t fps = 25, minutes = 3;
    CalendarTime computerStart = kStart;
    double vtiAheadMs = 300.0, driftMsPerMinute = 1.0;
    std::function<void(std::uint32_t, VtiDisplayTime&)> shown = [](std::uint32_t, VtiDisplayTime&) {};
    bool reportBlocked = false; // a folder where the report should go

    std::string report{};
    bool finished = false;
    std::uint32_t frames = 0;
    DriftRecord record{};

    Measurement& Run(const CharacterSetList& sets, CapturedMessages& messages)
    {
        ScopedProcessDirectory dir;
        EXPECT_TRUE(!reportBlocked || QDir(dir.Path()).mkdir(kDriftReportFile));
        ManualClock clock(computerStart);
        DriftMeasurement m(sets, messages, clock);
        m.SetLayout(true, true);
        m.Reset(fps, minutes);
        TestFrame frame = TestFrame::Grey(720, 576);
        const FileTimeTicks period = kTicksPerSecond / fps, computer0 = *CalendarToTicks(computerStart);
        const auto vti0 = static_cast<FileTimeTicks>(static_cast<double>(computer0) + vtiAheadMs * 10'000);
        FileTimeTicks clockTicks = computer0;
        std::uint32_t left = minutes;
        // Frames reach the analysis up to a millisecond late, as they do on a real computer;
        // without that dither the millisecond steps of both clocks would bias the fit.
        std::mt19937 latency(7);
        while (left > 0 && frames < 200'000) {
            const std::uint32_t k = frames++;
            VtiDisplayTime display = VtiDisplayTimeAt(vti0 + k * period, period / 2);
            shown(k, display);
            DrawVtiTime(frame.Data(), frame.geometry, {kRowBaseTvSafe, true}, display, k % 2 ? FieldPhase::Odd : FieldPhase::Even);
            const auto computer = computer0 + latency() % kTicksPerMillisecond
                + static_cast<FileTimeTicks>(std::llround(static_cast<double>(k * period) * (1.0 - driftMsPerMinute / 60'000.0)));
            clock.Advance(FileTimeSpan(static_cast<std::int64_t>(computer - clockTicks)));
            clockTicks = computer;
            EXPECT_EQ(m.Step(frame.Data(), frame.geometry, left), Status::Ok);
        }
        finished = m.Finished().Take();
        report = ReadFileBytes(dir.FilePath(kDriftReportFile)).toStdString();
        record = m.Record();
        return *this;
    }
};

class DriftMeasurementTest : public ::testing::Test {
protected:
    CharacterSetList sets = FontSets();
    CapturedMessages messages;
};

} // namespace

TEST_F(DriftMeasurementTest, InjectedDriftIsMeasuredAndReported)
{
    // The midnight cases pass it on the VTI before the computer does, and after it; the
    // repeating VTI shows one second twice while it corrects itself: 25 frames 1 s behind.
    const CalendarTime lateNight{2026, 12, 0, 31, 23, 58, 45, 0};
    const auto repeat = [](std::uint32_t k, VtiDisplayTime& t) {
        t.second = static_cast<std::uint16_t>(k >= 2010 && k < 2035 ? (t.second + 59) % 60 : t.second);
    };
    const std::pair<Measurement, std::string> cases[] = {
        {{25, 3, kStart, 300.0, -2.5}, "There were 0 frames that failed OCR\r\n"},
        {{60, 10, kStart, 300.0, 0.25}, "There were 0 frames that failed OCR\r\n"},
        {{25, 4, lateNight, 500.0, 1.0}, "start time 23:58:45 Thursday, December 31, 2026 (UTC)"},
        {{25, 4, lateNight, -500.0, 1.0}, "start time 23:58:45 Thursday, December 31, 2026 (UTC)"},
        {{25, 4, kStart, 300.0, 1.0, repeat}, "There were 25 outlier frames removed after first least squares attempt\r\n"},
    };
    for (auto [run, inReport] : cases) {
        CapturedMessages log;
        const Measurement& r = run.Run(sets, log);
        SCOPED_TRACE(testing::Message() << r.fps << " fps " << r.minutes << " min, " << inReport);
        const std::uint32_t total = r.minutes * 60 * r.fps;
        EXPECT_EQ(r.record.totalSamples, total);
        EXPECT_EQ(r.frames, 30 + total + 1) << "probe frames, samples, then the report frame";
        EXPECT_TRUE(r.finished);
        // Three minutes hold too few millisecond steps for that precision.
        EXPECT_NEAR(DriftIn(r.report), r.driftMsPerMinute, r.minutes > 3 ? 0.005 : 0.05);
        EXPECT_TRUE(Has(r.report, inReport));
        EXPECT_EQ(Has(r.report, "outlier"), Has(inReport, "outlier"));
        EXPECT_EQ(std::pair(log.entries.back().text, log.entries.back().timeStamp), std::pair(kWritten, true));
    }
    const FileTimeTicks newYear = *CalendarToTicks({2027, 1, 0, 1, 0, 0, 0, 0});
    const FileTimeTicks ms = kTicksPerMillisecond;
    EXPECT_EQ(VtiTicksNear({0, 0, 0, 0, 23, 59, 59, 900}, newYear + 3000 * ms), newYear - 100 * ms);
    EXPECT_EQ(VtiTicksNear({0, 0, 0, 0, 0, 0, 0, 200}, newYear - 300 * ms), newYear + 200 * ms);
    EXPECT_EQ(VtiTicksNear({0, 0, 0, 0, 12, 0, 0, 0}, newYear), newYear + 12 * 3600 * kTicksPerSecond)
        << "exactly 12 hours apart stays on the computer's date";
}

TEST_F(DriftMeasurementTest, OcrGivingUpOrAnUnwritableReportEndsTheMeasurementWithoutReport)
{
    // Frames after the probe lose their first digit (a tens digit above 2 is never tried):
    // the twelfth stops OCR.
    Measurement lost;
    lost.shown = [](std::uint32_t k, VtiDisplayTime& t) { t.hour = k >= 30 ? 34 : t.hour; };
    lost.Run(sets, messages);
    EXPECT_EQ(lost.frames, 30 + 12u);
    EXPECT_FALSE(lost.finished);
    EXPECT_TRUE(lost.report.empty());
    EXPECT_EQ(lost.record.failedOcrCount, 12u);
    EXPECT_EQ(messages.Count("Too many consecutive lost frames.  Stopping OCR.\r\n"), 1);

    const Measurement& r = Measurement{}.Run(CharacterSetList{{sets.sets[0]}}, messages);
    EXPECT_EQ(r.frames, 1u) << "no OCR: the step gives up at once";
    EXPECT_TRUE(r.report.empty());
    const std::string missing = "As reported at application startup, character recognition sets are missing.  You cannot do OCR.\r\n";
    EXPECT_EQ(std::count_if(messages.entries.begin(), messages.entries.end(),
                            [&](const auto& e) { return e.text == missing && e.timeStamp; }), 1) << "stamped, once";

    Measurement blocked;
    blocked.reportBlocked = true;
    EXPECT_TRUE(blocked.Run(sets, messages).finished);
    EXPECT_EQ(messages.Count("\r\nTimeDeltas.txt file in process directory cannot be opened for writing.  Check protections.\r\n"), 1);
}

TEST(DriftReport, GoldenFileShortUndefinedAndOutlierReports)
{
    // The golden file: fps 1, 3 minutes, difference 0.52 + 0.1 i ms; sample 12 failed; sample
    // 100 an outlier; +2, -4, +2 ms at 20, 40, 60 (they leave the fit unchanged).
    std::vector<std::optional<double>> golden;
    for (int i = 0; i < 180; ++i)
        golden.emplace_back(0.52 + 0.1 * i + (i == 100 ? 200 : i == 20 || i == 60 ? 2 : i == 40 ? -4 : 0));
    golden[12].reset();
    DriftRecord goldenRecord = MakeRecord(1, 3, golden);
    EXPECT_EQ(ComposeDriftReport(goldenRecord), ReadFileBytes(VELA_FILTER_TESTS_DIR "/TimeDeltasGolden.txt").toStdString());
    EXPECT_EQ(LongDateText({2024, 2, 0, 29, 0, 0, 0, 0}), "Thursday, February 29, 2024");
    EXPECT_EQ(LongDateText({2027, 1, 3, 1, 0, 0, 0, 0}), "Friday, January 1, 2027") << "weekday from the date";

    // 39 valid samples leave out the minute table; no valid sample has no fit; of a
    // +400 and a +28 among zeros only the first goes as outlier, the second stays 27 ms off.
    std::vector<std::optional<double>> few(180), outliers(100, 0.0);
    for (int i = 0; i < 39; ++i)
        few[static_cast<std::size_t>(i * 4)] = 5.0 + 0.01 * i;
    outliers[99] = 400.0;
    outliers[90] = 28.0;
    const struct {
        DriftRecord record;
        std::vector<std::string> present, absent;
    } cases[] = {
        {MakeRecord(1, 3, few), {"+0.150000\r\n\r\n\r\nFrame difference time histogram.\r\n", "   0   39\r\n",
                                 "There were 141 frames that failed OCR"}, {"VELA VTI time minus processor time"}},
        {MakeRecord(25, 3, std::vector<std::optional<double>>(100)), {"based on least squares fit: +nan\r\n", "   0   0\r\n"}, {}},
        {MakeRecord(1, 2, outliers), {"There were 1 outlier frames removed", " -27   1\r\n"}, {}},
    };
    for (auto c : cases) {
        const std::string report = ComposeDriftReport(c.record);
        for (const std::string& part : c.present)
            EXPECT_TRUE(Has(report, part)) << part << " in\n" << report;
        for (const std::string& part : c.absent)
            EXPECT_FALSE(Has(report, part)) << part;
    }
}
