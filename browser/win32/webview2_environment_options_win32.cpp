#include "browser/win32/webview2_environment_options_win32.h"

#include <objbase.h>

#include <cwchar>
#include <utility>

#include "browser/win32/com_object_win32.h"

namespace kestrum {
namespace {

// The runtime owns every string it reads from us: each getter returns a fresh copy.
HRESULT CopyOut(const std::wstring& text, LPWSTR* value) {
    if (value == nullptr)
        return E_POINTER;
    *value = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (*value == nullptr)
        return E_OUTOFMEMORY;
    std::wmemcpy(*value, text.c_str(), text.size() + 1);
    return S_OK;
}

HRESULT CopyIn(LPCWSTR value, std::wstring& text) {
    text = value ? value : L"";
    return S_OK;
}

// The later option interfaces stand alone; the runtime takes their defaults when they are
// missing, so only the first is answered.
class EnvironmentOptions final : public ComObject<ICoreWebView2EnvironmentOptions> {
  public:
    explicit EnvironmentOptions(std::wstring arguments) : arguments_(std::move(arguments)) {}

    HRESULT STDMETHODCALLTYPE get_AdditionalBrowserArguments(LPWSTR* value) override {
        return CopyOut(arguments_, value);
    }
    HRESULT STDMETHODCALLTYPE put_AdditionalBrowserArguments(LPCWSTR value) override {
        return CopyIn(value, arguments_);
    }
    HRESULT STDMETHODCALLTYPE get_Language(LPWSTR* value) override {
        return CopyOut(language_, value);
    }
    HRESULT STDMETHODCALLTYPE put_Language(LPCWSTR value) override {
        return CopyIn(value, language_);
    }
    HRESULT STDMETHODCALLTYPE get_TargetCompatibleBrowserVersion(LPWSTR* value) override {
        return CopyOut(targetVersion_, value);
    }
    HRESULT STDMETHODCALLTYPE put_TargetCompatibleBrowserVersion(LPCWSTR value) override {
        return CopyIn(value, targetVersion_);
    }
    HRESULT STDMETHODCALLTYPE get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) override {
        if (allow == nullptr)
            return E_POINTER;
        *allow = singleSignOn_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) override {
        singleSignOn_ = allow;
        return S_OK;
    }

  private:
    std::wstring arguments_;
    std::wstring language_;
    std::wstring targetVersion_ = L"149.0.4022.49";
    BOOL singleSignOn_ = FALSE;
};

}  // namespace

ComRef<ICoreWebView2EnvironmentOptions> NewEnvironmentOptions(
    const std::u16string& browserArguments) {
    return ComRef<ICoreWebView2EnvironmentOptions>::Adopt(
        new EnvironmentOptions(std::wstring(browserArguments.begin(), browserArguments.end())));
}

}  // namespace kestrum
