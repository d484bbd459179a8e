#include "app/linux/media_components_gst.h"

#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "app/runtime_requirements.h"

namespace kestrum {
namespace {

// The engine plays media through GStreamer; its registry says which elements this system has.
// The library is the engine's own dependency, opened here rather than linked, so that its
// absence is a finding and not a start-up failure.
struct MediaFramework {
    using InitCheck = int (*)(int*, char***, void**);
    using FactoryFind = void* (*)(const char*);
    using Unref = void (*)(void*);
    using LoadFile = void* (*)(const char*, void**);

    InitCheck initCheck = nullptr;
    FactoryFind find = nullptr;
    Unref unref = nullptr;
    LoadFile loadFile = nullptr;

    bool HasElement(std::string_view element) const {
        void* factory = find(std::string(element).c_str());
        if (factory)
            unref(factory);
        return factory != nullptr;
    }
};

// The library's entry points, or nothing when it is not there; `loadFile` (only the first
// start's shortcut needs it) may be missing. (It stays loaded once initialised, as the
// framework expects.)
std::optional<MediaFramework> OpenMediaFramework() {
    void* library = dlopen("libgstreamer-1.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return std::nullopt;
    MediaFramework framework;
    framework.initCheck =
        reinterpret_cast<MediaFramework::InitCheck>(dlsym(library, "gst_init_check"));
    framework.find =
        reinterpret_cast<MediaFramework::FactoryFind>(dlsym(library, "gst_element_factory_find"));
    framework.unref = reinterpret_cast<MediaFramework::Unref>(dlsym(library, "gst_object_unref"));
    framework.loadFile =
        reinterpret_cast<MediaFramework::LoadFile>(dlsym(library, "gst_plugin_load_file"));
    if (!framework.initCheck || !framework.find || !framework.unref)
        return std::nullopt;
    return framework;
}

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Any of these changes where plugins come from or where the registry is.
bool FrameworkPathsChanged() {
    for (const char* variable : {"GST_PLUGIN_PATH", "GST_PLUGIN_PATH_1_0", "GST_PLUGIN_SYSTEM_PATH",
                                 "GST_PLUGIN_SYSTEM_PATH_1_0", "GST_REGISTRY", "GST_REGISTRY_1_0",
                                 "GST_REGISTRY_DISABLE"}) {
        if (std::getenv(variable))
            return true;
    }
    return false;
}

// Whether the framework has a registry file for this user to read: in the user's cache folder
// (as the framework finds it), "gstreamer-1.0/registry.<processor>.bin".
bool UserHasRegistry() {
    std::string cache;
    if (IsSet("XDG_CACHE_HOME"))
        cache = std::getenv("XDG_CACHE_HOME");
    else if (IsSet("HOME"))
        cache = std::string(std::getenv("HOME")) + "/.cache";
    else
        return true;  // unknown: let the framework decide
    DIR* folder = opendir((cache + "/gstreamer-1.0").c_str());
    if (!folder)
        return false;
    bool found = false;
    while (const dirent* entry = readdir(folder)) {
        const std::string_view name = entry->d_name;
        found = found || (name.starts_with("registry.") && name.ends_with(".bin"));
    }
    closedir(folder);
    return found;
}

// The framework's own plugin folder: "gstreamer-1.0" beside its library.
std::string UsualPluginFolder(const MediaFramework& framework) {
    Dl_info library{};
    if (dladdr(reinterpret_cast<void*>(framework.initCheck), &library) == 0 || !library.dli_fname)
        return {};
    const std::string path = library.dli_fname;
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    const std::string folder = path.substr(0, slash) + "/gstreamer-1.0";
    return IsFolder(folder) ? folder : std::string();
}

// The plugin that usually holds an element: the decoder library's elements are all "avdec_".
std::string_view UsualPlugin(std::string_view element) {
    if (element.starts_with("avdec_"))
        return "libav";
    static constexpr std::pair<std::string_view, std::string_view> kPlugins[] = {
        {"qtdemux", "isomp4"},   {"openh264dec", "openh264"},   {"faad", "faad"},
        {"fdkaacdec", "fdkaac"}, {"matroskademux", "matroska"}, {"vp8dec", "vpx"},
        {"vp9dec", "vpx"},       {"vorbisdec", "vorbis"},       {"opusdec", "opus"},
    };
    for (const auto& [name, plugin] : kPlugins) {
        if (name == element)
            return plugin;
    }
    return {};
}

}  // namespace

std::vector<std::string> MissingMediaInThisProcess() {
    const std::optional<MediaFramework> framework = OpenMediaFramework();
    if (!framework || !framework->initCheck(nullptr, nullptr, nullptr)) {
        // No media framework at all: every component is missing.
        return MissingMediaComponents([](std::string_view) { return false; });
    }
    return MissingMediaComponents(
        [&](std::string_view element) { return framework->HasElement(element); });
}

bool MediaRegistryMissing() {
    return !FrameworkPathsChanged() && !UserHasRegistry();
}

std::optional<bool> FoundInTheirOwnPlugins() {
    // The framework's own answer is the only one that counts where its paths were changed.
    if (FrameworkPathsChanged())
        return std::nullopt;
    const std::optional<MediaFramework> framework = OpenMediaFramework();
    if (!framework || !framework->loadFile || UserHasRegistry())
        return std::nullopt;
    const std::string folder = UsualPluginFolder(*framework);
    if (folder.empty())
        return std::nullopt;
    // Without a registry the framework starts knowing no plugin and scans none; the variable is
    // read once, by the initialisation, and must not reach any program started later.
    setenv("GST_REGISTRY_DISABLE", "yes", 1);
    const bool started = framework->initCheck(nullptr, nullptr, nullptr);
    unsetenv("GST_REGISTRY_DISABLE");
    if (!started)
        return false;
    std::vector<std::string> tried;
    const std::vector<std::string> missing = MissingMediaComponents([&](std::string_view element) {
        if (framework->HasElement(element))
            return true;
        const std::string plugin(UsualPlugin(element));
        if (plugin.empty() || std::find(tried.begin(), tried.end(), plugin) != tried.end())
            return false;
        tried.push_back(plugin);
        const std::string file = folder + "/libgst" + plugin + ".so";
        if (void* loaded = framework->loadFile(file.c_str(), nullptr))
            framework->unref(loaded);
        return framework->HasElement(element);
    });
    return missing.empty();
}

}  // namespace kestrum
