#include "app/linux/browser_runtime_linux.h"

#include <webkit2/webkit2.h>

#include <string>

#include "common/message_box.h"
#include "common/text_encoding.h"

namespace kestrum {

bool IsSupportedEngine(unsigned major, unsigned minor) {
    return major > kMinimumEngineMajor ||
           (major == kMinimumEngineMajor && minor >= kMinimumEngineMinor);
}

bool EnsureBrowserRuntime() {
    const unsigned major = webkit_get_major_version();
    const unsigned minor = webkit_get_minor_version();
    if (IsSupportedEngine(major, minor))
        return true;

    const std::string found = std::to_string(major) + "." + std::to_string(minor);
    MessageBoxRequest box;
    box.text = Utf8ToUtf16(
        "The web engine WebKitGTK " + found +
        " is too old for this application (2.36 or later is required).\n"
        "Please install an up-to-date libwebkit2gtk-4.1-0 package and start the application "
        "again.\n"
        "محرك الويب WebKitGTK المثبت قديم. يرجى تثبيت إصدار حديث من الحزمة libwebkit2gtk-4.1-0 "
        "ثم إعادة تشغيل التطبيق.");
    box.caption = u"Molvane — Component Required";
    box.icon = MessageIcon::kError;
    ShowMessageBox(box);
    return false;
}

}  // namespace kestrum
