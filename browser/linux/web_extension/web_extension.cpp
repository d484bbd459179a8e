// The player's code in each web process of its browsers: every request of a page passes the
// request handling here, since the web process cannot wait for the player's answer. Pins
// that fail answer the request locally with "Blocked" and tell the player, which ends.
#include <unistd.h>
#include <webkit2/webkit-web-extension.h>

#include <optional>
#include <string>

#include "browser/linux/blocked_scheme.h"
#include "browser/request_handling.h"
#include "browser/web_process_settings.h"
#include "common/text_encoding.h"
#include "fatal/fatal_error.h"
#include "service/page_host_pins.h"
#include "service/pin_store.h"

namespace kestrum {
namespace {

std::optional<WebProcessSettings>& Settings() {
    static std::optional<WebProcessSettings> settings;
    return settings;
}

void SendToPlayer(WebKitWebPage* page, const char* name, GVariant* parameters) {
    webkit_web_page_send_message_to_view(page, webkit_user_message_new(name, parameters), nullptr,
                                         nullptr, nullptr);
}

gboolean OnSendRequest(WebKitWebPage* page, WebKitURIRequest* request, WebKitURIResponse*,
                       gpointer) {
    const gchar* uri = webkit_uri_request_get_uri(request);
    SoupMessageHeaders* headers = webkit_uri_request_get_http_headers(request);
    // Only network requests carry headers; the engine's own schemes (the PDF viewer's, the
    // local answers) pass untouched, and so does a request already turned into "Blocked".
    if (!uri || !headers || !Settings() || g_str_has_prefix(uri, kBlockedScheme))
        return FALSE;

    const WebProcessSettings& settings = *Settings();
    const RequestDecision decision =
        DecideRequest(Utf8ToUtf16(uri), settings.window, settings.device, settings.linkServer,
                      [](const std::u16string& host) { return CheckHostPins(host); });
    if (decision.blocked) {
        const std::string host = Utf16ToUtf8(decision.blockedHost);
        const std::string blocked = std::string(kBlockedScheme) + "://blocked/" + host;
        webkit_uri_request_set_uri(request, blocked.c_str());
        SendToPlayer(page, "pin-failed", g_variant_new_string(host.c_str()));
        return FALSE;
    }
    for (const RequestHeader& header : decision.headers) {
        soup_message_headers_replace(headers, Utf16ToUtf8(header.name).c_str(),
                                     Utf16ToUtf8(header.value).c_str());
    }
    return FALSE;
}

void OnPageCreated(WebKitWebExtension*, WebKitWebPage* page, gpointer) {
    g_signal_connect(page, "send-request", G_CALLBACK(OnSendRequest), nullptr);
    // The player waits for this process to end when it closes the browser.
    SendToPlayer(page, "web-process", g_variant_new_int32(static_cast<gint32>(getpid())));
}

}  // namespace
}  // namespace kestrum

extern "C" G_MODULE_EXPORT void webkit_web_extension_initialize_with_user_data(
    WebKitWebExtension* extension, GVariant* data) {
    using namespace kestrum;
    if (data && g_variant_is_of_type(data, G_VARIANT_TYPE_STRING))
        Settings() = ParseWebProcessSettings(g_variant_get_string(data, nullptr));
    if (!Settings()) {
        // Never let requests pass unchecked: the built-in pins and the client header still
        // apply, only the device values and the Referer are missing.
        g_warning(
            "The player's settings did not reach this web process; using the built-in "
            "pins.");
        Settings() = WebProcessSettings{BrowserWindow::kMain, {}, {}, DefaultPins()};
    }
    ReplacePins(Settings()->pins);
    // The player shows a page's pin failure: this process blocks the request and tells the
    // player (OnSendRequest), so a fatal error in the pin check must not end it silently.
    ReportFatalErrorsInstead([](const FatalError& error) {
        g_warning("Fatal error in a page's request, diagnostic code %s", error.code.c_str());
    });
    g_signal_connect(extension, "page-created", G_CALLBACK(OnPageCreated), nullptr);
}
