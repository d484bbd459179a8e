#include "app/linux/browser_runtime_linux.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <webkit2/webkit2.h>

#include <string>

#include "app/linux/media_check_ahead.h"
#include "app/linux/splash_gtk.h"
#include "app/runtime_requirements.h"
#include "browser/linux/browser_window_shell_gtk.h"
#include "browser/linux/webkit_engine.h"
#include "common/debug_log.h"
#include "common/message_box.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

std::optional<std::string> EngineTooOld() {
    const unsigned major = webkit_get_major_version();
    const unsigned minor = webkit_get_minor_version();
    if (IsSupportedEngine(major, minor))
        return std::nullopt;
    return std::to_string(major) + "." + std::to_string(minor);
}

}  // namespace

bool IsSupportedEngine(unsigned major, unsigned minor) {
    return major > kMinimumEngineMajor ||
           (major == kMinimumEngineMajor && minor >= kMinimumEngineMinor);
}

std::optional<std::string> WebExtensionProblem(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return "not found: " + path;
    // Loaded the way the engine's web processes load it; a library that does not load here
    // (damaged, wrong architecture, missing dependency) would not load there either.
    dlerror();
    void* module = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!module) {
        const char* why = dlerror();
        return std::string("cannot be loaded: ") + (why ? why : path);
    }
    const bool entry = dlsym(module, "webkit_web_extension_initialize_with_user_data") != nullptr;
    dlclose(module);
    if (!entry)
        return "not the application's extension: " + path;
    return std::nullopt;
}

bool EnsureBrowserRuntime() {
    RuntimeProblems problems;
    problems.engineTooOld = EngineTooOld();
    problems.extension = WebExtensionProblem(WebExtensionDirectory() + "/" + kWebExtensionFileName);
    problems.missingMedia = MissingMedia();
    if (!problems.Any())
        return true;

    if (problems.extension)
        DebugLog("Web extension: " + *problems.extension);
    for (const std::string& component : problems.missingMedia)
        DebugLog("Missing media component: " + component);
    DiscardWarmBrowser();  // nothing of the browser outlives the decision
    CloseSplash();         // the box must not hide behind it
    MessageBoxRequest box;
    box.text = RuntimeProblemText(problems);
    box.caption = std::u16string(kRuntimeProblemCaption);
    box.icon = MessageIcon::kError;
    ShowMessageBox(box);
    return false;
}

}  // namespace kestrum
