#pragma once

#include "common/Status.h"
#include "filter/FrameGeometry.h"

#include <cstdint>

// The hand-over between the frame pipeline and the VTI OCR / clock-drift measurement.

// Chooses the OCR layout for the next graph build: row base 396 in TV safe mode, else
// 432; the camera-attached digit column table or the plain one.
void SetOcrLayout(bool tvSafeMode, bool cameraAttached);

// Clears the OCR and drift state at a graph build and announces the measurement when
// driftMinutes is above 0.
void ResetOcrAndDrift(std::uint32_t framesPerSecond, std::uint32_t driftMinutes);

// The per-frame drift step on a top-down frame; S_OK in every case. Sets driftMinutes to
// 0 when OCR gives up or the measurement ends; at the end, after the report is written,
// raises MeasurementFinished.
Status DriftStep(const std::uint8_t* frame, const FrameGeometry& geometry, std::uint32_t& driftMinutes);
