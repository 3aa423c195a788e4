#pragma once

#include "common/Status.h"

#include <QString>

// What recording control asks of the capture graph. The capture back end implements
// it; the program hands the one graph to RecordingControl (none without a device).
class GraphControl {
public:
    virtual ~GraphControl() = default;
    // Builds and runs a preview graph (fileName null) or a recording graph to fileName.
    // Status::NotImplemented: the frame analysis cannot serve the selected format; build again with
    // the analyses off.
    virtual Status BuildGraph(const QString* fileName, bool defaultFolder) = 0;
    // Stops the graph; after a recording the file is complete and its log written.
    virtual Status StopGraph() = 0;
    // 0..100 each; -1 leaves that property as it is.
    virtual Status SetBrightnessContrast(int brightness, int contrast) = 0;
};
