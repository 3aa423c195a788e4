// vti-first-frame: the VTI time that the first frame of an AVI recording shows, read with
// the program's own character recognition, as HH:MM:SS.mmm on standard output.
//
//   vti-first-frame [--tv-safe] [--camera-attached] FILE.avi
//
// Exit status: 0 read; 1 the file cannot be read or holds no frame; 2 bad command line;
// 3 the first frame's time line cannot be read ("unreadable" is printed).

#include "capture/RecordedVtiTimes.h"

#include <QFile>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kExitUnreadableFile = 1;
constexpr int kExitUsage = 2;
constexpr int kExitUnreadableTime = 3;

int Usage()
{
    std::fputs("Usage: vti-first-frame [--tv-safe] [--camera-attached] FILE.avi\n", stderr);
    return kExitUsage;
}

} // namespace

int main(int argc, char* argv[])
{
    RecordedVtiTimesRequest request;
    request.maxFrames = 1;
    OcrLayout& layout = request.layout.emplace();
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--tv-safe") == 0)
            layout.rowBase = kRowBaseTvSafe;
        else if (std::strcmp(argv[i], "--camera-attached") == 0)
            layout.cameraAttached = true;
        else if (argv[i][0] == '-' || path != nullptr)
            return Usage();
        else
            path = argv[i];
    }
    if (path == nullptr)
        return Usage();
    CharacterSetList sets;
    if (!LoadCharacterSets(sets)) {
        std::fputs("vti-first-frame: the character sets VELA_VTI_Interlaced_Even.iff and _Odd.iff are missing\n", stderr);
        return kExitUnreadableFile;
    }
    const RecordedVtiTimes times = ReadRecordedVtiTimes(QFile::decodeName(path), sets, request);
    if (times.frames.empty()) {
        std::fprintf(stderr, "vti-first-frame: %s\n",
                     times.error.isEmpty() ? "the file holds no frame" : times.error.toLocal8Bit().constData());
        return kExitUnreadableFile;
    }
    const VtiFrameTime& t = times.frames.front();
    if (!t.readable) {
        std::puts("unreadable");
        return kExitUnreadableTime;
    }
    std::printf("%02u:%02u:%02u.%03u\n", t.hour, t.minute, t.second, t.firstFieldFraction / 10);
    return 0;
}
