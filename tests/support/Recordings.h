#pragma once

#include <QString>

// What ffprobe reads from a recording's first video stream, frame by frame; frames is -1
// when ffprobe cannot read the file.
struct VideoProbe {
    int frames = -1;
    int width = 0, height = 0;
    QString pixelFormat, codec, rate;
};
VideoProbe ProbeVideo(const QString& path);

// A count line of a recording log ("Number of recorded frames", "Number of dropped
// frames"); -1 when the line is missing.
int RecordingLogCount(const QString& logText, const char* label);
