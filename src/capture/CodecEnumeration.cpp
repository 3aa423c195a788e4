#include "capture/CodecEnumeration.h"

#include "capture/MediaObjects.h"
#include "common/ProcessDirectory.h"
#include "messages/UserMessageLog.h"

#include <string>
#include <vector>

namespace {

void Report(UserMessageLog& log, const char* text)
{
    log.Append(QString::fromLatin1(text), true);
}

void GiveNone(CaptureDevice& device)
{
    device.chosenCodecIndex = -1;
    device.codecNames = QStringList{QStringLiteral("NONE")};
    device.codecFilters = QList<FactoryHandle>{FactoryHandle{}};
}

GstPad* FirstPad(GstElement* element, GstPadDirection direction)
{
    GstPad* found = nullptr;
    GST_OBJECT_LOCK(element);
    for (GList* l = direction == GST_PAD_SRC ? element->srcpads : element->sinkpads; l && !found; l = l->next)
        found = GST_PAD(gst_object_ref(l->data));
    GST_OBJECT_UNLOCK(element);
    return found;
}

// Puts a new element into the bin; nullptr, and the element gone, when that fails.
GstElement* AddToBin(GstBin* bin, GstElement* element)
{
    if (element && !gst_bin_add(bin, element)) {
        gst_object_unref(gst_object_ref_sink(element));
        return nullptr;
    }
    return element;
}

// Encoders of video and of still images (a JPEG encoder is one), highest rank first,
// then by name, so the list reads the same on every run.
std::vector<GstElementFactory*> VideoEncoders()
{
    GList* list = gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_VIDEO_ENCODER, GST_RANK_NONE);
    list = g_list_sort(list, gst_plugin_feature_rank_compare_func);
    std::vector<GstElementFactory*> out;
    for (GList* l = list; l; l = l->next)
        out.push_back(GST_ELEMENT_FACTORY(gst_object_ref(l->data)));
    gst_plugin_feature_list_free(list);
    return out;
}

// The scratch pipeline: its AVI multiplexer and file sink, and the multiplexer's video
// input that every trial links to.
class TrialGraph {
public:
    ~TrialGraph()
    {
        if (m_muxPad) {
            gst_element_release_request_pad(m_mux, m_muxPad);
            gst_object_unref(m_muxPad);
        }
    }

    GstBin* Bin() const { return GST_BIN(m_pipeline.get()); }
    GstPad* MuxPad() const { return m_muxPad; }

    bool Create() { return (m_pipeline = ElementPtr(gst_pipeline_new("Codec Trial"))) != nullptr; }

    bool AddAviOutput(const std::string& location)
    {
        GstElement* mux = gst_element_factory_make("avimux", "AVI Mux");
        GstElement* sink = gst_element_factory_make("filesink", "File Writer");
        if (!mux || !sink) {
            if (mux)
                gst_object_unref(gst_object_ref_sink(mux));
            if (sink)
                gst_object_unref(gst_object_ref_sink(sink));
            return false;
        }
        g_object_set(sink, "location", location.c_str(), nullptr);
        gst_bin_add_many(Bin(), mux, sink, nullptr);
        m_mux = mux;
        return gst_element_link(mux, sink);
    }

    bool TakeMuxPad() { return (m_muxPad = gst_element_request_pad_simple(m_mux, "video_%u")) != nullptr; }

private:
    ElementPtr m_pipeline;
    GstElement* m_mux = nullptr; // owned by the pipeline
    GstPad* m_muxPad = nullptr;
};

// A device's output as it reaches a codec: its raw formats as they come, its JPEG
// formats through a decoder, as the capture graph has them.
class DeviceOutputs {
public:
    explicit DeviceOutputs(GstBin* bin) : m_bin(bin) {}
    ~DeviceOutputs()
    {
        for (GstPad* p : m_outputs)
            gst_object_unref(p);
        for (GstElement* e : m_elements)
            gst_bin_remove(m_bin, e);
    }
    DeviceOutputs(const DeviceOutputs&) = delete;
    DeviceOutputs& operator=(const DeviceOutputs&) = delete;

    const std::vector<GstPad*>& Pads() const { return m_outputs; }

    // False with the message to log when the device cannot be put into the graph.
    bool Build(const CaptureDevice& device, const char** failure)
    {
        CapsPtr raw(gst_caps_new_empty());
        CapsPtr jpeg(gst_caps_new_empty());
        for (const MediaFormat& f : device.formats)
            if (f.caps)
                gst_caps_append(f.subtype == VideoSubtype::MJPG ? jpeg.get() : raw.get(), gst_caps_copy(f.caps.get()));
        *failure = "\r\n\r\nSEVERE ERROR -- Cannot add the source filter to the filter graph.  Report this issue.\r\n";
        if (!gst_caps_is_empty(raw.get()) && !AddSource(raw.get(), false))
            return false;
        if (!gst_caps_is_empty(jpeg.get()) && !AddSource(jpeg.get(), true))
            return false;
        *failure = "\r\n\r\nSEVERE ERROR -- Cannot get output IPin for source filter.  Report this issue.\r\n";
        return !m_outputs.empty() && !m_decoderMissing;
    }

private:
    GstElement* Add(const char* factory, const char* name)
    {
        GstElement* e = AddToBin(m_bin, gst_element_factory_make(factory, name));
        if (e)
            m_elements.push_back(e);
        return e;
    }

