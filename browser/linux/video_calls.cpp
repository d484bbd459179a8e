#include "browser/linux/video_calls.h"

#include <optional>

#include "common/debug_log.h"

namespace kestrum {
namespace {

constexpr gint64 kProbeLimitUs = 8 * G_USEC_PER_SEC;

// Process-wide: a late answer of a probe that ran out of time finds it still there.
struct ProbeState {
    bool answered = false;
    bool offers = false;
};
ProbeState probe;

void OnEvaluated(GObject* view, GAsyncResult* result, gpointer) {
    GError* error = nullptr;
    JSCValue* value =
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
    if (value && jsc_value_is_string(value)) {
        gchar* text = jsc_value_to_string(value);
        probe.offers = g_strcmp0(text, "function") == 0;
        g_free(text);
    }
    if (value)
        g_object_unref(value);
    g_clear_error(&error);
    probe.answered = true;
}

void OnProbeLoaded(WebKitWebView* view, WebKitLoadEvent event, gpointer) {
    if (event == WEBKIT_LOAD_FINISHED) {
        webkit_web_view_evaluate_javascript(view, "typeof RTCPeerConnection", -1, nullptr, nullptr,
                                            nullptr, OnEvaluated, nullptr);
    }
}

bool AskEngine() {
    WebKitWebContext* context = webkit_web_context_new_ephemeral();
    WebKitWebView* view =
        WEBKIT_WEB_VIEW(g_object_ref_sink(webkit_web_view_new_with_context(context)));
    TurnOnVideoCalls(webkit_web_view_get_settings(view));
    g_signal_connect(view, "load-changed", G_CALLBACK(OnProbeLoaded), nullptr);
    // A secure origin of its own, as a meeting page has; nothing is fetched.
    webkit_web_view_load_html(view, "<!DOCTYPE html><title>-</title>",
                              "https://video-call-probe.invalid/");

    // The main loop runs meanwhile (the splash paints); a timer wakes the wait at its end.
    bool late = false;
    const guint timer = g_timeout_add(
        static_cast<guint>(kProbeLimitUs / 1000),
        [](gpointer flag) -> gboolean {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &late);
    while (!probe.answered && !late)
        g_main_context_iteration(nullptr, TRUE);
    if (!late)
        g_source_remove(timer);

    g_signal_handlers_disconnect_by_func(view, reinterpret_cast<gpointer>(OnProbeLoaded), nullptr);
    gtk_widget_destroy(GTK_WIDGET(view));
    g_object_unref(view);
    g_object_unref(context);
    if (!probe.answered)
        DebugLog("The engine did not say in time whether it has WebRTC.");
    return probe.answered && probe.offers;
}

}  // namespace

void TurnOnVideoCalls(WebKitSettings* settings) {
    webkit_settings_set_enable_webrtc(settings, TRUE);
    webkit_settings_set_enable_media_stream(settings, TRUE);
}

bool EngineOffersWebRtc() {
    static std::optional<bool> offers;
    if (!offers) {
        offers = AskEngine();
        DebugLog(*offers ? "The engine has WebRTC." : "The engine has no WebRTC.");
    }
    return *offers;
}

}  // namespace kestrum
