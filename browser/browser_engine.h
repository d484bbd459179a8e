#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "browser/header_decisions.h"
#include "browser/hresult.h"

namespace kestrum {

// The engine's handle of the window a browser lives in (a window handle on Windows, the
// toolkit's window widget on Linux).
using NativeWindow = void*;

// What an engine reports of its browser to the host, always on the main thread.
class BrowserEvents {
  public:
    virtual ~BrowserEvents() = default;
    // A top-level navigation starts; true cancels it.
    virtual bool NavigationStarting(const std::u16string& uri) = 0;
    // A page's message: the posted string, or the JSON text of any other posted value.
    virtual void WebMessage(const std::u16string& message) = 0;
    virtual void NavigationCompleted(bool success, int webErrorStatus) = 0;
};

// A step of the browser's preparation that failed, with its outcome; nothing on success.
using StepFailure = std::optional<HResult>;

// The outcome of a creation: the engine's result, and whether it produced the object.
struct Creation {
    HResult hr = kSOk;
    bool present = false;
};

// One embedded browser engine, driven by WebViewHost, which holds every decision of bringing
// a browser up and down; an engine only does what its runtime and operating system must.
class BrowserEngine {
  public:
    virtual ~BrowserEngine() = default;

    // --- Where the browser comes from and where it keeps its data.
    virtual bool IsLiveWindow(NativeWindow window) = 0;
    virtual std::u16string ProgramFolder() = 0;  // empty when unknown
    virtual char16_t PathSeparator() = 0;
    // The runtime executable a private runtime folder beside the program must hold.
    virtual std::u16string PrivateRuntimeExecutableName() = 0;
    virtual bool IsDirectory(const std::u16string& path) = 0;
    virtual bool IsFile(const std::u16string& path) = 0;
    // The version of the runtime in `browserFolder`, or of the installed runtime for an empty
    // folder; empty when there is none.
    virtual std::u16string RuntimeVersion(const std::u16string& browserFolder) = 0;
    // Process identifier "_" system tick count, both decimal.
    virtual std::u16string RunTag() = 0;
    virtual StepFailure CreateFolder(const std::u16string& path) = 0;  // existing is success
    // Creates the file for writing with delete-on-close and closes it at once.
    virtual StepFailure WriteTestFile(const std::u16string& path) = 0;

    // --- The runtime's process environment variables.
    virtual bool RuntimeVariableIsSet(const std::u16string& name) = 0;
    virtual void DeleteRuntimeVariable(const std::u16string& name) = 0;
    virtual StepFailure SetRuntimeVariable(const std::u16string& name,
                                           const std::u16string& value) = 0;

    // --- Creation. Completions arrive later on the main thread, through its message pump.
    virtual HResult CreateEnvironment(const std::u16string& browserFolder,
                                      const std::u16string& dataFolder,
                                      const std::u16string& browserArguments,
                                      std::function<void(Creation)> completed) = 0;
    // Watches the browser processes of the new environment for their exit.
    virtual void RegisterBrowserProcessExitHandler() = 0;
    // What the runtime needs between the environment and the controller.
    virtual void PauseBeforeController() = 0;
    virtual HResult CreateController(NativeWindow window,
                                     std::function<void(Creation)> completed) = 0;
    // Takes the browser from the new controller; on failure the controller is closed.
    virtual Creation TakeWebview() = 0;
    // Dark background before the first paint, no drops from outside, the window's client area.
    virtual void ConfigureController(NativeWindow window) = 0;
    virtual void SubscribeEvents(BrowserEvents& events) = 0;
    virtual bool HasWebview() = 0;

    // --- The main thread's message pump while the host waits for a completion.
    enum class Pump { kDispatched, kFailed, kQuit };
    // Waits for one message and handles it; `detail` is the error or the quit code.
    virtual Pump PumpOneMessage(std::int64_t& detail) = 0;
    virtual void RepostQuit(std::int64_t exitCode) = 0;
    // Wakes a pump that waits for a message.
    virtual void Wake(NativeWindow window) = 0;

    // --- Releases the browser, waiting at most `timeoutMs` for its processes to end.
    virtual void CloseBrowser(std::uint32_t timeoutMs) = 0;

    // --- Operations on a browser that is up; each does nothing without one.
    virtual void ApplySettings() = 0;
    virtual void AddDocumentScript(const std::u16string& script) = 0;
    // Opens the address, with these headers on the request when there are any.
    virtual void Navigate(const std::u16string& address,
                          const std::vector<RequestHeader>& headers) = 0;
    virtual void NavigateToString(const std::u16string& html) = 0;
    virtual void GoBack() = 0;  // when the history allows
    virtual void Reload() = 0;
    virtual void Resize(int width, int height) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void NotifyPositionChanged() = 0;
    virtual void RestoreVisibility() = 0;
    // Hands a JSON message of the player to the page's listeners.
    virtual void PostWebMessageAsJson(const std::u16string& json) = 0;
    virtual void ShowSystemPrintDialog() = 0;
    // Whether pages of this engine can take part in video calls (WebRTC), as far as the engine
    // can tell; engines that always can need not say.
    virtual bool OffersWebRtc() { return true; }
};

}  // namespace kestrum
