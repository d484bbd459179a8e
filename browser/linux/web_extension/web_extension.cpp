// The player's code in each web process of its browsers: every request of a page passes the
// request handling here, since the web process cannot wait for the player's answer. Pins
// that fail answer the request locally with "Blocked" and tell the player, which ends. The
// main window's top-level navigations are judged here too, before their request is sent, so
// that a refused host is never reached.
#include <unistd.h>
#include <webkit2/webkit-web-extension.h>

#include <optional>
#include <string>

#include "browser/linux/blocked_scheme.h"
#include "browser/linux/idle_memory_return.h"
#include "browser/navigation_policy.h"
#include "browser/request_handling.h"
#include "browser/web_process_settings.h"
#include "common/app_context.h"
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

// False when the player's settings did not arrive: navigations are then left to the player.
bool judgesNavigations = false;

WebKitWebExtension* theExtension = nullptr;

void SendToPlayer(WebKitWebPage* page, const char* name, GVariant* parameters) {
    webkit_web_page_send_message_to_view(page, webkit_user_message_new(name, parameters), nullptr,
                                         nullptr, nullptr);
}

// The main frame's request for its next document: the page takes that address as its own
// when the main frame starts loading it, before the request is sent, and a redirect of that
// request answers from the page's address. A frame's request for the very address of the
// page is judged too, with the same (allowing) result.
bool IsTopDocumentRequest(WebKitWebPage* page, const gchar* uri, WebKitURIResponse* redirect) {
    const gchar* pageUri = webkit_web_page_get_uri(page);
    if (!pageUri)
        return false;
    if (g_str_equal(pageUri, uri))
        return true;
    const gchar* from = redirect ? webkit_uri_response_get_uri(redirect) : nullptr;
    return from && g_str_equal(pageUri, from);
}

bool RefusesTopLevelNavigation(WebKitWebPage* page, const gchar* uri, WebKitURIResponse* redirect) {
    if (!judgesNavigations || Settings()->window != BrowserWindow::kMain)
        return false;
    if (!g_str_has_prefix(uri, "https://") && !g_str_has_prefix(uri, "http://"))
        return false;  // nothing of the network is reached; the player judges the rest
    if (!IsTopDocumentRequest(page, uri, redirect))
        return false;
    AppContext content;
    content.contentUrl = Settings()->contentUrl;
    content.contentKind = Settings()->contentKind;
    content.linkServer = Settings()->linkServer;
    return ContentNavigationPolicy(Utf8ToUtf16(uri), content) == NavigationDecision::kCancel;
}

gboolean OnSendRequest(WebKitWebPage* page, WebKitURIRequest* request, WebKitURIResponse* redirect,
                       gpointer) {
    const gchar* uri = webkit_uri_request_get_uri(request);
    if (!uri || !Settings() || g_str_has_prefix(uri, kBlockedScheme))
        return FALSE;
    if (RefusesTopLevelNavigation(page, uri, redirect)) {
        // Never sent: the player fails it locally, so that the load ends before anything is
        // committed and the page stays as it was. (A request cancelled here would commit an
        // empty document in its place.)
        SendToPlayer(page, "navigation-refused", g_variant_new_string(uri));
        webkit_uri_request_set_uri(request, kRefusedNavigationUri);
        return FALSE;
    }
    // Only network requests carry headers; the engine's own schemes (the PDF viewer's, the
    // local answers) pass untouched, and so does a request already turned into "Blocked".
    SoupMessageHeaders* headers = webkit_uri_request_get_http_headers(request);
    if (!headers)
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

// The player says when a page's load has ended: what the load freed here goes back to the
// system, once the loading overlay has faded and gone too (half a second after the load).
gboolean OnPageMessage(WebKitWebPage*, WebKitUserMessage* message, gpointer) {
    constexpr guint kAfterTheOverlayMs = 700;
    const gchar* name = webkit_user_message_get_name(message);
    if (!name || !g_str_equal(name, "page-loaded"))
        return FALSE;
    ReturnFreedMemoryWhenIdle(kAfterTheOverlayMs);
    return TRUE;
}

void OnPageCreated(WebKitWebExtension*, WebKitWebPage* page, gpointer) {
    g_signal_connect(page, "send-request", G_CALLBACK(OnSendRequest), nullptr);
    g_signal_connect(page, "user-message-received", G_CALLBACK(OnPageMessage), nullptr);
    // The player waits for this process to end when it closes the browser.
    SendToPlayer(page, "web-process", g_variant_new_int32(static_cast<gint32>(getpid())));
}

// This process shows no window: a fatal error (a platform host failing its pins in the pin
// check of a request) goes to the player, which shows its dialog and ends, and this process
// with it. Meanwhile the request waits here, as it would behind the player's dialog; should
// the player never end, this process ends on its own.
[[noreturn]] void HandFatalErrorToPlayer(const FatalError& error) {
    if (theExtension) {
        webkit_web_extension_send_message_to_context(
            theExtension,
            webkit_user_message_new("fatal-error", g_variant_new_string(error.code.c_str())),
            nullptr, nullptr, nullptr);
    }
    constexpr int kWaitSeconds = 60;
    for (int second = 0; second < kWaitSeconds; ++second)
        g_usleep(G_USEC_PER_SEC);
    _exit(0);
}

// A process the player started ahead of its window had only what the player knew then: the
// rest arrives before the page's first request. Only a whole settings document is taken.
gboolean OnPlayerMessage(WebKitWebExtension*, WebKitUserMessage* message, gpointer) {
    const gchar* name = webkit_user_message_get_name(message);
    GVariant* parameters = webkit_user_message_get_parameters(message);
    if (!name || !g_str_equal(name, "settings") || !parameters ||
        !g_variant_is_of_type(parameters, G_VARIANT_TYPE_STRING))
        return FALSE;
    if (std::optional<WebProcessSettings> settings =
            ParseWebProcessSettings(g_variant_get_string(parameters, nullptr))) {
        Settings() = std::move(settings);
        judgesNavigations = true;
        ReplacePins(Settings()->pins);
        AcceptPassedPageHosts(Settings()->passedHosts);
    }
    return TRUE;
}

}  // namespace
}  // namespace kestrum

extern "C" G_MODULE_EXPORT void webkit_web_extension_initialize_with_user_data(
    WebKitWebExtension* extension, GVariant* data) {
    using namespace kestrum;
    theExtension = extension;
    SetFatalErrorPresenter(HandFatalErrorToPlayer);
    if (data && g_variant_is_of_type(data, G_VARIANT_TYPE_STRING))
        Settings() = ParseWebProcessSettings(g_variant_get_string(data, nullptr));
    judgesNavigations = Settings().has_value();
    if (!Settings()) {
        // Never let requests pass unchecked: the built-in pins and the client header still
        // apply, only the device values and the Referer are missing.
        g_warning(
            "The player's settings did not reach this web process; using the built-in "
            "pins.");
        Settings() = WebProcessSettings{BrowserWindow::kMain, {}, {}, DefaultPins(), {}, {}, {}};
    }
    ReplacePins(Settings()->pins);
    AcceptPassedPageHosts(Settings()->passedHosts);
    // The player shows a page's pin failure: this process blocks the request and tells the
    // player (OnSendRequest), so a fatal error in the pin check must not end it silently.
    ReportFatalErrorsInstead([](const FatalError& error) {
        g_warning("Fatal error in a page's request, diagnostic code %s", error.code.c_str());
    });
    g_signal_connect(extension, "page-created", G_CALLBACK(OnPageCreated), nullptr);
    g_signal_connect(extension, "user-message-received", G_CALLBACK(OnPlayerMessage), nullptr);
}
