#include "browser/linux/default_browser_gtk.h"

#include <gtk/gtk.h>

#include "common/debug_log.h"

namespace kestrum {

bool OpenInDefaultBrowser(const std::string& address) {
    GdkAppLaunchContext* context = gdk_display_get_app_launch_context(gdk_display_get_default());
    GError* error = nullptr;
    const gboolean opened = g_app_info_launch_default_for_uri(
        address.c_str(), context ? G_APP_LAUNCH_CONTEXT(context) : nullptr, &error);
    if (!opened)
        DebugLog("No web browser took the address: " +
                 std::string(error ? error->message : "unknown error"));
    g_clear_error(&error);
    if (context)
        g_object_unref(context);
    return opened;
}

}  // namespace kestrum
