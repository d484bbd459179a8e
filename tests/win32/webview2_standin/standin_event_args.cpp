// The arguments of the events the test runtime raises.
#include "standin_com.h"
#include "standin_log.h"
#include "standin_objects.h"

namespace standin {
namespace {

class StartingArgs final : public ComObject<ICoreWebView2NavigationStartingEventArgs> {
  public:
    explicit StartingArgs(std::wstring uri)
        : ComObject({__uuidof(ICoreWebView2NavigationStartingEventArgs)}), uri_(std::move(uri)) {}
    HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) override { return GiveText(uri, uri_); }
    HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* value) override {
        return Give(value, FALSE);
    }
    HRESULT STDMETHODCALLTYPE get_IsRedirected(BOOL* value) override { return Give(value, FALSE); }
    HRESULT STDMETHODCALLTYPE get_RequestHeaders(ICoreWebView2HttpRequestHeaders**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_Cancel(BOOL* cancel) override { return Give(cancel, cancel_); }
    HRESULT STDMETHODCALLTYPE put_Cancel(BOOL cancel) override {
        cancel_ = cancel;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_NavigationId(UINT64* id) override { return Give(id, 1); }

  private:
    std::wstring uri_;
    BOOL cancel_ = FALSE;
};

class RequestedArgs final : public ComObject<ICoreWebView2WebResourceRequestedEventArgs> {
  public:
    explicit RequestedArgs(ICoreWebView2WebResourceRequest* request)
        : ComObject({__uuidof(ICoreWebView2WebResourceRequestedEventArgs)}), request_(request) {
        request_->AddRef();
    }
    ~RequestedArgs() override {
        request_->Release();
        if (response_ != nullptr)
            response_->Release();
    }
    HRESULT STDMETHODCALLTYPE get_Request(ICoreWebView2WebResourceRequest** request) override {
        if (request == nullptr)
            return E_POINTER;
        request_->AddRef();
        *request = request_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Response(ICoreWebView2WebResourceResponse** response) override {
        if (response == nullptr)
            return E_POINTER;
        if (response_ != nullptr)
            response_->AddRef();
        *response = response_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Response(ICoreWebView2WebResourceResponse* response) override {
        if (response != nullptr)
            response->AddRef();
        if (response_ != nullptr)
            response_->Release();
        response_ = response;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE
    get_ResourceContext(COREWEBVIEW2_WEB_RESOURCE_CONTEXT* context) override {
        if (context == nullptr)
            return E_POINTER;
        *context = COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL;
        return S_OK;
    }

  private:
    ICoreWebView2WebResourceRequest* request_;
    ICoreWebView2WebResourceResponse* response_ = nullptr;
};

class CompletedArgs final : public ComObject<ICoreWebView2NavigationCompletedEventArgs> {
  public:
    explicit CompletedArgs(bool success)
        : ComObject({__uuidof(ICoreWebView2NavigationCompletedEventArgs)}), success_(success) {}
    HRESULT STDMETHODCALLTYPE get_IsSuccess(BOOL* success) override {
        return Give(success, success_ ? TRUE : FALSE);
    }
    HRESULT STDMETHODCALLTYPE get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* status) override {
        return Give(status, COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN);
    }
    HRESULT STDMETHODCALLTYPE get_NavigationId(UINT64* id) override { return Give(id, 1); }

  private:
    bool success_;
};

class MessageArgs final : public ComObject<ICoreWebView2WebMessageReceivedEventArgs> {
  public:
    MessageArgs(std::wstring source, std::wstring json)
        : ComObject({__uuidof(ICoreWebView2WebMessageReceivedEventArgs)}),
          source_(std::move(source)),
          json_(std::move(json)) {}
    HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* value) override {
        return GiveText(value, source_);
    }
    HRESULT STDMETHODCALLTYPE get_WebMessageAsJson(LPWSTR* value) override {
        return GiveText(value, json_);
    }
    HRESULT STDMETHODCALLTYPE TryGetWebMessageAsString(LPWSTR* value) override {
        if (value == nullptr)
            return E_POINTER;
        // Only a JSON string has a string form; anything else is E_INVALIDARG.
        if (json_.size() < 2 || json_.front() != L'"' || json_.back() != L'"') {
            *value = nullptr;
            return E_INVALIDARG;
        }
        *value = TaskString(json_.substr(1, json_.size() - 2));
        return S_OK;
    }

  private:
    std::wstring source_;
    std::wstring json_;
};

class NewWindowArgs final : public ComObject<ICoreWebView2NewWindowRequestedEventArgs> {
  public:
    explicit NewWindowArgs(std::wstring uri)
        : ComObject({__uuidof(ICoreWebView2NewWindowRequestedEventArgs)}), uri_(std::move(uri)) {}
    HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) override { return GiveText(uri, uri_); }
    HRESULT STDMETHODCALLTYPE put_NewWindow(ICoreWebView2*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_NewWindow(ICoreWebView2** window) override {
        if (window == nullptr)
            return E_POINTER;
        *window = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Handled(BOOL handled) override {
        handled_ = handled;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Handled(BOOL* handled) override {
        return Give(handled, handled_);
    }
    HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* value) override {
        return Give(value, TRUE);
    }
    HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral**) override { return E_NOTIMPL; }

  private:
    std::wstring uri_;
    BOOL handled_ = FALSE;
};

class PermissionArgs final : public ComObject<ICoreWebView2PermissionRequestedEventArgs> {
  public:
    PermissionArgs(std::wstring uri, COREWEBVIEW2_PERMISSION_KIND kind)
        : ComObject({__uuidof(ICoreWebView2PermissionRequestedEventArgs)}),
          uri_(std::move(uri)),
          kind_(kind) {}
    HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) override { return GiveText(uri, uri_); }
    HRESULT STDMETHODCALLTYPE get_PermissionKind(COREWEBVIEW2_PERMISSION_KIND* kind) override {
        return Give(kind, kind_);
    }
    HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* value) override {
        return Give(value, TRUE);
    }
    HRESULT STDMETHODCALLTYPE get_State(COREWEBVIEW2_PERMISSION_STATE* state) override {
        return Give(state, state_);
    }
    HRESULT STDMETHODCALLTYPE put_State(COREWEBVIEW2_PERMISSION_STATE state) override {
        state_ = state;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral**) override { return E_NOTIMPL; }

  private:
    std::wstring uri_;
    COREWEBVIEW2_PERMISSION_KIND kind_;
    // Not one of the three states: shows that the program never answered.
    COREWEBVIEW2_PERMISSION_STATE state_ = static_cast<COREWEBVIEW2_PERMISSION_STATE>(-1);
};

}  // namespace

