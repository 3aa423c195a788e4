#include "HiddenFeatures.h"

#include <gst/gst.h>

ScopedHiddenFeatures::ScopedHiddenFeatures(const std::function<bool(const char*, const char*)>& hide)
{
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    GstRegistry* registry = gst_registry_get();
    GList* features = gst_registry_get_feature_list(registry, GST_TYPE_ELEMENT_FACTORY);
    for (GList* l = features; l; l = l->next) {
        auto* feature = GST_PLUGIN_FEATURE(l->data);
        const char* klass = gst_element_factory_get_metadata(GST_ELEMENT_FACTORY(feature), GST_ELEMENT_METADATA_KLASS);
        if (hide(GST_OBJECT_NAME(feature), klass ? klass : "")) {
            // Loaded first: a plugin loaded later would register the feature again.
            if (GstPluginFeature* loaded = gst_plugin_feature_load(feature))
                gst_object_unref(loaded);
            m_hidden.push_back(GST_PLUGIN_FEATURE(gst_object_ref(feature)));
            gst_registry_remove_feature(registry, feature);
        }
    }
    gst_plugin_feature_list_free(features);
}

ScopedHiddenFeatures::~ScopedHiddenFeatures()
{
    for (GstPluginFeature* feature : m_hidden) {
        gst_registry_add_feature(gst_registry_get(), feature); // the registry takes a reference of its own
        gst_object_unref(feature);
    }
}
