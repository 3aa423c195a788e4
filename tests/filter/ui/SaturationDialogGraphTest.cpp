// The Pixel Saturation dialog over the simulator's running preview: dragging the slider
// moves the marking of the transform element while frames flow.
#include "capture/CaptureBackEnd.h"
#include "capture/CaptureGraph.h"
#include "capture/DeviceEnumeration.h"
#include "common/Clock.h"
#include "devices/DeviceTable.h"
#include "filter/FramePipeline.h"
#include "filter/gst/VelaTransformFilter.h"
#include "filter/ui/PixelSaturationDialog.h"
#include "messages/UserMessageLog.h"
#include "options/OptionsFile.h"
#include "recording/AppState.h"
#include "recording/GraphControl.h"
#include "recording/RecordingControl.h"

#include "support/WidgetDriving.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSlider>
#include <gst/gst.h>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Counts the marker-coloured (magenta) preview pixels of the newest frame.
class MarkCountingSink final : public PreviewSink {
public:
    void PresentFrame(std::shared_ptr<const PreviewFrame> frame) override
    {
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(frame->width) * frame->height * 4);
        frame->ToRgb32(rgb.data(), frame->width * 4, 0, 0, frame->width, frame->height);
        int marked = 0;
        for (std::size_t i = 0; i < rgb.size(); i += 4)
            marked += rgb[i] > 200 && rgb[i + 1] < 60 && rgb[i + 2] > 200;
        lastMarked.store(marked);
        frames.fetch_add(1);
    }
    // The marked count of a frame begun after this call.
    int MarkedAfterAFewFrames()
    {
        const int target = frames.load() + 6;
        QElapsedTimer t;
        t.start();
        while (frames.load() < target && t.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return frames.load() >= target ? lastMarked.load() : -1;
    }
    std::atomic<int> lastMarked{-1};
    std::atomic<int> frames{0};
};

TEST(PixelSaturationDialogOnTheSimulator, DraggingMovesTheRunningMarkingAndCancelPutsItBack)
{
    PrepareCaptureBackEnd(true);
    const SystemClock clock;
    UserMessageLog log(clock);
    log.SetEchoToStderr(false);
    DeviceTable devices;
    ASSERT_EQ(EnumerateCaptureDevices(devices, log, true), Status::Ok);
    devices.currentDeviceIndex = FindDeviceIndex(devices, QStringLiteral("VTI Simulator"));
    ASSERT_GE(devices.currentDeviceIndex, 0);
    devices.devices[static_cast<std::size_t>(devices.currentDeviceIndex)].selectedFormatIndex =
        FindFormatIndex(devices, devices.currentDeviceIndex, QStringLiteral("720x480"), FpsStandard::NTSC, VideoSubtype::YUY2);
    AppState state;
    AppOptions options;
    const CharacterSetList noSets;
    FramePipeline pipeline(noSets, log, clock);
    MarkCountingSink sink;
    CaptureGraph graph(CaptureGraphParts{options, devices, state, log, pipeline}, &sink, 0);
    RecordingControl recording(state, options, log, clock, &graph);
    state.Analysis.saturationThreshold = 200;
    ASSERT_EQ(recording.StartCapture(), Status::Ok);
    PixelSaturationDialog d({state.Analysis, options, pipeline}, [&recording] { recording.RestartGraph(); });
    d.open();
    GstElement* filter = gst_bin_get_by_name(GST_BIN(graph.Pipeline()), kTransformFilterName);
    ASSERT_NE(filter, nullptr) << "the preview runs through the transform element";
    gst_object_unref(filter);

    auto* slider = d.findChild<QSlider*>();
    slider->setSliderDown(true);
    slider->setSliderPosition(255);
    const int atTop = sink.MarkedAfterAFewFrames();
    slider->setSliderPosition(50);
    EXPECT_EQ(pipeline.LiveSaturationThreshold(), 50);
    const int atLowest = sink.MarkedAfterAFewFrames();
    slider->setSliderDown(false);
    EXPECT_GE(atTop, 0);
    EXPECT_GT(atLowest, atTop + 1000) << "the bright word and digits are marked from 50 on";

    Click(ByText(d, QStringLiteral("Cancel")));
    EXPECT_EQ(d.result(), 2);
    EXPECT_EQ(pipeline.LiveSaturationThreshold(), 200);
    EXPECT_EQ(state.Analysis.saturationThreshold, 200);
    EXPECT_LT(sink.MarkedAfterAFewFrames(), atLowest);
    EXPECT_EQ(recording.StopCapture(), Status::Ok);
}

} // namespace
