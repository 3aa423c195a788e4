#include "devices/PreAllocation.h"

#include "options/AppOptions.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kTenMinutesMs = std::chrono::milliseconds(std::chrono::minutes(10)).count();

int RealOpen(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

int RealFallocate(int fd, int mode, off_t offset, off_t length)
{
    return ::fallocate(fd, mode, offset, length);
}

template <typename Call>
int RetryOnSignal(Call call)
{
    int result;
    do
        result = call();
    while (result < 0 && errno == EINTR);
    return result;
}

} // namespace

const PreAllocationCalls kSystemPreAllocationCalls{RealOpen, RealFallocate, ::ftruncate, ::close};

PreAllocationRequest MakePreAllocationRequest(const AppOptions& o, bool recordingActive, const QString& fileName,
                                              const QString& codecName, std::chrono::milliseconds eventDuration)
{
    return {fileName,           codecName,       o.FilePreAllocation, o.ManualAllocationGB, o.EventAllocationGB,
            recordingActive, eventDuration};
}

std::int64_t PreAllocationSize(const PreAllocationRequest& r)
{
    if (!r.FilePreAllocation || !r.RecordingActive)
        return 0;
    const bool event = r.EventDuration != std::chrono::milliseconds::zero();
    const std::int64_t gigabytes = event ? r.EventAllocationGB : r.ManualAllocationGB;
    std::int64_t size = gigabytes * kAllocationGigabyte; // below 2^62
    if (event) {
        // size × ms / 600,000 exactly, split so that only a result beyond 64 bits (from a
        // hand-edited options file) can overflow; such a size is not claimed.
        const std::int64_t ms = r.EventDuration.count();
        std::int64_t whole = 0;
        if (__builtin_mul_overflow(size / kTenMinutesMs, ms, &whole)
            || __builtin_add_overflow(whole, (size % kTenMinutesMs) * ms / kTenMinutesMs, &size))
            return 0;
    }
    if (r.CodecName == QLatin1String(kLagarithCodecName))
        size /= 4;
    return size;
}

PreAllocationOutcome PreAllocateRecordingFile(const PreAllocationRequest& request, const PreAllocationCalls& calls)
{
    const std::int64_t size = PreAllocationSize(request);
    if (request.FileName.isEmpty() || size <= 0)
        return PreAllocationOutcome::NotAsked;
    const QByteArray path = QFile::encodeName(request.FileName);
    const int fd = RetryOnSignal(
        [&] { return calls.Open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); });
    if (fd < 0)
        return PreAllocationOutcome::NotCreated;

    // Mode 0, not FALLOC_FL_KEEP_SIZE: the file must end at the size, as the writer
    // writes it in place and cuts it when the recording stops.
    PreAllocationOutcome outcome = PreAllocationOutcome::Claimed;
    if (RetryOnSignal([&] { return calls.Fallocate(fd, 0, 0, static_cast<off_t>(size)); }) != 0) {
        if (errno == EOPNOTSUPP
            && RetryOnSignal([&] { return calls.Ftruncate(fd, static_cast<off_t>(size)); }) == 0) {
            outcome = PreAllocationOutcome::SizeOnly;
        } else {
            // Give back whatever part was claimed; the recording grows the file as usual.
            RetryOnSignal([&] { return calls.Ftruncate(fd, 0); });
            outcome = PreAllocationOutcome::Failed;
        }
    }
    calls.Close(fd);
    return outcome;
}
