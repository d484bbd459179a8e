#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "browser/browser_engine.h"
#include "browser/browser_host_slots.h"

namespace kestrum {

// One embedded browser for one window: brings it up with a tested data folder (Initialize),
// forwards its events to the window's callbacks, offers the operations the windows use, and
// closes it within a bounded wait. The engine does what its runtime needs; every decision is
// here. Every request of the page passes the engine's request handling, which applies the
// request rules of the window kind the engine was made for.
class WebViewHost final : public ClosableHost, private BrowserEvents {
  public:
    explicit WebViewHost(std::unique_ptr<BrowserEngine> engine);
    ~WebViewHost() override;
    WebViewHost(const WebViewHost&) = delete;
    WebViewHost& operator=(const WebViewHost&) = delete;

    // Optional callbacks; unset ones are skipped.
    std::function<void(const std::u16string& uri, bool& cancel)> onNavigationStarting;
    std::function<void(const std::u16string& message)> onWebMessage;
    std::function<void(bool success, HResult hr)> onInitialized;
    std::function<void(bool success, int webErrorStatus)> onNavigationCompleted;

    // True when the browser is up. Runs on the main thread and handles its messages while it
    // waits; `onInitialized` has been called when it returns.
    bool Initialize(NativeWindow parentWindow, const std::u16string& userDataFolder,
                    int maxAttempts);
    // Releases the browser and waits at most `timeoutMs` for its processes; once per
    // Initialize.
    void Close(unsigned timeoutMs) override;
    bool Busy() const override { return initializing_; }

    NativeWindow parentWindow() const { return parentWindow_; }
    HResult lastHr() const { return lastHr_; }
    const std::u16string& statusText() const { return statusText_; }
    bool IsUp() { return engine_->HasWebview(); }

    void ApplySettings();
    void AddDocumentScript(const std::u16string& script);
    // Platform addresses are opened with the identity headers, others plainly.
    void Navigate(const std::u16string& address);
    void NavigateToString(const std::u16string& html);
    void GoBack();
    void Reload();
    void Resize(int width, int height);
    void SetVisible(bool visible);
    void NotifyPositionChanged();
    void RestoreVisibility();
    void PostWebMessageAsJson(const std::u16string& json);
    void ShowSystemPrintDialog();
    bool OffersWebRtc();

  private:
    struct AttemptState;
    struct Failure {
        std::u16string stage;
        HResult hr = kEFail;
        std::u16string folder;
        bool browserStarted = false;  // what it created must be released
    };

    bool RunAttempt(const std::u16string& folder, const std::u16string& browserFolder,
                    Failure& failure);
    void OnEnvironmentCreated(const std::shared_ptr<AttemptState>& state, Creation created);
    void OnControllerCreated(const std::shared_ptr<AttemptState>& state, Creation created);
    void Finish(AttemptState& state, std::u16string stage);
    void Report(bool success);

    bool NavigationStarting(const std::u16string& uri) override;
    void WebMessage(const std::u16string& message) override;
    void NavigationCompleted(bool success, int webErrorStatus) override;

    std::unique_ptr<BrowserEngine> engine_;
    std::shared_ptr<bool> alive_;
    NativeWindow parentWindow_ = nullptr;
    bool closed_ = false;
    bool initializing_ = false;
    HResult lastHr_ = kSOk;
    std::u16string statusText_;
};

// The six process environment variables the browser runtime honours, in the order they are
// cleared.
extern const std::u16string_view kRuntimeVariables[6];

// The browser switches every attempt passes: the profile's two, then the fixed pair.
std::u16string BrowserArguments();

// The data folder of an attempt: base + the runtime's suffix, and for attempts after the
// first "_Recovery_" + run tag + "_" + n.
std::u16string AttemptDataFolder(const std::u16string& userDataFolder, bool fixedRuntime,
                                 const std::u16string& runTag, int attempt);

}  // namespace kestrum
