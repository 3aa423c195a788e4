#pragma once

#include <QString>

// What ffprobe reads from a recording's first video stream; -1 for what it cannot tell.
struct VideoProbe {
    int frames = -1;
    int headerFrames = -1;
    int width = 0, height = 0;
    QString codec, rate, pixelFormat;
};
VideoProbe ProbeVideo(const QString& path);

// A count line of a recording log ("Number of recorded frames"); -1 when missing.
int RecordingLogCount(const QString& logText, const char* label);
