#include "filter/FramePipeline.h"

#include <algorithm>
#include <cstring>
#include <new>

Status FramePipeline::ApplySettings(const RequestedAnalysis& requested, std::size_t accumulatorSize)
{
    m_settings = SettingsFor(requested);
    SetLiveSaturationThreshold(m_settings.saturationThreshold);
    m_drift.SetLayout(requested.tvSafeMode, requested.cameraAttached);
    ReleaseIntegrationBuffer();
    m_integrationCounter = 0;
    m_darkLevels.yuy2 = 0;
    m_darkLevelPending = true;
    if (m_settings.integrationFrames > 1 && !AllocateIntegrationBuffer(accumulatorSize + 32))
        return Status::Aborted;
    return Status::Ok;
}

void FramePipeline::ResetAnalysis(std::uint32_t framesPerSecond)
{
    m_settings.framesPerSecond = FramesPerSecondOrDefault(framesPerSecond);
    m_drift.Reset(m_settings.framesPerSecond, m_settings.driftMinutes);
}

Status FramePipeline::SetFrameGeometry(const FrameGeometry& g)
{
    if (!IsUsable(g)) {
        m_geometry = FrameGeometry{};
        m_frameBytes = 0;
        m_mark = nullptr;
        return Status::Failed;
    }
    m_geometry = g;
    m_frameBytes = FrameBytes(g);
    m_mark = MarkKernelFor(g.subtype);
    // The buffer was sized from the selected format before connection; a padded stride
    // needs more, and a frame must never be copied past its end.
    if (m_settings.integrationFrames > 1 && m_integrationBytes < m_frameBytes &&
        !AllocateIntegrationBuffer(m_frameBytes))
        return Status::Aborted;
    return Status::Ok;
}

void FramePipeline::ReleaseIntegrationBuffer()
{
    m_integration.reset();
    m_integrationBytes = 0;
}

bool FramePipeline::AllocateIntegrationBuffer(std::size_t bytes)
{
    m_integration.reset(new (std::nothrow) std::uint8_t[bytes]());
    if (m_integration) {
        m_integrationBytes = bytes;
        return true;
    }
    m_integrationBytes = 0;
    m_settings.integrationFrames = 1;
    m_messages.Report("ERROR -- Not enough memory for frame integration; frames are shown without it.\r\n", true);
    return false;
}

Status FramePipeline::Transform(const std::uint8_t* src, std::uint8_t* dst, std::size_t len, std::uint64_t frameNumber)
{
    if (src == nullptr || dst == nullptr)
        return Status::NullPointer;
    if (m_drift.Finished().IsRaised())
        return Status::Aborted;
    if (m_frameBytes == 0)
        return Status::Unexpected;
    if (len < m_frameBytes)
        return Status::Partial;
    if (m_settings.integrationFrames > 1)
        return Integrate(src, dst, len);

    // The Pixel Saturation dialog moves the threshold while frames flow: one read per frame.
    const std::int32_t threshold = LiveSaturationThreshold();
    if (m_settings.driftMinutes > 0 || threshold < 0) {
        CopyOrIntegrate(dst, src, len, CopyForm::Copy, m_geometry, m_addLevels);
        if (m_settings.driftMinutes > 0)
            return m_drift.Step(dst, m_geometry, m_settings.driftMinutes, frameNumber);
        return Status::Ok;
    }
    m_mark(dst, src, m_geometry, static_cast<std::uint8_t>(threshold & 0xFF));
    if (len > m_frameBytes) // what follows the picture, as the copy form
        std::memcpy(dst + m_frameBytes, src + m_frameBytes, len - m_frameBytes);
    return Status::Ok;
}

// Of every N frames the first is copied into the buffer, the next N - 2 are added and the
// N-th delivers the buffer (with its own times, which travel on the element's buffers).
Status FramePipeline::Integrate(const std::uint8_t* src, std::uint8_t* dst, std::size_t len)
{
    if (m_darkLevelPending) {
        MeasureDarkLevels(src, m_geometry, m_settings.showHistogram, m_darkLevels, m_histograms, m_messages);
        m_addLevels = MakeAddLevels(m_geometry.subtype, m_darkLevels);
        m_darkLevelPending = false;
        return Status::Partial;
    }
    if (++m_integrationCounter >= m_settings.integrationFrames) {
        std::memcpy(dst, m_integration.get(), std::min(len, m_integrationBytes));
        m_integrationCounter = 0;
        return Status::Ok;
    }
    const CopyForm form = m_integrationCounter == 1 ? CopyForm::StartAnew : CopyForm::Add;
    CopyOrIntegrate(m_integration.get(), src, m_frameBytes, form, m_geometry, m_addLevels);
    return Status::Partial;
}
