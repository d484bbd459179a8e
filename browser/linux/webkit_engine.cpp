#include "browser/linux/webkit_engine.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "browser/linux/blank_page_load.h"
#include "browser/linux/idle_memory_return.h"
#include "browser/linux/permission_requests.h"
#include "browser/linux/pinned_certificates.h"
#include "browser/linux/system_errors.h"
#include "browser/linux/video_calls.h"
#include "browser/linux/web_process_watch.h"
#include "browser/load_error_page.h"
#include "browser/page_scripts.h"
#include "browser/request_handling.h"
#include "browser/top_document_messages.h"
#include "browser/web_process_settings.h"
#include "common/app_context.h"
#include "common/debug_log.h"
#include "common/linux/own_executable_linux.h"
#include "common/text_encoding.h"
#include "printing/linux/pdf_document_print.h"
#include "service/device_identity.h"
#include "service/page_host_pins.h"
#include "service/pin_store.h"
#include "service/pin_validation.h"

namespace kestrum {
namespace {

WebKitPrintHandler& PrintHandler() {
    static WebKitPrintHandler handler;
    return handler;
}

bool quitPending = false;
int quitCode = 0;

// How long a browser started ahead may take to load its blank page before it is taken over.
constexpr guint kWarmLoadLimitMs = 10000;

// Hands a JSON message of the player to the page's listeners, through the bridge.
void DeliverToPage(WebKitWebView* view, const std::u16string& json) {
    webkit_web_view_evaluate_javascript(view, Utf16ToUtf8(BridgeDeliveryScript(json)).c_str(), -1,
                                        nullptr, nullptr, nullptr, nullptr, nullptr);
}

// A fresh key for the bridge of one browser: 128 random bits as hexadecimal digits. Empty
// (no message is then answered) if the system has no randomness to give.
std::u16string NewBridgeKey() {
    unsigned char bytes[16];
    std::size_t filled = 0;
    while (filled < sizeof bytes) {
        const ssize_t got = getrandom(bytes + filled, sizeof bytes - filled, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return {};
        filled += static_cast<std::size_t>(got);
    }
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    std::u16string key;
    for (const unsigned char byte : bytes) {
        key += kDigits[byte >> 4];
        key += kDigits[byte & 0x0f];
    }
    return key;
}

// A pin failure of a page's host, as the web process reports it: a host of the platform's
// own domain ends the player with its "SSL_" dialog at once, any other host with the
// interception report that follows the local "Blocked" answer.
void ReportPagePinFailure(const std::u16string& host) {
    if (host.empty())
        return;
    if (IsPlatformDomainHost(host))
        ReportPlatformHostInterception(host);
    else
        ReportInterceptedHost(host);
}

// Whether a failed load gets the player's error page: not for loads that were stopped (by
// the learner, the player or a newer navigation), handed to another handler or refused by
// policy, which leave the page as it was.
bool ShowsErrorPage(const GError* error) {
    if (!error)
        return false;
    if (error->domain == WEBKIT_NETWORK_ERROR)
        return error->code != WEBKIT_NETWORK_ERROR_CANCELLED;
    return error->domain != WEBKIT_POLICY_ERROR && error->domain != WEBKIT_PLUGIN_ERROR &&
           error->domain != WEBKIT_DOWNLOAD_ERROR;
}

// Runs a completion from the main loop, as the runtime's handlers arrive on Windows.
void CompleteLater(std::function<void(Creation)> completed, Creation result) {
    auto* call =
        new std::pair<std::function<void(Creation)>, Creation>(std::move(completed), result);
    g_idle_add(
        [](gpointer data) -> gboolean {
            std::unique_ptr<std::pair<std::function<void(Creation)>, Creation>> owned(
                static_cast<std::pair<std::function<void(Creation)>, Creation>*>(data));
            owned->first(owned->second);
            return G_SOURCE_REMOVE;
        },
        call);
}

class WebKitEngine final : public BrowserEngine {
  public:
    explicit WebKitEngine(BrowserWindow kind) : kind_(kind) {}
    ~WebKitEngine() override { CloseBrowser(0); }

    // Judged without touching the pointer: a destroyed window is no longer a toplevel.
    bool IsLiveWindow(NativeWindow window) override {
        if (!window)
            return false;
        GList* toplevels = gtk_window_list_toplevels();
        const bool live = g_list_find(toplevels, window) != nullptr;
        g_list_free(toplevels);
        return live && !gtk_widget_in_destruction(GTK_WIDGET(window));
    }
    std::u16string ProgramFolder() override { return Utf8ToUtf16(OwnExecutableFolder()); }
    char16_t PathSeparator() override { return u'/'; }
    std::u16string PrivateRuntimeExecutableName() override { return u"WebKitWebProcess"; }
    bool IsDirectory(const std::u16string& path) override {
        struct stat info {};
        return stat(Utf16ToUtf8(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    bool IsFile(const std::u16string& path) override {
        struct stat info {};
        return stat(Utf16ToUtf8(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
    }
    // WebKitGTK is a system library: it cannot run from a folder beside the program, so only
    // the installed engine has a version.
    std::u16string RuntimeVersion(const std::u16string& browserFolder) override {
        if (!browserFolder.empty())
            return {};
        return Utf8ToUtf16(std::to_string(webkit_get_major_version()) + "." +
                           std::to_string(webkit_get_minor_version()) + "." +
                           std::to_string(webkit_get_micro_version()));
    }
    std::u16string RunTag() override {
        return Utf8ToUtf16(std::to_string(getpid()) + "_" +
                           std::to_string(g_get_monotonic_time() / 1000));
    }
    StepFailure CreateFolder(const std::u16string& path) override {
        if (mkdir(Utf16ToUtf8(path).c_str(), 0700) == 0 || (errno == EEXIST && IsDirectory(path)))
            return std::nullopt;
        return HResultFromWin32(SystemErrorFromErrno(errno));
    }
    StepFailure WriteTestFile(const std::u16string& path) override {
        const std::string name = Utf16ToUtf8(path);
        const int file = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (file < 0)
            return HResultFromWin32(SystemErrorFromErrno(errno));
        unlink(name.c_str());  // gone with its handle, as a delete-on-close file
        close(file);
        return std::nullopt;
    }
    bool RuntimeVariableIsSet(const std::u16string& name) override {
        return std::getenv(Utf16ToUtf8(name).c_str()) != nullptr;
    }
    void DeleteRuntimeVariable(const std::u16string& name) override {
        unsetenv(Utf16ToUtf8(name).c_str());
    }
    StepFailure SetRuntimeVariable(const std::u16string& name,
                                   const std::u16string& value) override {
        if (setenv(Utf16ToUtf8(name).c_str(), Utf16ToUtf8(value).c_str(), 1) == 0)
            return std::nullopt;
        return HResultFromWin32(SystemErrorFromErrno(errno));
    }

    HResult CreateEnvironment(const std::u16string& browserFolder, const std::u16string& dataFolder,
                              const std::u16string& browserArguments,
                              std::function<void(Creation)> completed) override;
    // Brings up the context, the view and its web process before the window exists; a
    // creation with the same folder and arguments takes them over.
    bool Warm(const std::u16string& dataFolder, const std::u16string& browserArguments);
    void RegisterBrowserProcessExitHandler() override { watchExit_ = true; }
    void PauseBeforeController() override {}
    HResult CreateController(NativeWindow window, std::function<void(Creation)> completed) override;
    Creation TakeWebview() override {
        if (!view_)
            return {kEFail, false};
        return {kSOk, true};
    }
    void ConfigureController(NativeWindow) override {
        const GdkRGBA background{0x12 / 255.0, 0x12 / 255.0, 0x12 / 255.0, 1.0};
        webkit_web_view_set_background_color(view_, &background);
        gtk_drag_dest_unset(GTK_WIDGET(view_));  // nothing dropped in from outside
    }
    void SubscribeEvents(BrowserEvents& events) override;
    bool HasWebview() override { return view_ != nullptr; }

    Pump PumpOneMessage(std::int64_t& detail) override {
        int code = 0;
        if (TakeMainLoopQuit(code)) {
            detail = code;
            return Pump::kQuit;
        }
        g_main_context_iteration(nullptr, TRUE);
        if (TakeMainLoopQuit(code)) {
            detail = code;
            return Pump::kQuit;
        }
        return Pump::kDispatched;
    }
    void RepostQuit(std::int64_t exitCode) override {
        RequestMainLoopQuit(static_cast<int>(exitCode));
    }
    void Wake(NativeWindow) override { g_main_context_wakeup(nullptr); }

    void CloseBrowser(std::uint32_t timeoutMs) override;

    void ApplySettings() override;
    void AddDocumentScript(const std::u16string& script) override {
        if (!view_)
            return;
        AddScript(script, Documents::kAllButViewer);
    }
    void Navigate(const std::u16string& address,
                  const std::vector<RequestHeader>& headers) override {
        if (!view_)
            return;
        WebKitURIRequest* request = webkit_uri_request_new(Utf16ToUtf8(address).c_str());
        if (SoupMessageHeaders* requestHeaders = webkit_uri_request_get_http_headers(request)) {
            for (const RequestHeader& header : headers)
                soup_message_headers_replace(requestHeaders, Utf16ToUtf8(header.name).c_str(),
                                             Utf16ToUtf8(header.value).c_str());
        }
        webkit_web_view_load_request(view_, request);
        g_object_unref(request);
    }
    void NavigateToString(const std::u16string& html) override {
        if (view_)
            webkit_web_view_load_html(view_, Utf16ToUtf8(html).c_str(), nullptr);
    }
    void GoBack() override {
        if (view_ && webkit_web_view_can_go_back(view_))
            webkit_web_view_go_back(view_);
    }
    void Reload() override {
        if (view_)
            webkit_web_view_reload(view_);
    }
    // The view fills its window's overlay: the toolkit keeps its size and position.
    void Resize(int, int) override {}
    void SetVisible(bool visible) override {
        if (view_)
            gtk_widget_set_visible(GTK_WIDGET(view_), visible);
    }
    void NotifyPositionChanged() override {}
    void RestoreVisibility() override {
        if (!view_ || !window_)
            return;
        GdkWindow* surface = gtk_widget_get_window(GTK_WIDGET(window_));
        if (surface && (gdk_window_get_state(surface) & GDK_WINDOW_STATE_ICONIFIED))
            return;
        gtk_widget_set_visible(GTK_WIDGET(view_), TRUE);
        gtk_widget_queue_resize(GTK_WIDGET(view_));
    }
    void PostWebMessageAsJson(const std::u16string& json) override {
        if (!view_)
            return;
        DeliverToPage(view_, json);
    }
    void ShowSystemPrintDialog() override {
        if (!view_)
            return;
        if (!PrintHandler()) {
            DebugLog("No print handler is installed.");
            return;
        }
        // The result may come after the browser is gone: the message holds its own reference.
        std::shared_ptr<WebKitWebView> target(WEBKIT_WEB_VIEW(g_object_ref(view_)),
                                              [](WebKitWebView* view) { g_object_unref(view); });
        PrintHandler()(view_, window_, [target](const std::string& json) {
            DebugLog("Print result: " + json);
            webkit_web_view_evaluate_javascript(
                target.get(), Utf16ToUtf8(BridgeDeliveryScript(Utf8ToUtf16(json))).c_str(), -1,
                nullptr, nullptr, nullptr, nullptr, nullptr);
        });
    }
    bool OffersWebRtc() override { return EngineOffersWebRtc(); }

  private:
    // The documents a script runs in. The engine shows PDF documents in a viewer of its own,
    // a frame inside the document: the player's page scripts stay out of it, since its code
    // must own its window.print (it fails to start when print is locked) and the document
    // around it carries the overlays; what the viewer prints reaches OnNativePrint.
    enum class Documents { kAll, kAllButViewer, kViewerOnly };
    void AddScript(const std::u16string& script, Documents documents = Documents::kAll) {
        static const gchar* const kViewer[] = {"webkit-pdfjs-viewer://*/*", nullptr};
        WebKitUserScript* user = webkit_user_script_new(
            Utf16ToUtf8(script).c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
            WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START,
            documents == Documents::kViewerOnly ? kViewer : nullptr,
            documents == Documents::kAllButViewer ? kViewer : nullptr);
        webkit_user_content_manager_add_script(contentManager_, user);
        webkit_user_script_unref(user);
    }

    bool MakeContext(const std::u16string& dataFolder, const std::u16string& browserArguments);
    void MakeView();
    static void OnInitializeWebExtensions(WebKitWebContext* context, gpointer self);
    static void OnBlockedRequest(WebKitURISchemeRequest* request, gpointer);
    static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                   WebKitPolicyDecisionType type, gpointer self);
    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self);
    static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                                 gpointer self);
    static void OnScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                gpointer self);
    static gboolean OnPermission(WebKitWebView*, WebKitPermissionRequest* request, gpointer);
    static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer self);
    static gboolean OnUserMessage(WebKitWebView*, WebKitUserMessage* message, gpointer self);
    static gboolean OnWebProcessMessage(WebKitWebContext*, WebKitUserMessage* message, gpointer);
    void AddBridge();
    void ShowErrorPage(const gchar* uri, const GError* error);
    static gboolean OnTlsErrors(WebKitWebView* view, gchar* uri, GTlsCertificate* certificate,
                                GTlsCertificateFlags, gpointer self);
    static gboolean OnNativePrint(WebKitWebView* view, WebKitPrintOperation*, gpointer self);
    static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*,
                                  WebKitHitTestResult*, gpointer) {
        return TRUE;  // no context menu
    }
    bool Refuses(const char* uri) {
        return events_ && uri && events_->NavigationStarting(Utf8ToUtf16(uri));
    }

    BrowserWindow kind_;
    BrowserEvents* events_ = nullptr;
    GtkWindow* window_ = nullptr;
    WebKitWebsiteDataManager* dataManager_ = nullptr;
    WebKitWebContext* context_ = nullptr;
    WebKitUserContentManager* contentManager_ = nullptr;
    WebKitWebView* view_ = nullptr;
    bool disableWebSecurity_ = false;
    bool autoplayAllowed_ = false;
    bool watchExit_ = false;
    pid_t webProcess_ = 0;
    guint nativePrint_ = 0;          // the player's print flow, due for a print the engine began
    std::string refusedUri_;         // the last main-frame navigation stopped by the policy
    std::u16string bridgeKey_;       // what the top document puts before its messages
    std::string errorPageFor_;       // the address whose error page is shown
    bool loadingErrorPage_ = false;  // the next load to start is that page
    bool loadFailed_ = false;
    // The folder and arguments of a context and view made in advance, empty without them.
    std::u16string warmFolder_;
    std::u16string warmArguments_;
    std::unique_ptr<BlankPageLoad> warmLoad_;  // the page that started the web process
};

// What the web process's request handling decides with, as the player holds it now.
std::string CurrentWebProcessSettings(BrowserWindow kind) {
    WebProcessSettings settings;
    settings.window = kind;
    settings.device = {GetDeviceId(), GetDeviceDescription()};
    settings.linkServer = TheAppContext().linkServer;
    settings.pins = CurrentPins();
    settings.contentUrl = TheAppContext().contentUrl;
    settings.contentKind = TheAppContext().contentKind;
    settings.passedHosts = PassedPageHosts();
    return WebProcessSettingsJson(settings);
}

HResult WebKitEngine::CreateEnvironment(const std::u16string&, const std::u16string& dataFolder,
                                        const std::u16string& browserArguments,
                                        std::function<void(Creation)> completed) {
    const bool warm = context_ && dataFolder == warmFolder_ && browserArguments == warmArguments_;
    if (!warm) {
        CloseBrowser(0);  // made in advance for another folder: not this browser's
        if (!MakeContext(dataFolder, browserArguments))
            return kEFail;
    }
    if (warm && warmLoad_ && warmLoad_->Loading()) {
        // The page's events must not meet the blank page's: ready once that has ended.
        warmLoad_->WhenEnded(
            [completed = std::move(completed)] {
                CompleteLater(completed, Creation{kSOk, true});
            },
            kWarmLoadLimitMs);
        return kSOk;
    }
    CompleteLater(std::move(completed), Creation{kSOk, true});
    return kSOk;
}

bool WebKitEngine::Warm(const std::u16string& dataFolder, const std::u16string& browserArguments) {
    if (context_ || !MakeContext(dataFolder, browserArguments))
        return false;
    warmFolder_ = dataFolder;
    warmArguments_ = browserArguments;
    MakeView();
    watchExit_ = true;
    // The web process starts with the view's first load; the page's own comes later.
    warmLoad_ = std::make_unique<BlankPageLoad>(view_);
    return true;
}

bool WebKitEngine::MakeContext(const std::u16string& dataFolder,
                               const std::u16string& browserArguments) {
    // The runtime switches this engine has an equivalent for.
    disableWebSecurity_ = browserArguments.find(u"--disable-web-security") != std::u16string::npos;
    autoplayAllowed_ = browserArguments.find(u"--autoplay-policy=no-user-gesture-required") !=
                       std::u16string::npos;

    const std::string folder = Utf16ToUtf8(dataFolder);
    const std::string cache = folder + "/cache";
    dataManager_ = webkit_website_data_manager_new("base-data-directory", folder.c_str(),
                                                   "base-cache-directory", cache.c_str(), nullptr);
    context_ = webkit_web_context_new_with_website_data_manager(dataManager_);
    if (!context_)
        return false;
    webkit_web_context_set_cache_model(context_, WEBKIT_CACHE_MODEL_WEB_BROWSER);
    g_signal_connect(context_, "initialize-web-extensions", G_CALLBACK(OnInitializeWebExtensions),
                     this);
    g_signal_connect(context_, "user-message-received", G_CALLBACK(OnWebProcessMessage), this);
    webkit_web_context_register_uri_scheme(context_, kBlockedScheme, OnBlockedRequest, nullptr,
                                           nullptr);
    WebKitSecurityManager* security = webkit_web_context_get_security_manager(context_);
    webkit_security_manager_register_uri_scheme_as_secure(security, kBlockedScheme);
    webkit_security_manager_register_uri_scheme_as_cors_enabled(security, kBlockedScheme);
    return true;
}

void WebKitEngine::OnInitializeWebExtensions(WebKitWebContext* context, gpointer self) {
    auto* engine = static_cast<WebKitEngine*>(self);
    const std::string directory = WebExtensionDirectory();
    webkit_web_context_set_web_extensions_directory(context, directory.c_str());
    webkit_web_context_set_web_extensions_initialization_user_data(
        context, g_variant_new_string(CurrentWebProcessSettings(engine->kind_).c_str()));
    if (webkit_web_context_get_sandbox_enabled(context))
        webkit_web_context_add_path_to_sandbox(context, directory.c_str(), TRUE);
}

void WebKitEngine::OnBlockedRequest(WebKitURISchemeRequest* request, gpointer) {
    if (g_str_equal(webkit_uri_scheme_request_get_uri(request), kRefusedNavigationUri)) {
        GError* refused = g_error_new_literal(WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED,
                                              "Navigation refused");
        webkit_uri_scheme_request_finish_error(request, refused);
        g_error_free(refused);
        return;
    }
    GInputStream* empty = g_memory_input_stream_new();
    WebKitURISchemeResponse* response = webkit_uri_scheme_response_new(empty, 0);
    webkit_uri_scheme_response_set_status(response, 403, "Blocked");
    webkit_uri_scheme_response_set_content_type(response, "text/plain");
    SoupMessageHeaders* headers = soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE);
    soup_message_headers_replace(headers, "Content-Type", "text/plain");
    // Cross-origin fetches of the page must see the answer too.
    soup_message_headers_replace(headers, "Access-Control-Allow-Origin", "*");
    webkit_uri_scheme_response_set_http_headers(response, headers);
    webkit_uri_scheme_request_finish_with_response(request, response);
    g_object_unref(response);
    g_object_unref(empty);
}

void WebKitEngine::MakeView() {
    contentManager_ = webkit_user_content_manager_new();
    webkit_user_content_manager_register_script_message_handler(
        contentManager_, std::string(kHostMessageHandlerName).c_str());
    AddBridge();
    AddScript(ViewerPrintScript(), Documents::kViewerOnly);

    WebKitWebsitePolicies* policies = webkit_website_policies_new_with_policies(
        "autoplay", autoplayAllowed_ ? WEBKIT_AUTOPLAY_ALLOW : WEBKIT_AUTOPLAY_ALLOW_WITHOUT_SOUND,
        nullptr);
    view_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context_,
                                         "user-content-manager", contentManager_,
                                         "website-policies", policies, nullptr));
    g_object_unref(policies);
    g_object_ref_sink(view_);
    // The view's web process names itself here; closing the browser waits for its end.
    g_signal_connect(view_, "user-message-received", G_CALLBACK(OnUserMessage), this);
}

