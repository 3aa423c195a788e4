#pragma once

#include "filter/PreviewPixels.h"
#include "recording/GraphControl.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;

enum class GraphState : std::int32_t { Idle = 0, BuildersCreated = 1, SourceAdded = 2, Running = 3, StreamsBuilt = 5 };
enum class RendererKind : std::int32_t { EVR = 0, VMR9 = 1, VMR7 = 2, NullRenderer = 3 };

// Receives the preview frames of the window renderer. Called on the streaming thread; it
// must return at once and never wait for the UI thread.
class PreviewSink {
public:
    virtual ~PreviewSink() = default;
    virtual void PresentFrame(std::shared_ptr<const PreviewFrame> frame) = 0;
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
    CaptureGraph(PreviewSink* preview, std::uintptr_t windowHandle);
    ~CaptureGraph() override;
    CaptureGraph(const CaptureGraph&) = delete;
    CaptureGraph& operator=(const CaptureGraph&) = delete;

    Status BuildGraph(const QString* fileName, bool defaultFolder) override;
    Status StopGraph() override;
    Status SetBrightnessContrast(int brightness, int contrast) override;

    // The native window the overlay renderers draw into (0: none).
    void SetWindowHandle(std::uintptr_t handle) { m_windowHandle = handle; }

    GraphState State() const { return m_state; }
    bool PixelAnalysisRequested() const { return m_pixelAnalysisRequested; }
    RendererKind Renderer() const { return m_renderer; }
    bool HasColourControl() const { return m_colourControlAvailable; }
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

    struct Counters; // shared with the streaming thread

private:
    void TearDownGraph();
    Status CreateGraphBuilders();
    Status SetCaptureFormat();
    Status AddRenderer(bool recording);
    Status RenderStreams(const QString* fileName);
    Status RunGraph();
    Status AddRecordingBranch(const QString& fileName);
    void CreateColourControl();
    void FinishRecording(bool orderly);
    // After a failed build: removes the recording file the build made, unless it holds frames.
    void DiscardUnusedFile(const QString& fileName);
    // Ends the recording branch alone: the file gets its header and index while the
    // preview goes on.
    void EndRecordingBranch();
    // Exactly GSourceFunc and GstBusFunc (gboolean is int, gpointer void*), so that
    // they are passed without a cast and the compiler checks them.
    static int CheckFreeSpace(void* self);
    static int OnBusMessage(GstBus* bus, GstMessage* message, void* self);

    PreviewSink* m_preview = nullptr;
    std::uintptr_t m_windowHandle = 0;
    GraphState m_state = GraphState::Idle;
    RendererKind m_renderer = RendererKind::EVR;
    bool m_pixelAnalysisRequested = false;
    bool m_colourControlAvailable = false;
    int m_brightness = 50;
    int m_contrast = 50;
    bool m_defaultFolder = false;
    QString m_outputFileName;
    int m_preAllocatedFd = -1;
    unsigned m_busWatch = 0;
    unsigned m_spaceWatch = 0;
    std::uint64_t m_lastFileEnd = 0;
    bool m_recordingBranchEnded = false;
    std::function<void()> m_failureHandler;
    std::function<void(GstElement*)> m_sourceSetup;

    struct Elements;
    std::unique_ptr<Elements> m_e;
    std::shared_ptr<Counters> m_counters;
};

// brightness = value / 127 (-1..1), contrast = 1 + value / 127 (0..2), from a slider
// position 0..100 mapped to -127..127 with truncation toward zero.
int SliderToColourValue(int position);
double BrightnessFromValue(int value);
double ContrastFromValue(int value);
