// The runtime's entry point and its environment object.
#include <sstream>

#include "standin_com.h"
#include "standin_log.h"
#include "standin_objects.h"

namespace standin {
namespace {

class RecordingEnvironment final : public ComObject<ICoreWebView2Environment6> {
  public:
    RecordingEnvironment()
        : ComObject({__uuidof(ICoreWebView2Environment), __uuidof(ICoreWebView2Environment2),
                     __uuidof(ICoreWebView2Environment3), __uuidof(ICoreWebView2Environment4),
                     __uuidof(ICoreWebView2Environment5), __uuidof(ICoreWebView2Environment6)}) {}

    HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
        HWND parent, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override {
        Log(std::string("CreateCoreWebView2Controller parent=") + (parent ? "window" : "null"));
        if (handler == nullptr)
            return E_POINTER;
        // Without a controller the browser process has nothing to show and ends.
        if (const HRESULT refused = FailureFor("controllercall"); FAILED(refused)) {
            EndBrowserProcess();
            return refused;
        }
        const HRESULT failure = FailureFor("controller");
        if (FAILED(failure))
            EndBrowserProcess();
        ICoreWebView2Controller4* controller = FAILED(failure) ? nullptr : NewController(this);
        Complete(handler, failure, controller);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    CreateWebResourceResponse(IStream* content, int status, LPCWSTR reason, LPCWSTR headers,
                              ICoreWebView2WebResourceResponse** response) override {
        Log("CreateWebResourceResponse " + std::to_string(status) + " " + Utf8(reason) +
            " content=" + (content ? "stream" : "none") + " headers=" + Utf8(headers));
        if (response == nullptr)
            return E_POINTER;
        *response = NewResponse(status, reason ? reason : L"");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_BrowserVersionString(LPWSTR* version) override {
        if (version == nullptr)
            return E_POINTER;
        *version = TaskString(L"120.0.2210.91");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    CreateWebResourceRequest(LPCWSTR uri, LPCWSTR method, IStream*, LPCWSTR headers,
                             ICoreWebView2WebResourceRequest** request) override {
        Log("CreateWebResourceRequest " + Utf8(method) + " " + Utf8(uri));
        if (request == nullptr || uri == nullptr || method == nullptr)
            return E_INVALIDARG;
        *request = NewRequest(uri, method, headers ? headers : L"");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    add_BrowserProcessExited(ICoreWebView2BrowserProcessExitedEventHandler* handler,
                             EventRegistrationToken* token) override {
        Log("add_BrowserProcessExited");
        if (handler == nullptr || token == nullptr)
            return E_POINTER;
        if (const HRESULT failure = FailureFor("exitwatch"); FAILED(failure))
            return failure;
        ReleaseExitHandler();
        handler->AddRef();
        exitHandler_ = handler;
        token->value = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE remove_BrowserProcessExited(EventRegistrationToken token) override {
        Log("remove_BrowserProcessExited " + std::to_string(token.value));
        if (token.value == 1)
            ReleaseExitHandler();
        return S_OK;
    }
    ~RecordingEnvironment() override { ReleaseExitHandler(); }

    void EndBrowserProcess() {
        if (browserEnded_)
            return;
        browserEnded_ = true;
        Log(std::string("BrowserProcessExited") + (exitHandler_ ? "" : " unwatched"));
        if (exitHandler_ != nullptr)
            exitHandler_->Invoke(this, nullptr);
    }
    HRESULT STDMETHODCALLTYPE CreatePrintSettings(ICoreWebView2PrintSettings** settings) override {
        Log("CreatePrintSettings");
        if (settings == nullptr)
            return E_POINTER;
        *settings = NewPrintSettings();
        return S_OK;
    }

  private:
    void ReleaseExitHandler() {
        if (exitHandler_ != nullptr)
            exitHandler_->Release();
        exitHandler_ = nullptr;
    }
    ICoreWebView2BrowserProcessExitedEventHandler* exitHandler_ = nullptr;
    bool browserEnded_ = false;
};

std::string DescribeOptions(IUnknown* options) {
    if (options == nullptr)
        return "options=none";
    ICoreWebView2EnvironmentOptions* typed = nullptr;
    if (FAILED(options->QueryInterface(__uuidof(ICoreWebView2EnvironmentOptions),
                                       reinterpret_cast<void**>(&typed))))
        return "options=not-options";
    std::string text;
    LPWSTR value = nullptr;
    if (SUCCEEDED(typed->get_AdditionalBrowserArguments(&value))) {
        text += "arguments=" + Utf8(value);
        CoTaskMemFree(value);
    }
    value = nullptr;
    if (SUCCEEDED(typed->get_Language(&value))) {
        text += " language=" + Utf8(value);
        CoTaskMemFree(value);
    }
    typed->Release();
    return text;
}

}  // namespace

ICoreWebView2Environment6* NewEnvironment() {
    return new RecordingEnvironment();
}

void EndBrowserProcess(ICoreWebView2Environment* environment) {
    // Only the test runtime's own environments reach here.
    static_cast<RecordingEnvironment*>(static_cast<ICoreWebView2Environment6*>(environment))
        ->EndBrowserProcess();
}

}  // namespace standin

// The runtime's private entry point, as the runtime loader calls it.
extern "C" __declspec(dllexport) HRESULT STDMETHODCALLTYPE
    CreateWebViewEnvironmentWithOptionsInternal(
        bool first, int runtimeType, PCWSTR userDataFolder, IUnknown* options,
        ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
    std::ostringstream line;
    line << "CreateWebViewEnvironmentWithOptionsInternal first=" << (first ? 1 : 0)
         << " runtimeType=" << runtimeType << " userData=" << standin::Utf8(userDataFolder) << " "
         << standin::DescribeOptions(options);
    standin::Log(line.str());
    if (handler == nullptr)
        return E_POINTER;
    if (const HRESULT refused = standin::FailureFor("create"); FAILED(refused))
        return refused;
    const HRESULT failure = standin::FailureFor("environment");
    ICoreWebView2Environment6* environment = FAILED(failure) ? nullptr : standin::NewEnvironment();
    standin::Complete(handler, failure, environment);
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
    return S_FALSE;
}