HResult WebKitEngine::CreateController(NativeWindow window,
                                       std::function<void(Creation)> completed) {
    if (!context_ || !IsLiveWindow(window))
        return kEFail;
    window_ = GTK_WINDOW(window);
    if (view_) {
        // A web process started in advance learnt what the player knew then; it learns the
        // rest (pins, the link's server and content) before the page's first request.
        webkit_web_context_send_message_to_all_extensions(
            context_,
            webkit_user_message_new(
                "settings", g_variant_new_string(CurrentWebProcessSettings(kind_).c_str())));
    } else {
        MakeView();
    }

    GtkWidget* child = gtk_bin_get_child(GTK_BIN(window_));
    if (child && GTK_IS_OVERLAY(child)) {
        gtk_overlay_add_overlay(GTK_OVERLAY(child), GTK_WIDGET(view_));
    } else {
        if (child)
            gtk_container_remove(GTK_CONTAINER(window_), child);
        gtk_container_add(GTK_CONTAINER(window_), GTK_WIDGET(view_));
    }
    gtk_widget_show(GTK_WIDGET(view_));
    // The content's pinned server is trusted before the first load: framed content (the
    // player's own page) could not take a refused certificate back, and a page shown directly
    // need not fail once and load again.
    if (kind_ == BrowserWindow::kMain)
        AcceptPinnedCertificate(context_, Utf16ToUtf8(TheAppContext().contentUrl));
    CompleteLater(std::move(completed), Creation{kSOk, true});
    return kSOk;
}

