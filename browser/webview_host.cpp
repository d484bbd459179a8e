#include "browser/webview_host.h"

#include <utility>

#include "common/after_start.h"
#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "service/device_identity.h"

namespace kestrum {

const std::u16string_view kRuntimeVariables[6] = {
    u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER",    u"WEBVIEW2_USER_DATA_FOLDER",
    u"WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS", u"WEBVIEW2_RELEASE_CHANNEL_PREFERENCE",
    u"WEBVIEW2_CHANNEL_SEARCH_KIND",          u"WEBVIEW2_RELEASE_CHANNELS"};

namespace {

constexpr std::u16string_view kUserDataVariable = u"WEBVIEW2_USER_DATA_FOLDER";
constexpr std::u16string_view kBrowserFolderVariable = u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER";
constexpr std::u16string_view kArgumentsVariable = u"WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS";

std::u16string StageOrUnknown(const std::u16string& stage) {
    return stage.empty() ? u"unknown stage" : stage;
}

std::u16string RuntimePart(const std::u16string& kind, const std::u16string& version) {
    return version.empty() ? kind : kind + u" " + version;
}

}  // namespace

struct WebViewHost::AttemptState {
    bool done = false;
    HResult hr = kEPending;
    std::u16string stage = u"Pending";
    NativeWindow window = nullptr;
};

std::u16string BrowserArguments() {
    std::u16string arguments;
    const nlohmann::json switches = ProfileJson(ProfileItem::kBrowserSwitches);
    if (switches.is_array()) {
        for (const auto& value : switches) {
            if (!value.is_string())
                continue;
            if (!arguments.empty())
                arguments += u" ";
            arguments += Utf8ToUtf16(value.get<std::string>());
        }
    }
    return arguments + u" --disable-web-security --disable-site-isolation-trials";
}

std::u16string AttemptDataFolder(const std::u16string& userDataFolder, bool fixedRuntime,
                                 const std::u16string& runTag, int attempt) {
    std::u16string folder = userDataFolder + (fixedRuntime ? u"_Fixed_Env5" : u"_Evergreen_Env5");
    if (attempt > 0)
        folder += u"_Recovery_" + runTag + u"_" + Utf8ToUtf16(std::to_string(attempt));
    return folder;
}

WebViewHost::WebViewHost(std::unique_ptr<BrowserEngine> engine)
    : engine_(std::move(engine)), alive_(std::make_shared<bool>(true)) {}

WebViewHost::~WebViewHost() {
    Close(5000);
    *alive_ = false;
    statusText_.clear();
}

bool WebViewHost::Initialize(NativeWindow parentWindow, const std::u16string& userDataFolder,
                             int maxAttempts) {
    struct Busy {
        bool& flag;
        explicit Busy(bool& f) : flag(f) { flag = true; }
        ~Busy() { flag = false; }
    } busy(initializing_);
    closed_ = false;
    parentWindow_ = parentWindow;
    lastHr_ = kSOk;
    statusText_.clear();

    if (!engine_->IsLiveWindow(parentWindow) || userDataFolder.empty()) {
        lastHr_ = kEInvalidArg;
        statusText_ = u"Invalid parent window or user-data folder.";
        Report(false);
        return false;
    }
    // Nothing the learner's environment holds reaches the runtime.
    for (const std::u16string_view name : kRuntimeVariables) {
        if (engine_->RuntimeVariableIsSet(std::u16string(name)))
            engine_->DeleteRuntimeVariable(std::u16string(name));
    }

    // A private runtime beside the program wins when it answers with its version.
    std::u16string runtimeKind = u"Evergreen";
    std::u16string runtimeVersion;
    std::u16string browserFolder;
    if (const std::u16string programFolder = engine_->ProgramFolder(); !programFolder.empty()) {
        const char16_t separator = engine_->PathSeparator();
        const std::u16string candidate = programFolder + separator + u"WebView2Runtime";
        const std::u16string executable =
            candidate + separator + engine_->PrivateRuntimeExecutableName();
        if (engine_->IsDirectory(candidate) && engine_->IsFile(executable)) {
            if (std::u16string version = engine_->RuntimeVersion(candidate); !version.empty()) {
                browserFolder = candidate;
                runtimeVersion = std::move(version);
                runtimeKind = u"Fixed";
            }
        }
    }
    if (browserFolder.empty())
        runtimeVersion = engine_->RuntimeVersion(std::u16string());

    const int attempts = maxAttempts > 1 ? maxAttempts : 1;
    const std::u16string runTag = engine_->RunTag();
    Failure last{std::u16string(), kEFail, userDataFolder};
    std::optional<Failure> first;

    for (int attempt = 0; attempt < attempts; ++attempt) {
        const std::u16string folder =
            AttemptDataFolder(userDataFolder, !browserFolder.empty(), runTag, attempt);
        Failure failure;
        if (RunAttempt(folder, browserFolder, failure)) {
            lastHr_ = kSOk;
            statusText_ = u"WebView2 initialized with " + RuntimePart(runtimeKind, runtimeVersion) +
                          u"; userData=" + folder;
            Report(true);
            return true;
        }
        if (failure.hr >= 0)
            failure.hr = kEFail;
        failure.folder = folder;
        last = failure;
        if (!first)
            first = failure;
        if (failure.browserStarted) {
            Close(5000);
            if (attempt + 1 < attempts)
                closed_ = false;
        }
    }

    lastHr_ = first ? first->hr : last.hr;
    statusText_ = u"WebView2 initialization failed. First=" + FormatHResult(lastHr_) + u" at " +
                  StageOrUnknown(first ? first->stage : std::u16string()) + u"; last=" +
                  FormatHResult(last.hr) + u" at " + StageOrUnknown(last.stage) + u"; runtime=" +
                  RuntimePart(runtimeKind, runtimeVersion) + u"; lastUserData=" + last.folder;
    Report(false);
    return false;
}

bool WebViewHost::RunAttempt(const std::u16string& folder, const std::u16string& browserFolder,
                             Failure& failure) {
    auto fail = [&failure](std::u16string stage, HResult hr) {
        failure.stage = std::move(stage);
        failure.hr = hr;
        return false;
    };
    if (StepFailure error = engine_->CreateFolder(folder))
        return fail(u"CreateUserDataFolder", *error);
    if (StepFailure error =
            engine_->WriteTestFile(folder + engine_->PathSeparator() + u".molvane_write_test"))
        return fail(u"UserDataFolderWriteTest", *error);
    if (StepFailure error = engine_->SetRuntimeVariable(std::u16string(kUserDataVariable), folder))
        return fail(u"SetUserDataFolderOverride", *error);
    if (!browserFolder.empty()) {
        if (StepFailure error =
                engine_->SetRuntimeVariable(std::u16string(kBrowserFolderVariable), browserFolder))
            return fail(u"SetBrowserFolderOverride", *error);
    }
    const std::u16string arguments = BrowserArguments();
    engine_->SetRuntimeVariable(std::u16string(kArgumentsVariable), arguments);

    auto state = std::make_shared<AttemptState>();
    state->window = parentWindow_;
    std::weak_ptr<bool> alive = alive_;
    const HResult call = engine_->CreateEnvironment(browserFolder, folder, arguments,
                                                    [this, alive, state](Creation created) {
                                                        if (!alive.expired())
                                                            OnEnvironmentCreated(state, created);
                                                    });
    failure.browserStarted = true;
    if (call < 0)
        return fail(u"CreateEnvironmentCall", call);

    while (!state->done) {
        std::int64_t detail = 0;
        switch (engine_->PumpOneMessage(detail)) {
            case BrowserEngine::Pump::kDispatched:
                break;
            case BrowserEngine::Pump::kFailed:
                state->hr = HResultFromWin32(detail);
                state->stage = u"InitializationMessagePump";
                state->done = true;
                break;
            case BrowserEngine::Pump::kQuit:
                // The outer loop must still see the quit.
                state->hr = kEAbort;
                state->stage = u"ApplicationQuitDuringInitialization";
                state->done = true;
                engine_->RepostQuit(detail);
                break;
        }
    }
    if (state->hr >= 0 && engine_->HasWebview())
        return true;
    return fail(state->stage, state->hr);
}

void WebViewHost::OnEnvironmentCreated(const std::shared_ptr<AttemptState>& state,
                                       Creation created) {
    if (state->done)
        return;
    if (created.hr < 0 || !created.present) {
        state->hr = created.hr < 0 ? created.hr : kEFail;
        Finish(*state, u"CreateEnvironmentCallback");
        return;
    }
    engine_->RegisterBrowserProcessExitHandler();
    engine_->PauseBeforeController();
    std::weak_ptr<bool> alive = alive_;
    const HResult call =
        engine_->CreateController(state->window, [this, alive, state](Creation controller) {
            if (!alive.expired())
                OnControllerCreated(state, controller);
        });
    if (call < 0 && !state->done) {
        state->hr = call;
        Finish(*state, u"CreateControllerCall");
    }
}

void WebViewHost::OnControllerCreated(const std::shared_ptr<AttemptState>& state,
                                      Creation created) {
    if (state->done)
        return;
    if (created.hr < 0 || !created.present) {
        state->hr = created.hr < 0 ? created.hr : kEFail;
        Finish(*state, u"CreateControllerCallback");
        return;
    }
    const Creation webview = engine_->TakeWebview();
    if (webview.hr < 0 || !webview.present) {
        state->hr = webview.hr < 0 ? webview.hr : kEFail;
        Finish(*state, u"GetCoreWebView2");
        return;
    }
    engine_->ConfigureController(state->window);
    engine_->SubscribeEvents(*this);
    state->hr = kSOk;
    Finish(*state, u"Complete");
}

void WebViewHost::Finish(AttemptState& state, std::u16string stage) {
    state.stage = std::move(stage);
    state.done = true;
    if (engine_->IsLiveWindow(state.window))
        engine_->Wake(state.window);
}

void WebViewHost::Report(bool success) {
    if (onInitialized)
        onInitialized(success, success ? kSOk : lastHr_);
}

void WebViewHost::Close(unsigned timeoutMs) {
    if (closed_)
        return;
    closed_ = true;
    engine_->CloseBrowser(timeoutMs);
}

void WebViewHost::ApplySettings() {
    engine_->ApplySettings();
}

void WebViewHost::AddDocumentScript(const std::u16string& script) {
    engine_->AddDocumentScript(script);
}

void WebViewHost::Navigate(const std::u16string& address) {
    engine_->Navigate(address, PlatformNavigationHeaders(
                                   address, DeviceValues{GetDeviceId(), GetDeviceDescription()}));
}

void WebViewHost::NavigateToString(const std::u16string& html) {
    engine_->NavigateToString(html);
}

void WebViewHost::GoBack() {
    engine_->GoBack();
}

void WebViewHost::Reload() {
    engine_->Reload();
}

void WebViewHost::Resize(int width, int height) {
    if (width > 0 && height > 0)
        engine_->Resize(width, height);
}

void WebViewHost::SetVisible(bool visible) {
    engine_->SetVisible(visible);
}

void WebViewHost::NotifyPositionChanged() {
    engine_->NotifyPositionChanged();
}

void WebViewHost::RestoreVisibility() {
    engine_->RestoreVisibility();
}

void WebViewHost::PostWebMessageAsJson(const std::u16string& json) {
    engine_->PostWebMessageAsJson(json);
}

bool WebViewHost::OffersWebRtc() {
    return engine_->OffersWebRtc();
}

void WebViewHost::ShowSystemPrintDialog() {
    engine_->ShowSystemPrintDialog();
}

bool WebViewHost::NavigationStarting(const std::u16string& uri) {
    bool cancel = false;
    if (onNavigationStarting)
        onNavigationStarting(uri, cancel);
    return cancel;
}

void WebViewHost::WebMessage(const std::u16string& message) {
    if (onWebMessage)
        onWebMessage(message);
}

void WebViewHost::NavigationCompleted(bool success, int webErrorStatus) {
    // The first navigation to end, in any window and either way, ends the start.
    StartIsOver();
    if (onNavigationCompleted)
        onNavigationCompleted(success, webErrorStatus);
}

}  // namespace kestrum
