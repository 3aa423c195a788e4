#pragma once

#include <functional>
#include <vector>

typedef struct _GstPluginFeature GstPluginFeature;

// Takes element factories out of this process's registry for one test, as if they were not
// installed, and puts them back afterwards. The registry on disk is not touched.
class ScopedHiddenFeatures {
public:
    // Every factory for which the predicate holds, given its name and class text.
    explicit ScopedHiddenFeatures(const std::function<bool(const char* name, const char* klass)>& hide);
    ~ScopedHiddenFeatures();
    ScopedHiddenFeatures(const ScopedHiddenFeatures&) = delete;
    ScopedHiddenFeatures& operator=(const ScopedHiddenFeatures&) = delete;

    std::size_t Count() const { return m_hidden.size(); }

private:
    std::vector<GstPluginFeature*> m_hidden;
};