void WebKitEngine::SubscribeEvents(BrowserEvents& events) {
    events_ = &events;
    g_signal_connect(view_, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(OnLoadChanged), this);
    g_signal_connect(view_, "load-failed", G_CALLBACK(OnLoadFailed), this);
    g_signal_connect(view_, "permission-request", G_CALLBACK(OnPermission), this);
    g_signal_connect(view_, "create", G_CALLBACK(OnCreate), this);
    g_signal_connect(view_, "context-menu", G_CALLBACK(OnContextMenu), this);
    g_signal_connect(view_, "print", G_CALLBACK(OnNativePrint), this);
    g_signal_connect(view_, "load-failed-with-tls-errors", G_CALLBACK(OnTlsErrors), this);
    const std::string signal = "script-message-received::" + std::string(kHostMessageHandlerName);
    g_signal_connect(contentManager_, signal.c_str(), G_CALLBACK(OnScriptMessage), this);
}

// Top-level navigations only: the navigation action of this engine does not tell the frame,
// so a navigation is judged when the main frame starts loading it (and at each redirect),
// where a refusal stops it with the page left as it was; the main frame's response is judged
// again, so that nothing refused is ever shown.
gboolean WebKitEngine::OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision,
                                      WebKitPolicyDecisionType type, gpointer self) {
    auto* engine = static_cast<WebKitEngine*>(self);
    if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
        // A link into a new window opens in this view instead.
        WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
            WEBKIT_NAVIGATION_POLICY_DECISION(decision));
        const gchar* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
        std::string target = uri ? uri : "";
        webkit_policy_decision_ignore(decision);
        if (!target.empty())
            webkit_web_view_load_uri(view, target.c_str());
        return TRUE;
    }
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
        auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
        if (webkit_response_policy_decision_is_main_frame_main_resource(response)) {
            const gchar* uri =
                webkit_uri_request_get_uri(webkit_response_policy_decision_get_request(response));
            if (engine->Refuses(uri)) {
                engine->refusedUri_ = uri;
                webkit_policy_decision_ignore(decision);
                return TRUE;
            }
        }
    }
    return FALSE;
}

