#include "app/linux/media_components_gst.h"

#include <dlfcn.h>

#include <string_view>

#include "app/runtime_requirements.h"

namespace kestrum {

// The engine plays media through GStreamer; its registry says which elements this system has.
// The library is the engine's own dependency, opened here rather than linked, so that its
// absence is a finding and not a start-up failure.
std::vector<std::string> MissingMediaInThisProcess() {
    using InitCheck = int (*)(int*, char***, void**);
    using FactoryFind = void* (*)(const char*);
    using Unref = void (*)(void*);
    void* library = dlopen("libgstreamer-1.0.so.0", RTLD_NOW | RTLD_LOCAL);
    auto initCheck =
        library ? reinterpret_cast<InitCheck>(dlsym(library, "gst_init_check")) : nullptr;
    auto find = library ? reinterpret_cast<FactoryFind>(dlsym(library, "gst_element_factory_find"))
                        : nullptr;
    auto unref = library ? reinterpret_cast<Unref>(dlsym(library, "gst_object_unref")) : nullptr;
    if (!initCheck || !find || !unref || !initCheck(nullptr, nullptr, nullptr)) {
        // No media framework at all: every component is missing. (The library stays loaded
        // once initialised, as the framework expects.)
        return MissingMediaComponents([](std::string_view) { return false; });
    }
    return MissingMediaComponents([&](std::string_view element) {
        void* factory = find(std::string(element).c_str());
        if (factory)
            unref(factory);
        return factory != nullptr;
    });
}

}  // namespace kestrum
