#pragma once

#include "filter/CharacterSet.h"
#include "filter/VtiOcr.h"

#include <QString>
#include <cstdint>
#include <vector>

// The VTI time that one frame of a recording shows.
struct RecordedVtiTime {
    std::uint64_t frame = 0; // 0: the file's first frame
    bool readable = false;   // false: the time line could not be read and the fields below are 0
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;            // the first field's
    std::int32_t secondFieldMilliseconds = -1; // -1: not read
};

struct RecordedVtiTimesRequest {
    std::uint64_t maxFrames = 0; // 0: every frame of the file
    OcrLayout layout;            // where the time line lies: TV safe mode, camera attached
};

struct RecordedVtiTimes {
    std::vector<RecordedVtiTime> frames; // in file order, one per frame read
    QString error; // why reading stopped before the end (or maxFrames); frames read until then are kept
};

// Reads the VTI time of an AVI recording's frames with the program's own reader. Every
// format the file can hold is decoded to YUY2 first; a frame whose time line cannot be
// read is an entry with readable false, never an error.
RecordedVtiTimes ReadRecordedVtiTimes(const QString& aviPath, const CharacterSetList& sets,
                                      const RecordedVtiTimesRequest& request = {});