void WebKitEngine::OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self) {
    auto* engine = static_cast<WebKitEngine*>(self);
    if (event == WEBKIT_LOAD_STARTED && !std::exchange(engine->loadingErrorPage_, false))
        engine->errorPageFor_.clear();  // a load of the learner's or the page's own
    if (event == WEBKIT_LOAD_STARTED || event == WEBKIT_LOAD_REDIRECTED) {
        engine->loadFailed_ = false;
        const gchar* uri = webkit_web_view_get_uri(view);
        if (engine->Refuses(uri)) {
            engine->refusedUri_ = uri;
            webkit_web_view_stop_loading(view);
        }
        return;
    }
    // A failed load has been reported already; the engine finishes it too.
    if (event != WEBKIT_LOAD_FINISHED || std::exchange(engine->loadFailed_, false))
        return;
    DebugLog("Page load finished");
    // The load's burst of work is over in both processes.
    ReturnFreedMemoryWhenIdle();
    webkit_web_view_send_message_to_page(view, webkit_user_message_new("page-loaded", nullptr),
                                         nullptr, nullptr, nullptr);
    if (engine->events_)
        engine->events_->NavigationCompleted(true, 0);
}

gboolean WebKitEngine::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                                    gpointer self) {
    auto* engine = static_cast<WebKitEngine*>(self);
    const bool refused = uri && (engine->refusedUri_ == uri ||
                                 g_str_has_prefix(uri, kBlockedScheme) || engine->Refuses(uri));
    engine->loadFailed_ = true;
    if (engine->events_)
        engine->events_->NavigationCompleted(false, error ? error->code : 0);
    // A refused navigation leaves the page as it was, without an error page.
    if (refused)
        return TRUE;
    // Should the error page itself fail to show, the engine's blank stays: no loop.
    if (uri && ShowsErrorPage(error) && engine->errorPageFor_ != uri) {
        engine->errorPageFor_ = uri;
        engine->loadingErrorPage_ = true;
        engine->ShowErrorPage(uri, error);
    }
    return TRUE;
}

