#include "browser/linux/blank_page_load.h"

#include <utility>

namespace kestrum {

BlankPageLoad::BlankPageLoad(WebKitWebView* view) : view_(view) {
    handlers_[0] =
        g_signal_connect(view_, "load-changed",
                         G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer self) {
                             if (event == WEBKIT_LOAD_FINISHED)
                                 static_cast<BlankPageLoad*>(self)->End();
                         }),
                         this);
    handlers_[1] = g_signal_connect(view_, "load-failed",
                                    G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, gchar*, GError*,
                                                   gpointer self) -> gboolean {
                                        static_cast<BlankPageLoad*>(self)->End();
                                        return TRUE;  // no error page for it
                                    }),
                                    this);
    handlers_[2] = g_signal_connect(
        view_, "web-process-terminated",
        G_CALLBACK(+[](WebKitWebView*, WebKitWebProcessTerminationReason, gpointer self) {
            static_cast<BlankPageLoad*>(self)->End();
        }),
        this);
    webkit_web_view_load_uri(view_, "about:blank");
}

BlankPageLoad::~BlankPageLoad() {
    for (const gulong handler : handlers_) {
        if (handler != 0)
            g_signal_handler_disconnect(view_, handler);
    }
    if (limit_ != 0)
        g_source_remove(limit_);
}

void BlankPageLoad::WhenEnded(std::function<void()> ended, guint limitMs) {
    ended_ = std::move(ended);
    limit_ = g_timeout_add(
        limitMs,
        [](gpointer self) -> gboolean {
            static_cast<BlankPageLoad*>(self)->limit_ = 0;
            static_cast<BlankPageLoad*>(self)->End();
            return G_SOURCE_REMOVE;
        },
        this);
}

void BlankPageLoad::End() {
    if (!std::exchange(loading_, false))
        return;
    for (gulong& handler : handlers_) {
        g_signal_handler_disconnect(view_, handler);
        handler = 0;
    }
    if (limit_ != 0) {
        g_source_remove(limit_);
        limit_ = 0;
    }
    if (ended_)
        std::exchange(ended_, nullptr)();
}

}  // namespace kestrum
