// Placeholder until the OCR and drift measurement land: no layout, no measurement.
#include "filter/DriftMeasurement.h"

void SetOcrLayout(bool, bool)
{
}

void ResetOcrAndDrift(std::uint32_t, std::uint32_t)
{
}

Status DriftStep(const std::uint8_t*, const FrameGeometry&, std::uint32_t& driftMinutes)
{
    driftMinutes = 0;
    return S_OK;
}
