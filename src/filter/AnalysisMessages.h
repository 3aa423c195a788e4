#pragma once

#include <string_view>

// Where the frame analysis reports to User Messages. Called on the streaming thread, so
// an implementation must not wait for the UI thread. Text is ASCII with its own CR LF
// line ends.
class AnalysisMessages {
public:
    virtual ~AnalysisMessages() = default;
    virtual void Report(std::string_view text, bool timeStamp) = 0;
};