void WebKitEngine::ShowErrorPage(const gchar* uri, const GError* error) {
    if (!view_)
        return;
    const std::u16string page =
        LoadErrorPage(Utf8ToUtf16(uri), Utf8ToUtf16(error && error->message ? error->message : ""));
    // Shown in place of the address, so that going back and reloading work as for the page.
    webkit_web_view_load_alternate_html(view_, Utf16ToUtf8(page).c_str(), uri, nullptr);
}

void WebKitEngine::OnScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                   gpointer self) {
    auto* engine = static_cast<WebKitEngine*>(self);
    JSCValue* value = webkit_javascript_result_get_js_value(result);
    gchar* text =
        jsc_value_is_string(value) ? jsc_value_to_string(value) : jsc_value_to_json(value, 0);
    const std::u16string posted = Utf8ToUtf16(text ? text : "");
    g_free(text);
    // Only the top document's bridge knows the key; frames reach the handler without it.
    const std::optional<std::u16string> message = TopDocumentMessage(posted, engine->bridgeKey_);
    if (!message) {
        DebugLog("A message from a frame other than the top document was ignored.");
        return;
    }
    if (engine->events_)
        engine->events_->WebMessage(*message);
}

// Pages written for window.chrome.webview find it before any other script; only the top
// document gets it, with the key of this browser.
void WebKitEngine::AddBridge() {
    bridgeKey_ = NewBridgeKey();
    WebKitUserScript* bridge =
        webkit_user_script_new(Utf16ToUtf8(TopDocumentBridgeScript(bridgeKey_)).c_str(),
                               WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                               WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(contentManager_, bridge);
    webkit_user_script_unref(bridge);
}

gboolean WebKitEngine::OnPermission(WebKitWebView*, WebKitPermissionRequest* request, gpointer) {
    AnswerPermissionRequest(request);
    return TRUE;
}

GtkWidget* WebKitEngine::OnCreate(WebKitWebView* view, WebKitNavigationAction* action, gpointer) {
    // window.open() opens in this view.
    const gchar* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    if (uri && *uri)
        webkit_web_view_load_uri(view, uri);
    return nullptr;
}

gboolean WebKitEngine::OnUserMessage(WebKitWebView*, WebKitUserMessage* message, gpointer self) {
    auto* engine = static_cast<WebKitEngine*>(self);
    const gchar* name = webkit_user_message_get_name(message);
    GVariant* parameters = webkit_user_message_get_parameters(message);
    if (!name || !parameters)
        return FALSE;
    if (g_str_equal(name, "pin-failed") &&
        g_variant_is_of_type(parameters, G_VARIANT_TYPE_STRING)) {
        ReportPagePinFailure(Utf8ToUtf16(g_variant_get_string(parameters, nullptr)));
        return TRUE;
    }
    if (g_str_equal(name, "navigation-refused") &&
        g_variant_is_of_type(parameters, G_VARIANT_TYPE_STRING)) {
        engine->refusedUri_ = g_variant_get_string(parameters, nullptr);
        DebugLog("Navigation refused before its request: " + engine->refusedUri_);
        return TRUE;
    }
    if (g_str_equal(name, "web-process") &&
        g_variant_is_of_type(parameters, G_VARIANT_TYPE_INT32)) {
        engine->webProcess_ = g_variant_get_int32(parameters);
        return TRUE;
    }
    return FALSE;
}

// A web process without a page to speak through: the fatal error of a platform host that
// failed its pins there ("SSL_" + host). Only that code is taken, and only for a host of the
// platform's domain: the player writes the dialog itself.
gboolean WebKitEngine::OnWebProcessMessage(WebKitWebContext*, WebKitUserMessage* message,
                                           gpointer) {
    const gchar* name = webkit_user_message_get_name(message);
    GVariant* parameters = webkit_user_message_get_parameters(message);
    if (!name || !g_str_equal(name, "fatal-error") || !parameters ||
        !g_variant_is_of_type(parameters, G_VARIANT_TYPE_STRING))
        return FALSE;
    const std::string code = g_variant_get_string(parameters, nullptr);
    constexpr std::string_view kPinPrefix = "SSL_";
    const std::u16string host =
        code.starts_with(kPinPrefix) ? Utf8ToUtf16(code.substr(kPinPrefix.size())) : u"";
    if (!host.empty() && IsPlatformDomainHost(host))
        ReportPlatformHostInterception(host);
    else
        DebugLog("A web process reported a fatal error the player does not take: " + code);
    return TRUE;
}

// The engine's own print dialog never shows. The PDF viewer of a PDF document prints
// through the engine (its print button, Ctrl+P inside it): that opens the player's print
// flow, once the engine's print call has returned. Any other frame that reached the engine's
// print got past the print routing, and only the document itself speaks for the page.
gboolean WebKitEngine::OnNativePrint(WebKitWebView* view, WebKitPrintOperation*, gpointer self) {
    auto* engine = static_cast<WebKitEngine*>(self);
    if (!ViewShowsPdfDocument(view)) {
        DebugLog("A print of the engine's own was refused.");
        return TRUE;
    }
    if (engine->nativePrint_ == 0) {
        engine->nativePrint_ = g_idle_add(
            [](gpointer data) -> gboolean {
                auto* due = static_cast<WebKitEngine*>(data);
                due->nativePrint_ = 0;
                due->ShowSystemPrintDialog();
                return G_SOURCE_REMOVE;
            },
            engine);
    }
    return TRUE;
}

// A pinned server whose chain passes its pins is trusted for its host, and the page loads
// again; any other certificate error stays the engine's.
gboolean WebKitEngine::OnTlsErrors(WebKitWebView* view, gchar* uri, GTlsCertificate* certificate,
                                   GTlsCertificateFlags, gpointer self) {
    auto* engine = static_cast<WebKitEngine*>(self);
    engine->loadFailed_ = true;
    if (uri && (engine->refusedUri_ == uri || engine->Refuses(uri)))
        return TRUE;  // refused: nothing is shown and nothing loaded again
    if (!uri || !AcceptPinnedCertificate(engine->context_, uri, certificate))
        return FALSE;
    webkit_web_view_load_uri(view, uri);
    return TRUE;
}

void WebKitEngine::ApplySettings() {
    if (!view_)
        return;
    WebKitSettings* settings = webkit_web_view_get_settings(view_);
    webkit_settings_set_enable_developer_extras(settings, FALSE);
    webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);
    webkit_settings_set_media_playback_requires_user_gesture(settings, !autoplayAllowed_);
    webkit_settings_set_disable_web_security(settings, disableWebSecurity_);
    webkit_settings_set_enable_back_forward_navigation_gestures(settings, FALSE);
    // Live classes run in the content window, where the engine has what they need.
    if (kind_ == BrowserWindow::kMain)
        TurnOnVideoCalls(settings);
    // No zoom: the level stays at 1 whatever the page or the learner asks.
    webkit_web_view_set_zoom_level(view_, 1.0);
    g_signal_connect(view_, "notify::zoom-level",
                     G_CALLBACK(+[](WebKitWebView* view, GParamSpec*, gpointer) {
                         if (webkit_web_view_get_zoom_level(view) != 1.0)
                             webkit_web_view_set_zoom_level(view, 1.0);
                     }),
                     nullptr);
}

