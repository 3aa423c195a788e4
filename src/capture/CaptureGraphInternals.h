#pragma once

// What the CaptureGraph*.cpp files share, and nothing else includes.

#include "capture/CaptureGraph.h"

#include <atomic>
#include <cstdint>
#include <gst/gst.h>

// Counted on the streaming threads, read on the UI thread after the graph stopped.
struct CaptureGraph::Counters {
    std::atomic<std::uint64_t> delivered{0}; // frames the source pushed
    std::atomic<std::uint64_t> dropped{0};   // gaps in the source's sequence numbers
    std::atomic<std::uint64_t> recorded{0};  // frames that reached the AVI multiplexer
    std::atomic<bool> fileEnded{false};      // the end of stream passed the writer's input: the AVI is whole
    std::uint64_t nextOffset = GST_BUFFER_OFFSET_NONE; // source thread only
};

struct CaptureGraph::Elements {
    GstElement* pipeline = nullptr;
    GstElement* source = nullptr;
    GstElement* format = nullptr;
    GstElement* tee = nullptr;
    GstElement* previewQueue = nullptr;
    GstElement* colour = nullptr;
    GstElement* transform = nullptr;
    GstElement* renderer = nullptr;
    GstElement* captureQueue = nullptr;
    GstElement* mux = nullptr;
    GstElement* fileWriter = nullptr;
};
