// The web view: records each call, and plays a navigation as the runtime would (starting,
// the document's request, completed), then the page events listed in the file named by
// KESTRUM_STANDIN_SCRIPT ("message <json>", "request <uri>", "navigate <uri>",
// "newwindow <uri>", "permission <kind number>" per line).
#include <cstdlib>
#include <fstream>
#include <utility>
#include <vector>

#include "standin_com.h"
#include "standin_log.h"
#include "standin_objects.h"

namespace standin {
namespace {

std::wstring Wide(const std::string& text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(size > 0 ? size - 1 : 0), L'\0');
    if (size > 1)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), size);
    return out;
}

template <typename Handler>
class Handlers {
  public:
    ~Handlers() {
        for (auto& entry : entries_)
            entry.second->Release();
    }
    HRESULT Add(const char* name, Handler* handler, EventRegistrationToken* token) {
        Log(std::string("add_") + name);
        if (handler == nullptr || token == nullptr)
            return E_POINTER;
        handler->AddRef();
        token->value = ++lastToken_;
        entries_.emplace_back(token->value, handler);
        return S_OK;
    }
    HRESULT Remove(const char* name, EventRegistrationToken token) {
        Log(std::string("remove_") + name);
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->first != token.value)
                continue;
            it->second->Release();
            entries_.erase(it);
            break;
        }
        return S_OK;
    }
    template <typename Args>
    void Raise(ICoreWebView2* sender, Args* args) {
        const auto copy = entries_;
        for (auto& entry : copy)
            entry.second->Invoke(sender, args);
    }

  private:
    std::vector<std::pair<INT64, Handler*>> entries_;
    INT64 lastToken_ = 0;
};

class WebView final : public ComObject<ICoreWebView2_22> {
  public:
    explicit WebView(ICoreWebView2Environment* environment)
        : ComObject(
              {__uuidof(ICoreWebView2),    __uuidof(ICoreWebView2_2),  __uuidof(ICoreWebView2_3),
               __uuidof(ICoreWebView2_4),  __uuidof(ICoreWebView2_5),  __uuidof(ICoreWebView2_6),
               __uuidof(ICoreWebView2_7),  __uuidof(ICoreWebView2_8),  __uuidof(ICoreWebView2_9),
               __uuidof(ICoreWebView2_10), __uuidof(ICoreWebView2_11), __uuidof(ICoreWebView2_12),
               __uuidof(ICoreWebView2_13), __uuidof(ICoreWebView2_14), __uuidof(ICoreWebView2_15),
               __uuidof(ICoreWebView2_16), __uuidof(ICoreWebView2_17), __uuidof(ICoreWebView2_18),
               __uuidof(ICoreWebView2_19), __uuidof(ICoreWebView2_20), __uuidof(ICoreWebView2_21),
               __uuidof(ICoreWebView2_22)}) {
        (void)environment;  // kept in the signature: responses come from the program's own
    }

    HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) override {
        Log("get_Settings");
        if (settings == nullptr)
            return E_POINTER;
        if (const HRESULT failure = FailureFor("settings"); FAILED(failure))
            return failure;
        settings_->AddRef();
        *settings = settings_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) override {
        Log("Navigate " + Utf8(uri));
        if (uri == nullptr)
            return E_INVALIDARG;
        ICoreWebView2WebResourceRequest* request = NewRequest(uri, L"GET", L"");
        PlayNavigation(request);
        request->Release();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE NavigateToString(LPCWSTR html) override {
        Log("NavigateToString " + Utf8(html));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* h,
                                                     EventRegistrationToken* t) override {
        return starting_.Add("NavigationStarting", h, t);
    }
    HRESULT STDMETHODCALLTYPE remove_NavigationStarting(EventRegistrationToken t) override {
        return starting_.Remove("NavigationStarting", t);
    }
    HRESULT STDMETHODCALLTYPE add_NavigationCompleted(
        ICoreWebView2NavigationCompletedEventHandler* h, EventRegistrationToken* t) override {
        return completed_.Add("NavigationCompleted", h, t);
    }
    HRESULT STDMETHODCALLTYPE remove_NavigationCompleted(EventRegistrationToken t) override {
        return completed_.Remove("NavigationCompleted", t);
    }
    HRESULT STDMETHODCALLTYPE add_PermissionRequested(
        ICoreWebView2PermissionRequestedEventHandler* h, EventRegistrationToken* t) override {
        return permission_.Add("PermissionRequested", h, t);
    }
    HRESULT STDMETHODCALLTYPE remove_PermissionRequested(EventRegistrationToken t) override {
        return permission_.Remove("PermissionRequested", t);
    }
    HRESULT STDMETHODCALLTYPE AddScriptToExecuteOnDocumentCreated(
        LPCWSTR script,
        ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) override {
        Log("AddScriptToExecuteOnDocumentCreated " + Utf8(script));
        if (script == nullptr)
            return E_INVALIDARG;
        const HRESULT failure = FailureFor("script");
        const std::wstring id = L"script-" + std::to_wstring(++scripts_);
        if (handler != nullptr)
            handler->Invoke(failure, FAILED(failure) ? nullptr : id.c_str());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reload() override {
        Log("Reload");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostWebMessageAsJson(LPCWSTR json) override {
        Log("PostWebMessageAsJson " + Utf8(json));
        return json == nullptr ? E_INVALIDARG : S_OK;
    }
    HRESULT STDMETHODCALLTYPE add_WebMessageReceived(ICoreWebView2WebMessageReceivedEventHandler* h,
                                                     EventRegistrationToken* t) override {
        return messages_.Add("WebMessageReceived", h, t);
    }
    HRESULT STDMETHODCALLTYPE remove_WebMessageReceived(EventRegistrationToken t) override {
        return messages_.Remove("WebMessageReceived", t);
    }
    // No real browser process: the program has nothing to wait for.
    HRESULT STDMETHODCALLTYPE get_BrowserProcessId(UINT32* value) override {
        return Give(value, 0);
    }
    HRESULT STDMETHODCALLTYPE get_CanGoBack(BOOL* canGoBack) override {
        return Give(canGoBack, history_ > 1 ? TRUE : FALSE);
    }
    HRESULT STDMETHODCALLTYPE GoBack() override {
        Log("GoBack");
        if (history_ > 1)
            --history_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Stop() override {
        Log("Stop");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE add_NewWindowRequested(ICoreWebView2NewWindowRequestedEventHandler* h,
                                                     EventRegistrationToken* t) override {
        return newWindow_.Add("NewWindowRequested", h, t);
    }
    HRESULT STDMETHODCALLTYPE remove_NewWindowRequested(EventRegistrationToken t) override {
        return newWindow_.Remove("NewWindowRequested", t);
    }
    HRESULT STDMETHODCALLTYPE add_WebResourceRequested(
        ICoreWebView2WebResourceRequestedEventHandler* h, EventRegistrationToken* t) override {
        return requested_.Add("WebResourceRequested", h, t);
    }
    HRESULT STDMETHODCALLTYPE remove_WebResourceRequested(EventRegistrationToken t) override {
        return requested_.Remove("WebResourceRequested", t);
    }
    HRESULT STDMETHODCALLTYPE
    AddWebResourceRequestedFilter(LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) override {
        Log("AddWebResourceRequestedFilter " + Utf8(uri) + " " + std::to_string(context));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    NavigateWithWebResourceRequest(ICoreWebView2WebResourceRequest* request) override {
        if (request == nullptr)
            return E_INVALIDARG;
        LPWSTR uri = nullptr;
        LPWSTR method = nullptr;
        request->get_Uri(&uri);
        request->get_Method(&method);
        Log("NavigateWithWebResourceRequest " + Utf8(method) + " " + Utf8(uri) +
            " headers=" + DescribeHeaders(request));
        CoTaskMemFree(uri);
        CoTaskMemFree(method);
        PlayNavigation(request);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Print(ICoreWebView2PrintSettings* settings,
                                    ICoreWebView2PrintCompletedHandler* handler) override {
        std::string printer = "default";
        ICoreWebView2PrintSettings2* named = nullptr;
        if (settings != nullptr &&
            SUCCEEDED(settings->QueryInterface(__uuidof(ICoreWebView2PrintSettings2),
                                               reinterpret_cast<void**>(&named)))) {
            LPWSTR name = nullptr;
            if (SUCCEEDED(named->get_PrinterName(&name)))
                printer = Utf8(name);
            CoTaskMemFree(name);
            named->Release();
        }
        Log("Print printer=" + printer);
        if (handler == nullptr)
            return E_POINTER;
        const HRESULT failure = FailureFor("print");
        const auto status = static_cast<COREWEBVIEW2_PRINT_STATUS>(
            std::atoi(Environment("KESTRUM_STANDIN_PRINT_STATUS").c_str()));
        handler->Invoke(failure, FAILED(failure) ? COREWEBVIEW2_PRINT_STATUS_OTHER_ERROR : status);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddWebResourceRequestedFilterWithRequestSourceKinds(
        LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context,
        COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS kinds) override {
        Log("AddWebResourceRequestedFilterWithRequestSourceKinds " + Utf8(uri) + " " +
            std::to_string(context) + " " + std::to_string(static_cast<uint32_t>(kinds)));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RemoveWebResourceRequestedFilterWithRequestSourceKinds(
        LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT,
        COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS) override {
        Log("RemoveWebResourceRequestedFilterWithRequestSourceKinds " + Utf8(uri));
        return S_OK;
    }

    ~WebView() override { settings_->Release(); }

  private:
    // Starting (which the program may cancel), the document's own request (which the
    // program may answer), completed; then, after the first navigation, the page script.
    void PlayNavigation(ICoreWebView2WebResourceRequest* request, int depth = 0) {
        LPWSTR uriText = nullptr;
        request->get_Uri(&uriText);
        const std::wstring uri = uriText ? uriText : L"";
        CoTaskMemFree(uriText);
        ICoreWebView2NavigationStartingEventArgs* starting = NewNavigationStartingArgs(uri);
        starting_.Raise(this, starting);
        const bool cancelled = WasCancelled(starting);
        starting->Release();
        Log("NavigationStarting " + Utf8(uri.c_str()) + (cancelled ? " cancelled" : " allowed"));
        if (!cancelled) {
            ++history_;
            RaiseRequested(request);
        }
        ICoreWebView2NavigationCompletedEventArgs* completed =
            NewNavigationCompletedArgs(!cancelled);
        completed_.Raise(this, completed);
        completed->Release();
        if (!cancelled && !scriptPlayed_ && depth == 0)
            PlayScript(uri);
    }

    void RaiseRequested(ICoreWebView2WebResourceRequest* request) {
        ICoreWebView2WebResourceRequestedEventArgs* args = NewWebResourceRequestedArgs(request);
        requested_.Raise(this, args);
        LPWSTR uri = nullptr;
        request->get_Uri(&uri);
        std::string line =
            "WebResourceRequested " + Utf8(uri) + " headers=" + DescribeHeaders(request);
        CoTaskMemFree(uri);
        ICoreWebView2WebResourceResponse* response = nullptr;
        args->get_Response(&response);
        if (response == nullptr) {
            line += " response=none";
        } else {
            int status = 0;
            LPWSTR reason = nullptr;
            response->get_StatusCode(&status);
            response->get_ReasonPhrase(&reason);
            line += " response=" + std::to_string(status) + " " + Utf8(reason);
            CoTaskMemFree(reason);
            response->Release();
        }
        args->Release();
        Log(line);
    }

    void PlayScript(const std::wstring& source) {
        scriptPlayed_ = true;
        const std::string path = Environment("KESTRUM_STANDIN_SCRIPT");
        if (path.empty())
            return;
        std::ifstream script(path);
        for (std::string line; std::getline(script, line);) {
            const size_t space = line.find(' ');
            const std::string verb = line.substr(0, space);
            const std::wstring rest =
                space == std::string::npos ? L"" : Wide(line.substr(space + 1));
            if (verb == "message") {
                ICoreWebView2WebMessageReceivedEventArgs* args = NewWebMessageArgs(source, rest);
                messages_.Raise(this, args);
                args->Release();
            } else if (verb == "request") {
                ICoreWebView2WebResourceRequest* request = NewRequest(rest, L"GET", L"");
                RaiseRequested(request);
                request->Release();
            } else if (verb == "newwindow") {
                ICoreWebView2NewWindowRequestedEventArgs* args = NewNewWindowArgs(rest);
                newWindow_.Raise(this, args);
                Log("NewWindowRequested " + Utf8(rest.c_str()) +
                    (WasHandled(args) ? " handled" : " not-handled"));
                args->Release();
            } else if (verb == "permission") {
                const auto kind = static_cast<COREWEBVIEW2_PERMISSION_KIND>(_wtoi(rest.c_str()));
                ICoreWebView2PermissionRequestedEventArgs* args = NewPermissionArgs(source, kind);
                permission_.Raise(this, args);
                Log("PermissionRequested " + std::to_string(kind) +
                    " state=" + std::to_string(PermissionState(args)));
                args->Release();
            } else if (verb == "navigate") {
                ICoreWebView2WebResourceRequest* request = NewRequest(rest, L"GET", L"");
                PlayNavigation(request, 1);
                request->Release();
            }
        }
    }

    ICoreWebView2Settings7* settings_ = NewSettings();
    Handlers<ICoreWebView2NavigationStartingEventHandler> starting_;
    Handlers<ICoreWebView2NavigationCompletedEventHandler> completed_;
    Handlers<ICoreWebView2PermissionRequestedEventHandler> permission_;
    Handlers<ICoreWebView2WebMessageReceivedEventHandler> messages_;
    Handlers<ICoreWebView2NewWindowRequestedEventHandler> newWindow_;
    Handlers<ICoreWebView2WebResourceRequestedEventHandler> requested_;
    int scripts_ = 0;
    int history_ = 0;  // committed navigations
    bool scriptPlayed_ = false;
};

}  // namespace

ICoreWebView2_22* NewWebView(ICoreWebView2Environment* environment) {
    return new WebView(environment);
}

}  // namespace standin
