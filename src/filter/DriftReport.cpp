#include "filter/DriftReport.h"

#include "common/ProcessDirectory.h"
#include "filter/AnalysisMessages.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <memory>

namespace {

constexpr double kOutlierMs = 20.0;
constexpr std::uint32_t kSamplesPerRow = 40;
constexpr std::size_t kHighestPrintedBucket = 40;

void Append(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& out, const char* format, ...)
{
    char buf[256];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    if (n > 0)
        out.append(buf, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buf - 1));
}

// The drift with its sign; an undefined fit says so instead of printing a bogus number.
void AppendSigned(std::string& out, const char* format, double value)
{
    if (std::isfinite(value))
        Append(out, format, value);
    else
        out += "+nan";
}

// Averages 40 valid differences walking from first towards last (inclusive, either way);
// false when the walk ends with fewer.
bool AverageOf40(const DriftRecord& d, std::int64_t first, std::int64_t last, double& average)
{
    const std::int64_t step = last >= first ? 1 : -1;
    double sum = 0.0;
    std::uint32_t n = 0;
    for (std::int64_t i = first; n < kSamplesPerRow; i += step) {
        const DriftSample& s = d.samples[static_cast<std::size_t>(i)];
        if (s.valid) {
            sum += s.differenceMs;
            ++n;
        }
        if (i == last)
            break;
    }
    average = sum / 40.0;
    return n == kSamplesPerRow;
}

void AppendMinuteTable(std::string& out, const DriftRecord& d)
{
    const std::int64_t count = d.sampleCount;
    if (count == 0)
        return;
    double average = 0.0;
    if (!AverageOf40(d, 0, count - 1, average))
        return; // without a first row there is no heading
    out += "\nVELA VTI time minus processor time for each minute during drift measurement (milliseconds):\n";
    Append(out, " %+5.1f", average);
    for (std::uint32_t m = 1; m < d.driftMinutes; ++m) {
        const std::int64_t from = std::min<std::int64_t>(60ll * d.framesPerSecond * m - 20, count - 1);
        if (from >= 0 && AverageOf40(d, from, 0, average))
            Append(out, "\n %+5.1f", average);
    }
    if (count > 1 && AverageOf40(d, count - 1, 1, average))
        Append(out, "\n %+5.1f", average);
}

std::uint32_t RemoveOutliers(DriftRecord& d, const DriftFit& fit)
{
    std::uint32_t removed = 0;
    for (std::uint32_t i = 0; i < d.sampleCount; ++i) {
        DriftSample& s = d.samples[i];
        if (s.valid && std::fabs((i * fit.slope + fit.intercept) - s.differenceMs) > kOutlierMs) {
            s.valid = 0;
            ++removed;
        }
    }
    return removed;
}

void CountResiduals(DriftRecord& d, const DriftFit& fit)
{
    for (std::uint32_t i = 0; i < d.sampleCount; ++i) {
        const DriftSample& s = d.samples[i];
        if (!s.valid)
            continue;
        const ResidualBucket b = BucketOfResidual((i * fit.slope + fit.intercept) - s.differenceMs);
        ++(b.positive ? d.positiveHistogram : d.negativeHistogram)[b.index];
    }
}

void AppendHistogram(std::string& out, const DriftRecord& d)
{
    out += "\n\nFrame difference time histogram.\nColumns are (VTI time - processor time) in milliseconds and frame count.\n";
    const auto highest = [](const auto& histogram) {
        std::size_t top = 0;
        for (std::size_t k = 1; k <= kHighestPrintedBucket; ++k)
            if (histogram[k] > 0)
                top = k;
        return top;
    };
    for (std::size_t k = highest(d.negativeHistogram); k >= 1; --k)
        Append(out, " -%2zu   %" PRIu32 "\n", k, d.negativeHistogram[k]);
    Append(out, "   0   %" PRIu32 "\n", d.positiveHistogram[0] + d.negativeHistogram[0]);
    const std::size_t topPositive = highest(d.positiveHistogram);
    for (std::size_t k = 1; k <= topPositive; ++k)
        Append(out, " +%2zu   %" PRIu32 "\n", k, d.positiveHistogram[k]);
}

// The report is composed with "\n" and written as a Windows text-mode file would be.
std::string ToCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace

