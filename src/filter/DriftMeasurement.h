#pragma once

#include "common/CalendarTime.h"
#include "common/Status.h"
#include "filter/CharacterSet.h"
#include "filter/DriftRecord.h"
#include "filter/FrameGeometry.h"
#include "filter/VtiOcr.h"

#include <cstdint>

// The hand-over between the frame pipeline and the VTI OCR / clock-drift measurement.

// Chooses the OCR layout for the next graph build: row base 396 in TV safe mode, else
// 432; the camera-attached digit column table or the plain one.
void SetOcrLayout(bool tvSafeMode, bool cameraAttached);

// Clears the OCR and drift state at a graph build and announces the measurement when
// driftMinutes is above 0.
void ResetOcrAndDrift(std::uint32_t framesPerSecond, std::uint32_t driftMinutes);

// The per-frame drift step on a top-down frame; Status::Ok in every case. Sets driftMinutes to
// 0 when OCR gives up or the measurement ends; at the end, after the report is written,
// raises MeasurementFinished.
Status DriftStep(const std::uint8_t* frame, const FrameGeometry& geometry, std::uint32_t& driftMinutes);

// The measurement behind the three functions above: the reader plus the samples.
class DriftMeasurement {
public:
    explicit DriftMeasurement(const CharacterSetList& sets = LoadedCharacterSets()) : m_ocr(sets) {}

    void SetLayout(const OcrLayout& layout) { m_ocr.SetLayout(layout); }
    void Reset(std::uint32_t framesPerSecond, std::uint32_t driftMinutes);
    Status Step(const std::uint8_t* frame, const FrameGeometry& geometry, std::uint32_t& driftMinutes);

    DriftRecord& Record() { return m_record; }
    VtiOcr& Ocr() { return m_ocr; }

private:
    VtiOcr m_ocr;
    DriftRecord m_record;
};

DriftMeasurement& TheDriftMeasurement();

// The file time of a VTI time of day read at computerTime: on the computer's date, or the
// next or previous one when the two times of day lie more than 12 hours apart (a
// measurement across midnight UTC).
FileTimeTicks VtiTicksNear(const CalendarTime& vtiTimeOfDay, FileTimeTicks computerTime);
