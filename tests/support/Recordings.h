#pragma once

#include <QString>

// What ffprobe reads from a recording's first video stream, frame by frame; frames is -1
// when ffprobe cannot read the file. headerFrames is the count the file's header and
// index give, -1 when they give none (a recording that was never closed).
struct VideoProbe {
    int frames = -1;
    int headerFrames = -1;
    int width = 0, height = 0;
    QString codec, rate;
};
VideoProbe ProbeVideo(const QString& path);

// A count line of a recording log ("Number of recorded frames", "Number of dropped
// frames"); -1 when the line is missing.
int RecordingLogCount(const QString& logText, const char* label);