DriftFit FitDrift(const DriftRecord& d)
{
    double n = 0.0, sx = 0.0, sxx = 0.0, sy = 0.0, sxy = 0.0;
    for (std::uint32_t i = 0; i < d.sampleCount; ++i) {
        const DriftSample& s = d.samples[i];
        if (!s.valid)
            continue;
        const double x = i;
        n += 1.0;
        sx += x;
        sxx += static_cast<double>(std::uint64_t{i} * i); // exact square
        sy += s.differenceMs;
        sxy += x * s.differenceMs;
    }
    DriftFit fit;
    const double denominator = n * sxx - sx * sx;
    if (denominator == 0.0 || d.sampleCount == 0) {
        fit.slope = fit.intercept = fit.driftPerMinute = std::nan("");
        return fit;
    }
    fit.slope = (n * sxy - sy * sx) / denominator;
    fit.intercept = (sy * sxx - sxy * sx) / denominator;
    const double all = d.sampleCount;
    fit.driftPerMinute = ((all * fit.slope + fit.intercept) - fit.intercept) / (all / (d.framesPerSecond * 60.0));
    fit.defined = std::isfinite(fit.driftPerMinute);
    return fit;
}

ResidualBucket BucketOfResidual(double residual)
{
    const double rounded = std::clamp(std::floor(residual + 0.5), -49.0, 49.0);
    const int s = static_cast<int>(rounded);
    if (s != 0)
        return {s > 0, static_cast<std::size_t>(s > 0 ? s : -s)};
    return {residual > 0.0, 0};
}

std::string LongDateText(const CalendarTime& t)
{
    static constexpr const char* kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                              "July",    "August",   "September", "October", "November", "December"};
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month))
        return {};
    std::string out;
    Append(out, "%s, %s %u, %u", kDays[DayOfWeek(t.year, t.month, t.day)], kMonths[t.month - 1], unsigned{t.day},
           unsigned{t.year});
    return out;
}

std::string ComposeDriftReport(DriftRecord& d)
{
    std::string out;
    Append(out, "\nComputer clock drift measurement start time %02u:%02u:%02u %s (UTC)\n", unsigned{d.startTime.hour},
           unsigned{d.startTime.minute}, unsigned{d.startTime.second}, LongDateText(d.startTime).c_str());

    for (std::uint32_t i = 0; i < d.sampleCount; ++i) {
        DriftSample& s = d.samples[i];
        if (s.valid)
            s.differenceMs = static_cast<double>(static_cast<std::int64_t>(s.vtiTime - s.computerTime)) / 10000.0;
    }
    DriftFit fit = FitDrift(d);
    std::uint32_t outliers = 0;
    if (fit.defined) {
        outliers = RemoveOutliers(d, fit);
        if (outliers > 0)
            fit = FitDrift(d);
    }

    Append(out, "\nClock drift measured for a period of %u minutes\n", d.driftMinutes);
    out += "\nNumber of milliseconds drift per minute based on least squares fit: ";
    AppendSigned(out, "%+f", fit.driftPerMinute);
    out += '\n';
    AppendMinuteTable(out, d);
    // An undefined fit has no residuals to count.
    if (fit.defined)
        CountResiduals(d, fit);
    AppendHistogram(out, d);
    Append(out, "\nThere were %" PRIu32 " frames that failed OCR\n", d.failedOcrCount);
    if (outliers > 0)
        Append(out, "\nThere were %" PRIu32 " outlier frames removed after first least squares attempt\n", outliers);
    return ToCrLf(out);
}

void WriteDriftReport(DriftRecord& record, AnalysisMessages& messages)
{
    const std::string path = GetProcessDirectory() + kDriftReportFile;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file) {
        messages.Report(
            "\r\nTimeDeltas.txt file in process directory cannot be opened for writing.  Check protections.\r\n", true);
        return;
    }
    const std::string bytes = ComposeDriftReport(record);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    if (std::fclose(file.release()) != 0 || !written) {
        messages.Report("\r\nTimeDeltas.txt file in process directory could not be written completely.  "
                        "Check free disk space.\r\n",
                        true);
        return;
    }
    messages.Report(
        "\r\nComputer clock time drift information written to file TimeDeltas.txt in process directory\r\n", true);
}
