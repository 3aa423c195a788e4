#include "filter/DriftMeasurement.h"

#include "common/Clock.h"
#include "filter/DriftReport.h"

#include <cinttypes>
#include <cstdio>
#include <limits>

namespace {

FileTimeTicks Ticks(const CalendarTime& t)
{
    return CalendarToTicks(t).value_or(0);
}

} // namespace

FileTimeTicks VtiTicksNear(const CalendarTime& vtiTimeOfDay, FileTimeTicks computerTime)
{
    const FileTimeTicks timeOfDay =
        (((vtiTimeOfDay.hour * 60ull + vtiTimeOfDay.minute) * 60 + vtiTimeOfDay.second) * 1000 + vtiTimeOfDay.milliseconds)
        * kTicksPerMillisecond;
    FileTimeTicks vti = computerTime - computerTime % kTicksPerDay + timeOfDay;
    constexpr FileTimeTicks kHalfDay = kTicksPerDay / 2;
    if (computerTime > vti && computerTime - vti > kHalfDay)
        vti += kTicksPerDay;
    else if (vti > computerTime && vti - computerTime > kHalfDay && vti >= kTicksPerDay)
        vti -= kTicksPerDay;
    return vti;
}

void DriftMeasurement::Reset(std::uint32_t framesPerSecond, std::uint32_t driftMinutes)
{
    DriftRecord& d = m_record;
    d.sampleCount = 0;
    d.failedOcrCount = 0;
    d.positiveHistogram.fill(0);
    d.negativeHistogram.fill(0);
    d.startTime = m_clock.UtcNow();
    m_ocr.Reset(d.startTime);
    m_nextFrameNumber.reset();

    d.framesPerSecond = framesPerSecond ? framesPerSecond : 30;
    d.progressInterval = d.framesPerSecond * 20;
    d.driftMinutes = driftMinutes;
    const std::uint64_t total = std::uint64_t{driftMinutes} * d.framesPerSecond * 60;
    d.totalSamples = static_cast<std::uint32_t>(std::min<std::uint64_t>(total, std::numeric_limits<std::uint32_t>::max()));
    // Sized here, once per build, so a format faster than 30 frames per second still fits
    // and the frames themselves never allocate.
    d.samples.assign(d.totalSamples, DriftSample{});
    if (driftMinutes == 0)
        return;
    char text[80];
    std::snprintf(text, sizeof text, "Clock drift measurement will occur for %u minutes\r\n", driftMinutes);
    m_messages.Report(text, true);
}

void DriftMeasurement::CountSample()
{
    DriftRecord& d = m_record;
    if (++d.sampleCount % d.progressInterval == 0) {
        char text[96];
        std::snprintf(text, sizeof text, "Processed %" PRIu32 " frames of %" PRIu32 " total frames", d.sampleCount,
                      d.totalSamples);
        m_messages.Report(text, false);
    }
}

// The fit takes a sample's place for its time: a frame a busy computer's queue dropped, or a
// driver skipped, still takes its place, unread. A jump of more than ten seconds is no loss
// but a new count (a restarted or rewound sequence) and is not filled.
void DriftMeasurement::KeepPlacesOfLostFrames(std::uint64_t frameNumber)
{
    if (frameNumber == kNoFrameNumber)
        return;
    DriftRecord& d = m_record;
    if (m_nextFrameNumber && frameNumber > *m_nextFrameNumber
        && frameNumber - *m_nextFrameNumber <= std::uint64_t{d.framesPerSecond} * 10)
        for (std::uint64_t lost = frameNumber - *m_nextFrameNumber; lost > 0 && d.sampleCount < d.totalSamples; --lost) {
            d.samples[d.sampleCount].valid = 0;
            CountSample();
        }
    m_nextFrameNumber = frameNumber + 1;
}

Status DriftMeasurement::Step(const std::uint8_t* frame, const FrameGeometry& geometry, std::uint32_t& driftMinutes,
                              std::uint64_t frameNumber)
{
    if (driftMinutes == 0)
        return Status::Ok;
    if (!m_ocr.Enabled()) {
        driftMinutes = 0; // no reading this build: the frames pass as a plain copy
        return Status::Ok;
    }
    m_ocr.CountFrame();
    // The reader looks at luma in even bytes; UYVY has it one byte on.
    frame += LumaByte(geometry.subtype);
    DriftRecord& d = m_record;
    const bool probing = m_ocr.FrameCount() <= kProbeFrames;
    if (!probing)
        KeepPlacesOfLostFrames(frameNumber);
    if (probing) {
        m_ocr.CheckTimeDisplay(frame, geometry);
    } else if (d.sampleCount < d.totalSamples) {
        DriftSample& sample = d.samples[d.sampleCount];
        if (m_ocr.ReadVtiTime(frame, geometry)) {
            // The computer time is taken after the reading, when the frame is processed.
            sample.computerTime = Ticks(m_clock.UtcNow());
            sample.vtiTime = VtiTicksNear(m_ocr.VtiTime(), sample.computerTime);
            sample.valid = 1;
        } else {
            ++d.failedOcrCount;
            sample.valid = 0;
        }
        CountSample();
    } else {
        WriteDriftReport(d, m_messages);
        driftMinutes = 0;
        m_finished.Raise();
        return Status::Ok;
    }
    if (!m_ocr.Enabled())
        driftMinutes = 0;
    return Status::Ok;
}

void DriftMeasurement::SetLayout(bool tvSafeMode, bool cameraAttached)
{
    m_ocr.SetLayout(OcrLayout{tvSafeMode ? kRowBaseTvSafe : kRowBasePlain, cameraAttached});
}
