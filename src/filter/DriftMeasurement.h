#pragma once

#include "common/CalendarTime.h"
#include "common/Status.h"
#include "filter/AnalysisFlags.h"
#include "filter/AnalysisMessages.h"
#include "filter/CharacterSet.h"
#include "filter/DriftRecord.h"
#include "filter/FrameGeometry.h"
#include "filter/VtiOcr.h"

#include <cstdint>
#include <optional>

class Clock;

// A frame whose place in the camera's sequence is not known.
inline constexpr std::uint64_t kNoFrameNumber = ~std::uint64_t{0};

// The VTI OCR and the clock-drift measurement of one graph build: the reader plus the
// samples.
class DriftMeasurement {
public:
    // The sets, the messages and the clock must outlive the measurement; the waker (may be
    // null) is called on the streaming thread when the measurement has finished.
    DriftMeasurement(const CharacterSetList& sets, AnalysisMessages& messages, const Clock& clock,
                     LoopWaker waker = nullptr)
        : m_ocr(sets, messages), m_messages(messages), m_clock(clock), m_finished(waker)
    {
    }

    // For the next graph build: row base 396 in TV safe mode, else 432; the
    // camera-attached digit column table or the plain one.
    void SetLayout(bool tvSafeMode, bool cameraAttached);
    // Clears the OCR and drift state at a graph build and announces the measurement when
    // driftMinutes is above 0.
    void Reset(std::uint32_t framesPerSecond, std::uint32_t driftMinutes);
    // The per-frame step on a top-down frame; Status::Ok in every case. Sets driftMinutes
    // to 0 when OCR gives up or the measurement ends; at the end, after the report is
    // written, raises Finished(). frameNumber is the frame's place in the camera's sequence
    // (kNoFrameNumber when unknown): frames lost before the analysis keep their places as
    // samples without a reading, so that a sample's place stays its time in the fit.
    Status Step(const std::uint8_t* frame, const FrameGeometry& geometry, std::uint32_t& driftMinutes,
                std::uint64_t frameNumber = kNoFrameNumber);

    DriftRecord& Record() { return m_record; }
    VtiOcr& Ocr() { return m_ocr; }
    MeasurementFinishedFlag& Finished() { return m_finished; }

private:
    void KeepPlacesOfLostFrames(std::uint64_t frameNumber);
    void CountSample();

    VtiOcr m_ocr;
    DriftRecord m_record;
    std::optional<std::uint64_t> m_nextFrameNumber; // the number the next frame should carry
    AnalysisMessages& m_messages;
    const Clock& m_clock;
    MeasurementFinishedFlag m_finished;
};

// The file time of a VTI time of day read at computerTime: on the computer's date, or the
// next or previous one when the two times of day lie more than 12 hours apart (a
// measurement across midnight UTC).
FileTimeTicks VtiTicksNear(const CalendarTime& vtiTimeOfDay, FileTimeTicks computerTime);
