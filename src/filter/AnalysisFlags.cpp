#include "filter/AnalysisFlags.h"

void MeasurementFinishedFlag::Raise()
{
    m_raised.store(true, std::memory_order_release);
    if (m_waker)
        m_waker();
}