ICoreWebView2NewWindowRequestedEventArgs* NewNewWindowArgs(const std::wstring& uri) {
    return new NewWindowArgs(uri);
}
bool WasHandled(ICoreWebView2NewWindowRequestedEventArgs* args) {
    BOOL handled = FALSE;
    return SUCCEEDED(args->get_Handled(&handled)) && handled;
}
ICoreWebView2PermissionRequestedEventArgs* NewPermissionArgs(const std::wstring& uri,
                                                             COREWEBVIEW2_PERMISSION_KIND kind) {
    return new PermissionArgs(uri, kind);
}
int PermissionState(ICoreWebView2PermissionRequestedEventArgs* args) {
    COREWEBVIEW2_PERMISSION_STATE state = COREWEBVIEW2_PERMISSION_STATE_DEFAULT;
    args->get_State(&state);
    return static_cast<int>(state);
}

ICoreWebView2NavigationStartingEventArgs* NewNavigationStartingArgs(const std::wstring& uri) {
    return new StartingArgs(uri);
}
bool WasCancelled(ICoreWebView2NavigationStartingEventArgs* args) {
    BOOL cancel = FALSE;
    return SUCCEEDED(args->get_Cancel(&cancel)) && cancel;
}
ICoreWebView2WebResourceRequestedEventArgs* NewWebResourceRequestedArgs(
    ICoreWebView2WebResourceRequest* request) {
    return new RequestedArgs(request);
}
ICoreWebView2NavigationCompletedEventArgs* NewNavigationCompletedArgs(bool success) {
    return new CompletedArgs(success);
}
ICoreWebView2WebMessageReceivedEventArgs* NewWebMessageArgs(const std::wstring& source,
                                                            const std::wstring& json) {
    return new MessageArgs(source, json);
}

}  // namespace standin
