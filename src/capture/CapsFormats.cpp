#include "capture/CapsFormats.h"

#include "capture/MediaObjects.h"
#include "devices/FormatRules.h"

#include <optional>
#include <utility>
#include <vector>

namespace {

struct Size {
    int width;
    int height;
};

// What a range stands for: the sizes and rates that capture devices really deliver.
constexpr Size kCommonSizes[] = {{1920, 1080}, {1280, 1024}, {1280, 720}, {1024, 768}, {800, 600},
                                 {768, 576},   {720, 576},   {720, 480},  {640, 480},  {352, 288},
                                 {320, 240},   {176, 144},   {160, 120}};
constexpr std::pair<int, int> kCommonRates[] = {{60, 1}, {60000, 1001}, {50, 1}, {30, 1}, {30000, 1001},
                                                {25, 1}, {24, 1}, {24000, 1001}, {20, 1}, {15, 1},
                                                {10, 1}, {15, 2}, {5, 1}};

std::optional<VideoSubtype> AcceptedSubtype(const GstStructure* s)
{
    if (gst_structure_has_name(s, "image/jpeg"))
        return VideoSubtype::MJPG;
    if (!gst_structure_has_name(s, "video/x-raw"))
        return std::nullopt;
    const gchar* format = gst_structure_get_string(s, "format");
    if (g_strcmp0(format, "YUY2") == 0)
        return VideoSubtype::YUY2;
    if (g_strcmp0(format, "UYVY") == 0)
        return VideoSubtype::UYVY;
    if (g_strcmp0(format, "BGR") == 0)
        return VideoSubtype::RGB24;
    return std::nullopt;
}

bool IntAllowed(const GValue* v, int x)
{
    if (G_VALUE_HOLDS_INT(v))
        return g_value_get_int(v) == x;
    if (GST_VALUE_HOLDS_INT_RANGE(v)) {
        const int step = gst_value_get_int_range_step(v);
        const int min = gst_value_get_int_range_min(v);
        return x >= min && x <= gst_value_get_int_range_max(v) && (step <= 1 || (x - min) % step == 0);
    }
    if (GST_VALUE_HOLDS_LIST(v)) {
        for (guint i = 0; i < gst_value_list_get_size(v); ++i)
            if (IntAllowed(gst_value_list_get_value(v, i), x))
                return true;
    }
    return false;
}

// Fixed values and lists give themselves; anything else gives nothing.
std::vector<int> ListedInts(const GValue* v)
{
    if (G_VALUE_HOLDS_INT(v))
        return {g_value_get_int(v)};
    std::vector<int> out;
    if (GST_VALUE_HOLDS_LIST(v))
        for (guint i = 0; i < gst_value_list_get_size(v); ++i)
            if (const GValue* item = gst_value_list_get_value(v, i); G_VALUE_HOLDS_INT(item))
                out.push_back(g_value_get_int(item));
    return out;
}

std::vector<Size> SizesOf(const GstStructure* s)
{
    const GValue* w = gst_structure_get_value(s, "width");
    const GValue* h = gst_structure_get_value(s, "height");
    if (!w || !h)
        return {};
    std::vector<Size> sizes;
    const std::vector<int> widths = ListedInts(w);
    const std::vector<int> heights = ListedInts(h);
    if (!widths.empty() && !heights.empty() && !GST_VALUE_HOLDS_INT_RANGE(w) && !GST_VALUE_HOLDS_INT_RANGE(h)) {
        for (int width : widths)
            for (int height : heights)
                sizes.push_back({width, height});
        return sizes;
    }
    for (const Size& c : kCommonSizes)
        if (IntAllowed(w, c.width) && IntAllowed(h, c.height))
            sizes.push_back(c);
    return sizes;
}

void AppendRates(const GValue* v, std::vector<std::pair<int, int>>& rates)
{
    if (GST_VALUE_HOLDS_FRACTION(v)) {
        rates.emplace_back(gst_value_get_fraction_numerator(v), gst_value_get_fraction_denominator(v));
    } else if (GST_VALUE_HOLDS_FRACTION_RANGE(v)) {
        GValue rate = G_VALUE_INIT;
        g_value_init(&rate, GST_TYPE_FRACTION);
        for (const auto& [num, den] : kCommonRates) {
            gst_value_set_fraction(&rate, num, den);
            if (gst_value_compare(&rate, gst_value_get_fraction_range_min(v)) != GST_VALUE_LESS_THAN &&
                gst_value_compare(&rate, gst_value_get_fraction_range_max(v)) != GST_VALUE_GREATER_THAN)
                rates.emplace_back(num, den);
        }
        g_value_unset(&rate);
    } else if (GST_VALUE_HOLDS_LIST(v)) {
        for (guint i = 0; i < gst_value_list_get_size(v); ++i)
            AppendRates(gst_value_list_get_value(v, i), rates);
    }
}

CapsHandle FixedCaps(const GstStructure* s, Size size, std::pair<int, int> rate)
{
    GstStructure* fixed = gst_structure_copy(s);
    gst_structure_set(fixed, "width", G_TYPE_INT, size.width, "height", G_TYPE_INT, size.height, "framerate",
                      GST_TYPE_FRACTION, rate.first, rate.second, nullptr);
    GstCaps* caps = gst_caps_new_full(fixed, nullptr);
    return AdoptCaps(gst_caps_fixate(caps));
}

} // namespace

QList<MediaFormat> FormatsFromCaps(const GstCaps* caps)
{
    QList<MediaFormat> formats;
    if (!caps || gst_caps_is_any(caps))
        return formats;
    for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
        GstCapsFeatures* features = gst_caps_get_features(caps, i);
        if (features && !gst_caps_features_is_equal(features, GST_CAPS_FEATURES_MEMORY_SYSTEM_MEMORY))
            continue;
        const GstStructure* s = gst_caps_get_structure(caps, i);
        const std::optional<VideoSubtype> subtype = AcceptedSubtype(s);
        const GValue* framerate = gst_structure_get_value(s, "framerate");
        if (!subtype || !framerate)
            continue;
        std::vector<std::pair<int, int>> rates;
        AppendRates(framerate, rates);
        for (const Size& size : SizesOf(s)) {
            for (const auto& rate : rates) {
                MediaFormat f = MakeMediaFormat(*subtype, size.width, size.height,
                                                AvgTimePerFrameOf(rate.first, rate.second));
                if (f.framesPerSecond == 0)
                    continue;
                f.caps = FixedCaps(s, size, rate);
                formats.append(std::move(f));
            }
        }
    }
    return formats;
}

QList<MediaFormat> FormatsFromCapsText(const QString& capsText)
{
    if (!EnsureMediaFramework())
        return {};
    CapsPtr caps(gst_caps_from_string(capsText.toUtf8().constData()));
    return FormatsFromCaps(caps.get());
}

QString CapsText(const CapsHandle& caps)
{
    if (!caps)
        return {};
    gchar* text = gst_caps_to_string(caps.get());
    const QString result = QString::fromUtf8(text);
    g_free(text);
    return result;
}