void WebKitEngine::CloseBrowser(std::uint32_t timeoutMs) {
    WebProcessWatch watch(watchExit_ ? webProcess_ : 0);
    if (nativePrint_ != 0) {
        g_source_remove(nativePrint_);
        nativePrint_ = 0;
    }
    warmLoad_.reset();
    if (view_) {
        if (contentManager_)
            g_signal_handlers_disconnect_by_data(contentManager_, this);
        g_signal_handlers_disconnect_by_data(view_, this);
        gtk_widget_destroy(GTK_WIDGET(view_));
        g_object_unref(view_);
        view_ = nullptr;
    }
    if (contentManager_) {
        g_object_unref(contentManager_);
        contentManager_ = nullptr;
    }
    if (context_) {
        g_signal_handlers_disconnect_by_data(context_, this);
        g_object_unref(context_);
        context_ = nullptr;
    }
    if (dataManager_) {
        g_object_unref(dataManager_);
        dataManager_ = nullptr;
    }
    events_ = nullptr;
    window_ = nullptr;
    warmFolder_.clear();
    warmArguments_.clear();
    if (timeoutMs > 0)
        watch.WaitForExit(timeoutMs);
    watchExit_ = false;
    webProcess_ = 0;
}

}  // namespace

void SetWebKitPrintHandler(WebKitPrintHandler handler) {
    PrintHandler() = std::move(handler);
}

void RequestMainLoopQuit(int exitCode) {
    quitPending = true;
    quitCode = exitCode;
    if (gtk_main_level() > 0)
        gtk_main_quit();
    g_main_context_wakeup(nullptr);
}

bool TakeMainLoopQuit(int& exitCode) {
    if (!quitPending)
        return false;
    quitPending = false;
    exitCode = quitCode;
    return true;
}

std::unique_ptr<BrowserEngine> CreateWebKitEngine(BrowserWindow kind) {
    return std::make_unique<WebKitEngine>(kind);
}

std::unique_ptr<BrowserEngine> CreateWarmWebKitEngine(BrowserWindow kind,
                                                      const std::u16string& dataFolder,
                                                      const std::u16string& browserArguments) {
    auto engine = std::make_unique<WebKitEngine>(kind);
    if (!engine->Warm(dataFolder, browserArguments))
        return nullptr;
    return engine;
}

std::string WebExtensionDirectory() {
    const std::string found = CompanionFolder("web-extensions");
    return found.empty() ? KESTRUM_INSTALLED_WEB_EXTENSION_DIR : found;
}

}  // namespace kestrum
