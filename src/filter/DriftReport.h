#pragma once

#include "common/CalendarTime.h"
#include "filter/AnalysisMessages.h"
#include "filter/DriftRecord.h"

#include <cstddef>
#include <string>

// The clock-drift report, "TimeDeltas.txt": a least-squares drift, the average
// difference per minute and a histogram of the residuals.

inline constexpr const char* kDriftReportFile = "TimeDeltas.txt";

// A line through the valid samples: x the sample index, y the difference in ms.
struct DriftFit {
    double slope = 0.0;
    double intercept = 0.0;
    double driftPerMinute = 0.0;
    bool defined = false; // false with fewer than two valid samples
};
DriftFit FitDrift(const DriftRecord& record);

// Where a residual (fitted minus measured, ms) is counted: rounded half up, at most 49.
struct ResidualBucket {
    bool positive = false;
    std::size_t index = 0;
};
ResidualBucket BucketOfResidual(double residual);

// "Sunday, December 6, 2026".
std::string LongDateText(const CalendarTime& t);

// The report's bytes (ISO 8859-1, CR LF). Fills the differences, removes the outliers
// once and counts the histograms in record.
std::string ComposeDriftReport(DriftRecord& record);

// Writes the report into the process directory and tells User Messages.
void WriteDriftReport(DriftRecord& record, AnalysisMessages& messages);
