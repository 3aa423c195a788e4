#pragma once

#include "devices/PreAllocation.h"
#include "options/AppOptions.h"
#include "filter/PreviewPixels.h"
#include "recording/GraphControl.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;
typedef struct _GstElementFactory GstElementFactory;
struct AppOptions;
struct AppState;
struct CaptureDevice;
struct DeviceTable;
struct MediaFormat;
class FramePipeline;
class RecordingFile;
class UserMessageLog;

enum class GraphState : std::int32_t { Idle = 0, BuildersCreated = 1, SourceAdded = 2, Running = 3, StreamsBuilt = 5 };
// The renderer of a build: the one the user chose, or None while no picture is shown.
enum class RendererKind { Window, XVideoOverlay, XOverlay, None };

// Receives the preview frames of the window renderer. Called on the streaming thread; it
// must return at once and never wait for the UI thread.
class PreviewSink {
public:
    virtual ~PreviewSink() = default;
    virtual void PresentFrame(std::shared_ptr<const PreviewFrame> frame) = 0;
};

// What a capture graph reads and reports to, owned by the application and outliving the
// graph: the current device and its format, the options and the requested analyses at
// each build; the messages of the build and of the run; the frame analysis of the preview.
struct CaptureGraphParts {
    const AppOptions& options;
    const DeviceTable& devices;
    const AppState& app;
    UserMessageLog& log;
    FramePipeline& frames;
    const PreAllocationCalls& preAllocationCalls = kSystemPreAllocationCalls;
};

// The capture graph on GStreamer:
//   source ! capsfilter ! tee "Smart Tee"
//     "Smart Tee". ! queue "Preview" (leaky) ! [jpegdec] ! [VELA Transform Filter Video]
//                  ! [Color Control] ! videoconvert ! renderer
//     "Smart Tee". ! queue "Capture" ! [codec] ! avimux "AVI Mux" ! file writer   (recordings)
// Built anew at every start of capture from the current device, its selected format,
// the options and the requested analyses; all calls on the UI thread.
class CaptureGraph final : public GraphControl {
public:
    // windowHandle: the native window the overlay renderers draw into (0: none).
    CaptureGraph(const CaptureGraphParts& parts, PreviewSink* preview, std::uintptr_t windowHandle);
    ~CaptureGraph() override;
    CaptureGraph(const CaptureGraph&) = delete;
    CaptureGraph& operator=(const CaptureGraph&) = delete;

    Status BuildGraph(const QString* fileName, bool defaultFolder) override;
    Status StopGraph() override;
    Status SetBrightnessContrast(int brightness, int contrast) override;

    // The native window the overlay renderers draw into (0: none).
    void SetWindowHandle(std::uintptr_t handle) { m_windowHandle = handle; }
    // Without a display every build ends in the null renderer, whatever the options say.
    void SetNoDisplay() { m_noDisplay = true; }

    GraphState State() const { return m_state; }
    bool PixelAnalysisRequested() const { return m_pixelAnalysisRequested; }
    RendererKind Renderer() const { return m_renderer; }
    // Frames the source has delivered since the graph was built.
    std::uint64_t FramesDelivered() const;
    // The running pipeline, for tests; nullptr when none.
    GstElement* Pipeline() const;

    // Called with every new source element before it is added: lets a test set the
    // simulator's properties (non-live, dropped frames).
    void SetSourceSetup(std::function<void(GstElement*)> setup) { m_sourceSetup = std::move(setup); }

    // Called on the UI thread when the running graph fails (device gone, disk full),
    // after the failure has been reported and a recording has been closed.
    void SetFailureHandler(std::function<void()> handler) { m_failureHandler = std::move(handler); }

    // Called on the UI thread once a recording's file is closed and its log written, with
    // the file's name and the format of the source it was recorded from.
    void SetRecordingFinishedHandler(std::function<void(const QString&, VideoSubtype)> handler)
    {
        m_recordingFinished = std::move(handler);
    }

private:
    struct Counters; // shared with the streaming threads
    struct Elements;

    // Building the graph (CaptureGraph.cpp), in this order.
    Status PrepareFrameAnalysis(bool recording, const CaptureDevice& d, const MediaFormat& f);
    Status CreateGraphBuilders();
    Status AddSource(const CaptureDevice& d);
    void CountDeliveredFrames();
    Status SetCaptureFormat(const MediaFormat& f);
    Status AddRenderer(bool recording);
    Status RenderStreams(const CaptureDevice& d, const MediaFormat& f, bool recording);
    Status AddPreviewChain(const MediaFormat& f, bool recording);
    void TearDownGraph();
    void CreateColourControl();

    // Running and stopping it (CaptureGraphRun.cpp).
    Status RunGraph();
    // Sends end of stream and waits, bounded, until the file writer has it: true when it did.
    bool DrainIntoFile();
    // Exactly GstBusFunc (gboolean is int, gpointer void*), so that it is passed without
    // a cast and the compiler checks it; CheckFreeSpace likewise is a GSourceFunc.
    static int OnBusMessage(GstBus* bus, GstMessage* message, void* self);

    // The recording branch and its file (CaptureGraphRecording.cpp).
    Status AddRecordingBranch(const CaptureDevice& d, const MediaFormat& f);
    Status AddCaptureQueueMuxAndWriter();
    Status LinkThroughCodec(GstElementFactory* factory, const QString& codecName, const MediaFormat& f);
    Status LinkWithoutCodec();
    void CountRecordedFrames();
    static int CheckFreeSpace(void* self);
    // Ends the recording branch alone: the file gets its header and index while the
    // preview goes on.
    void EndRecordingBranch();
    // After a stop: the file is cut to what it holds and its log written.
    void FinishRecording(bool orderly);
    // After a failed build: removes the recording file the build made, unless it holds frames.
    void DiscardUnusedFile();

    void Log(const QString& text) const;

    CaptureGraphParts m_parts;
    PreviewSink* m_preview = nullptr;
    std::uintptr_t m_windowHandle = 0;
    GraphState m_state = GraphState::Idle;
    RendererKind m_renderer = RendererKind::Window;
    bool m_pixelAnalysisRequested = false;
    bool m_noDisplay = false;
    bool m_colourControlAvailable = false;
    int m_brightness = 50;
    int m_contrast = 50;
    bool m_defaultFolder = false;
    unsigned m_busWatch = 0;
    unsigned m_spaceWatch = 0;
    bool m_recordingBranchEnded = false;
    std::function<void()> m_failureHandler;
    std::function<void(const QString&, VideoSubtype)> m_recordingFinished;
    VideoSubtype m_recordedSubtype{};
    std::function<void(GstElement*)> m_sourceSetup;

    std::unique_ptr<Elements> m_e;
    std::shared_ptr<Counters> m_counters;
    // From the check of a recording build until the next build or the end.
    std::unique_ptr<RecordingFile> m_file;
};