    bool AddSource(GstCaps* caps, bool decode)
    {
        GstElement* source = Add("capsfilter", decode ? "Source MJPG" : "Source");
        if (!source)
            return false;
        g_object_set(source, "caps", caps, nullptr);
        GstElement* last = source;
        if (decode) {
            GstElement* decoder = Add("jpegdec", "MJPG Decoder");
            if (!decoder || !gst_element_link(source, decoder)) {
                m_decoderMissing = true;
                return true;
            }
            last = decoder;
        }
        if (GstPad* pad = FirstPad(last, GST_PAD_SRC))
            m_outputs.push_back(pad);
        return true;
    }

    GstBin* m_bin;
    std::vector<GstElement*> m_elements; // owned by the bin
    std::vector<GstPad*> m_outputs;
    bool m_decoderMissing = false;
};

bool Links(GstPad* source, GstPad* sink)
{
    return GST_PAD_LINK_SUCCESSFUL(gst_pad_link_full(source, sink, GST_PAD_LINK_CHECK_DEFAULT));
}

// What the registry already knows, without loading an encoder's plugin: a pad's caps
// always lie within its template, so an encoder whose templates meet neither a device
// output nor the multiplexer cannot link, and trying it would only load its libraries.
// The caps are taken once per device and checked against every encoder.
class TemplateFilter {
public:
    TemplateFilter(const DeviceOutputs& outputs, GstPad* muxPad)
        : m_mux(gst_pad_get_pad_template_caps(muxPad))
    {
        for (GstPad* source : outputs.Pads())
            m_outputs.emplace_back(gst_pad_query_caps(source, nullptr));
    }

    bool MayFit(GstElementFactory* factory) const
    {
        if (!gst_element_factory_can_src_any_caps(factory, m_mux.get()))
            return false;
        for (const CapsPtr& caps : m_outputs)
            if (gst_element_factory_can_sink_any_caps(factory, caps.get()))
                return true;
        return false;
    }

private:
    CapsPtr m_mux;
    std::vector<CapsPtr> m_outputs;
};

// Direct connections only: device output to encoder, encoder to multiplexer.
bool EncoderFits(GstBin* bin, GstElementFactory* factory, const DeviceOutputs& outputs, GstPad* muxPad)
{
    GstElement* encoder = AddToBin(bin, gst_element_factory_create(factory, nullptr));
    if (!encoder)
        return false;
    PadPtr input(FirstPad(encoder, GST_PAD_SINK));
    PadPtr output(FirstPad(encoder, GST_PAD_SRC));
    bool fits = false;
    for (GstPad* source : outputs.Pads()) {
        if (!input || !output || fits)
            break;
        if (!Links(source, input.get()))
            continue;
        if (Links(output.get(), muxPad)) {
            fits = true;
            gst_pad_unlink(output.get(), muxPad);
        }
        gst_pad_unlink(source, input.get());
    }
    gst_bin_remove(bin, encoder);
    return fits;
}

Status TryCodecs(DeviceTable& table, UserMessageLog& log)
{
    TrialGraph graph;
    if (!graph.Create()) {
        Report(log, "\r\n\r\nSEVERE ERROR -- Cannot create the filter graph builder.  Report this issue.\r\n");
        return Status::Failed;
    }
    // The multiplexer is named a file so the trial is a real AVI output; nothing runs,
    // so the file is never created.
    if (!graph.AddAviOutput(GetProcessDirectory() + "bogus.avi")) {
        Report(log, "\r\n\r\nSEVERE ERROR -- The SetOutputFileName method has failed.  Report this issue.\r\n");
        return Status::Aborted;
    }
    if (!graph.TakeMuxPad()) {
        Report(log, "SEVERE ERROR -- Getting IPin for AVI Mux has failed.  Report this issue.\r\n");
        return Status::Aborted;
    }
    std::vector<GstElementFactory*> encoders = VideoEncoders();
    struct Release {
        std::vector<GstElementFactory*>& list;
        ~Release()
        {
            for (GstElementFactory* f : list)
                gst_object_unref(f);
        }
    } release{encoders};

    for (int i = 0; i < table.count; ++i) {
        CaptureDevice& device = table.devices[static_cast<std::size_t>(i)];
        DeviceOutputs outputs(graph.Bin());
        const char* failure = nullptr;
        const bool built = outputs.Build(device, &failure);
        if (!built) {
            Report(log, failure);
            return Status::Aborted;
        }
        GiveNone(device);
        if (encoders.empty()) {
            Report(log, "\r\n\r\nERROR -- Unable to create a video compressor enumerator to search for codecs.  "
                   "Report this issue.\r\n");
            return Status::Aborted;
        }
        const TemplateFilter filter(outputs, graph.MuxPad());
        for (GstElementFactory* factory : encoders) {
            if (!filter.MayFit(factory) || !EncoderFits(graph.Bin(), factory, outputs, graph.MuxPad()))
                continue;
            const char* longName = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_LONGNAME);
            device.codecNames.append(QString::fromUtf8(longName).left(kCodecNameCapacity - 1));
            device.codecFilters.append(AdoptFactory(GST_ELEMENT_FACTORY(gst_object_ref(factory))));
        }
    }
    return Status::Ok;
}

} // namespace

void OfferOnlyNone(DeviceTable& table)
{
    for (int i = 0; i < table.count; ++i)
        GiveNone(table.devices[static_cast<std::size_t>(i)]);
}

Status EnumerateCodecs(DeviceTable& table, UserMessageLog& log)
{
    const Status status = EnsureMediaFramework() ? TryCodecs(table, log) : Status::Failed;
    for (int i = 0; i < table.count; ++i) {
        CaptureDevice& device = table.devices[static_cast<std::size_t>(i)];
        if (device.codecNames.isEmpty())
            GiveNone(device);
    }
    return status;
}
