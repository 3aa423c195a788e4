#pragma once

#include <cstdint>

// What a media sample carries beside its bytes. The capture back end fills the input's
// record from its buffer and applies the output's to the buffer it pushes on.
struct SampleProperties {
    bool hasTime = false; // start and end are reported
    std::int64_t timeStart = 0;
    std::int64_t timeEnd = 0;
    bool hasMediaTime = false;
    std::int64_t mediaTimeStart = 0;
    std::int64_t mediaTimeEnd = 0;
    bool syncPoint = false;
    const void* mediaType = nullptr; // a type change the back end owns; null when none
    bool preroll = false;
    bool discontinuity = false;
    std::int32_t actualDataLength = 0;
};

// The output takes over the input's times (or their absence, so an output record
// reused from an earlier frame never keeps stale times), flags, type and length.
void CopySampleProperties(const SampleProperties& input, SampleProperties& output);
