#include "messages/MessageTables.h"

#include "messages/UserMessageLog.h"

namespace {

using S = MessageSeverity;

constexpr NumberedMessage kAppMessages[kAppMessageCount] = {
    {"Cannot create main window", S::Fatal},
    {"Cannot create font for countdown window", S::Warning},
    {"Cannot create font for control buttons", S::Warning},
    {"Cannot create font for codec or camera lists", S::Warning},
    {"Cannot create font for event list", S::Warning},
    {"Cannot create font for hibernation | shutdown countdown", S::Warning},
    {"Cannot create video display window", S::Fatal},
    {"Cannot create Controls window", S::Fatal},
    {"Cannot create User Messages window", S::Fatal},
    {"Cannot create rich edit window as child of User Messages window", S::Fatal},
    {"Cannot create child brightness slider window", S::Error},
    {"Cannot create child contrast slider window", S::Error},
    {"Cannot create parent brightness slider window", S::Error},
    {"Cannot create parent contrast slider window", S::Error},
    {"Internal issue - attempting output to disk file and show contrast at same time", S::Error},
    {"Unable to delete one or more selected event files - write protected?", S::Warning},
    {"Cannot save VELA_options.xml file in process directory - write protected?", S::Warning},
};

constexpr NumberedMessage kGraphMessages[kGraphMessageCount] = {
    {"Cannot add video source filter to filter graph", S::Error},
    {"Cannot set capture stream format", S::Error},
    {"Cannot update EVR video window with frame size", S::Error},
    {"Cannot render video stream", S::Error},
    {"Cannot play filter graph video stream", S::Error},
    {"Dropped frames value may be incorrect", S::Warning},
    {"Dropped frames value may be incorrect", S::Warning},
    {"Cannot stop camera", S::Warning},
    {"Internal corruption of media control value", S::Error},
    {"Attempting to set video stream format with no source filter", S::Error},
    {"IAMStreamConfig interface is missing", S::Error},
    {"Cannot create filter graph builder", S::Error},
    {"Cannot create Type 2 filter graph builder", S::Error},
    {"Type 2 filter graph builder cannot set filter graph builder", S::Error},
    {"IID_IMediaControl interface is missing", S::Error},
    {"IID_IMediaEventEx interface is missing", S::Error},
    {"Cannot enumerate pins on source filter", S::Error},
    {"Cannot enumerate pins on EVR filter", S::Error},
    {"Cannot create EVR filter", S::Error},
    {"Cannot get display control for EVR", S::Error},
    {"Cannot set clipping window for EVR", S::Error},
    {"Cannot add EVR filter to filter graph", S::Error},
    {"Cannot render preview stream", S::Error},
    {"SetOutputFileName method has failed", S::Error},
    {"Cannot add codec to capture stream", S::Warning},
    {"Cannot render video capture stream", S::Error},
    {"IID_IAMDroppedFrames interface is missing", S::Warning},
    {"Cannot enumerate pins on filter", S::Error},
    {"Character recognition sets are missing from install directory", S::Warning},
    {"Cannot add audio source filter to filter graph", S::Warning},
    {"Cannot render audio capture stream", S::Error},
    {"Cannot reduce audeo latency.  Latency will be 1/2 second", S::Warning},
    {"Cannot set aspect ration for EVR display window", S::Warning},
    {"Cannot create VMR9 filter", S::Warning},
    {"Cannot create VMR7 filter", S::Warning},
    {"Cannot create Null Renderer filter", S::Warning},
    {"Cannot get configuration control for VMR9", S::Warning},
    {"Cannot get configuration control for VMR7", S::Warning},
    {"Cannot find renderer input pin", S::Error},
    {"Renderer input pin not connected", S::Error},
};

// Composed lines stay within the 256-unit line buffer: the longest text is 80
// characters, so this never cuts one of the program's own messages.
constexpr int kComposedLineCapacity = 255;

void Report(UserMessageLog& log, const NumberedMessage& m, int code)
{
    const QString line = ComposeNumberedMessage(QString::fromLatin1(m.text), code, static_cast<int>(m.severity));
    switch (m.severity) {
    case MessageSeverity::Fatal:
        log.ShowFatal(line);
        break;
    case MessageSeverity::Error:
    case MessageSeverity::Warning:
        log.Append(line, true);
        break;
    case MessageSeverity::Note:
        break;
    }
}

} // namespace

const NumberedMessage* AppMessage(int number)
{
    return number >= 1 && number <= kAppMessageCount ? &kAppMessages[number - 1] : nullptr;
}

const NumberedMessage* GraphMessage(int index)
{
    return index >= 1 && index <= kGraphMessageCount ? &kGraphMessages[index - 1] : nullptr;
}

QString ComposeNumberedMessage(const QString& text, int code, int severity)
{
    QString line;
    switch (severity) {
    case 0: line = QStringLiteral("FATAL ERROR: ") + text + QStringLiteral(",  error "); break;
    case 1: line = QStringLiteral("ERROR: ") + text + QStringLiteral(",  error "); break;
    case 2: line = QStringLiteral("WARNING: ") + text + QStringLiteral(",  warning "); break;
    default: line = QStringLiteral("NOTE: ") + text + QStringLiteral(",  note "); break;
    }
    line += QString::number(code) + QStringLiteral("\r\n");
    if (line.size() > kComposedLineCapacity)
        line = line.left(kComposedLineCapacity - 2) + QStringLiteral("\r\n");
    return line;
}

void ReportAppMessage(UserMessageLog& log, int number)
{
    if (const NumberedMessage* m = AppMessage(number))
        Report(log, *m, number);
}

void ReportGraphMessage(UserMessageLog& log, int index)
{
    if (const NumberedMessage* m = GraphMessage(index))
        Report(log, *m, 1000 + index);
}
