#pragma once

#include "common/Status.h"
#include "filter/AnalysisSettings.h"
#include "filter/DarkLevels.h"
#include "filter/FrameGeometry.h"
#include "filter/Integration.h"
#include "filter/Saturation.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// The frame analysis of one graph build: the settings, the geometry and the state the
// modes keep between frames. The UI thread sets it up while no frame flows (ApplySettings,
// ResetAnalysis, SetFrameGeometry); the streaming thread then calls Transform for each
// frame. Nothing is allocated per frame.
class FramePipeline {
public:
    // At every graph build, before the graph runs. accumulatorSize is width x height x 4
    // of the selected format when integration is asked for, else 0. Status::Aborted
    // (reported) when the integration buffer cannot be had; the build then runs without
    // integration.
    Status ApplySettings(const RequestedAnalysis& requested, std::size_t accumulatorSize);

    // Right after ApplySettings: clears the OCR and drift state for this build.
    void ResetAnalysis(std::uint32_t framesPerSecond);

    // Once the filter is connected. Picks the kernels for the layout and makes sure the
    // integration buffer holds a whole frame of this stride. Status::Failed for an
    // unusable one.
    Status SetFrameGeometry(const FrameGeometry& g);

    // When the graph stops.
    void ReleaseIntegrationBuffer();

    // One frame: Status::Ok delivers dst, Status::Partial drops it, a failure stops the
    // stream.
    // src holds len bytes and dst at least as many; a frame shorter than stride x height
    // is dropped rather than read past its end.
    Status Transform(const std::uint8_t* src, std::uint8_t* dst, std::size_t len);

    const AnalysisSettings& Settings() const { return m_settings; }
    const FrameGeometry& Geometry() const { return m_geometry; }
    bool DarkLevelPending() const { return m_darkLevelPending; }
    const DarkLevels& Levels() const { return m_darkLevels; }
    std::size_t IntegrationBufferBytes() const { return m_integrationBytes; }

private:
    Status Integrate(const std::uint8_t* src, std::uint8_t* dst, std::size_t len);
    bool AllocateIntegrationBuffer(std::size_t bytes);

    AnalysisSettings m_settings;
    FrameGeometry m_geometry;
    std::size_t m_frameBytes = 0;
    MarkKernel m_mark = nullptr;

    std::unique_ptr<std::uint8_t[]> m_integration;
    std::size_t m_integrationBytes = 0;
    std::uint32_t m_integrationCounter = 0;
    bool m_darkLevelPending = false;
    DarkLevels m_darkLevels;
    DarkHistograms m_histograms;
    AddLevels m_addLevels;
};

// The one pipeline of the process; there is only ever one transform filter.
FramePipeline& TheFramePipeline();
