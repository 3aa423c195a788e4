#pragma once

#include "filter/CharacterSet.h"
#include "filter/VtiOcr.h"
#include "filter/VtiTimingRecord.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

struct RecordedVtiTimesRequest {
    std::uint64_t maxFrames = 0; // 0: every frame of the file
    // Where the time line lies (TV safe mode, camera attached); nothing: the layout under
    // which the first frames read, for uncompressed 4:2:2 files.
    std::optional<OcrLayout> layout;
    bool packed422Only = false;               // refuse other formats instead of decoding them
    const std::atomic<bool>* cancel = nullptr; // reading stops, with an error, once it is set
};

struct RecordedVtiTimes {
    std::vector<VtiFrameTime> frames; // in file order, one per frame read
    double framePeriod = 0;           // in ten-thousandths of a second; 0 when the file does not say
    QString error; // why reading stopped before the end (or maxFrames); frames read until then are kept
};

// Reads the VTI time of an AVI recording's frames with the program's own reader. An
// uncompressed YUY2 or UYVY file is read in place, only the rows of the time line of
// each frame; any other format is decoded to YUY2 first. A frame whose time line cannot
// be read is an entry with readable false, never an error.
RecordedVtiTimes ReadRecordedVtiTimes(const QString& aviPath, const CharacterSetList& sets,
                                      const RecordedVtiTimesRequest& request = {});

// Whether the recording holds uncompressed packed 4:2:2 video (YUY2, UYVY), which the
// reader reads in place; false for a file that cannot be read.
bool HoldsPacked422Video(const QString& aviPath);
