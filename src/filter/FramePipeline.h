#pragma once

#include "common/Status.h"
#include "filter/AnalysisSettings.h"
#include "filter/DarkLevels.h"
#include "filter/DriftMeasurement.h"
#include "filter/FrameGeometry.h"
#include "filter/Integration.h"
#include "filter/Saturation.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

// The frame analysis of one graph build: the settings, the geometry and the state the
// modes keep between frames. The UI thread sets it up while no frame flows (ApplySettings,
// ResetAnalysis, SetFrameGeometry); the streaming thread then calls Transform for each
// frame. Nothing is allocated per frame. The program has one, owned by the application
// object; the graph hands it to the transform element of each build.
class FramePipeline {
public:
    // The sets, the messages and the clock must outlive the pipeline; the waker (may be
    // null) is called on the streaming thread when a clock-drift measurement finishes.
    FramePipeline(const CharacterSetList& sets, AnalysisMessages& messages, const Clock& clock,
                  LoopWaker waker = nullptr)
        : m_messages(messages), m_drift(sets, messages, clock, waker)
    {
    }
    FramePipeline(const FramePipeline&) = delete;
    FramePipeline& operator=(const FramePipeline&) = delete;

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
    // is dropped rather than read past its end. frameNumber: the frame's place in the
    // camera's sequence, for the drift measurement (kNoFrameNumber when unknown).
    Status Transform(const std::uint8_t* src, std::uint8_t* dst, std::size_t len,
                     std::uint64_t frameNumber = kNoFrameNumber);

    const AnalysisSettings& Settings() const { return m_settings; }
    const FrameGeometry& Geometry() const { return m_geometry; }
    bool DarkLevelPending() const { return m_darkLevelPending; }
    const DarkLevels& Levels() const { return m_darkLevels; }
    std::size_t IntegrationBufferBytes() const { return m_integrationBytes; }

    // The threshold frames are marked with while they flow: -1 off, else 50..255. The
    // Pixel Saturation dialog moves it on the UI thread; each frame reads it once.
    void SetLiveSaturationThreshold(int threshold) { m_liveThreshold.store(threshold, std::memory_order_relaxed); }
    int LiveSaturationThreshold() const { return m_liveThreshold.load(std::memory_order_relaxed); }

    DriftMeasurement& Drift() { return m_drift; }
    // Raised when a clock-drift measurement has finished; frames are dropped until the
    // main loop takes it and rebuilds the graph.
    MeasurementFinishedFlag& MeasurementFinished() { return m_drift.Finished(); }

private:
    Status Integrate(const std::uint8_t* src, std::uint8_t* dst, std::size_t len);
    bool AllocateIntegrationBuffer(std::size_t bytes);

    AnalysisMessages& m_messages;
    DriftMeasurement m_drift;
    std::atomic<int> m_liveThreshold{-1};
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
