// The controller, the settings and the print settings: each records what it is told.
#include "standin_com.h"
#include "standin_log.h"
#include "standin_objects.h"

namespace standin {
namespace {

class Controller final : public ComObject<ICoreWebView2Controller4> {
  public:
    explicit Controller(ICoreWebView2Environment* environment)
        : ComObject({__uuidof(ICoreWebView2Controller), __uuidof(ICoreWebView2Controller2),
                     __uuidof(ICoreWebView2Controller3), __uuidof(ICoreWebView2Controller4)}),
          environment_(environment),
          webView_(NewWebView(environment)) {
        environment_->AddRef();
    }
    ~Controller() override {
        webView_->Release();
        environment_->Release();
    }

    HRESULT STDMETHODCALLTYPE get_IsVisible(BOOL* visible) override {
        return Give(visible, visible_);
    }
    HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL visible) override {
        Log("Controller.put_IsVisible " + std::to_string(visible));
        visible_ = visible;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Bounds(RECT* bounds) override { return Give(bounds, bounds_); }
    HRESULT STDMETHODCALLTYPE put_Bounds(RECT bounds) override {
        Log("Controller.put_Bounds " + std::to_string(bounds.left) + "," +
            std::to_string(bounds.top) + "," + std::to_string(bounds.right) + "," +
            std::to_string(bounds.bottom));
        bounds_ = bounds;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE NotifyParentWindowPositionChanged() override {
        Log("Controller.NotifyParentWindowPositionChanged");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Close() override {
        Log("Controller.Close");
        EndBrowserProcess(environment_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** webView) override {
        if (webView == nullptr)
            return E_POINTER;
        if (const HRESULT failure = FailureFor("webview"); FAILED(failure)) {
            *webView = nullptr;
            return failure;
        }
        if (FailureFor("nowebview") != S_OK) {  // success without an object
            *webView = nullptr;
            return S_OK;
        }
        webView_->AddRef();
        *webView = webView_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_DefaultBackgroundColor(COREWEBVIEW2_COLOR* color) override {
        return Give(color, background_);
    }
    HRESULT STDMETHODCALLTYPE put_DefaultBackgroundColor(COREWEBVIEW2_COLOR color) override {
        Log("Controller.put_DefaultBackgroundColor " + std::to_string(color.A) + " " +
            std::to_string(color.R) + " " + std::to_string(color.G) + " " +
            std::to_string(color.B));
        if (color.A != 0 && color.A != 255)
            return E_INVALIDARG;
        background_ = color;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_AllowExternalDrop(BOOL* allow) override {
        return Give(allow, allowDrop_);
    }
    HRESULT STDMETHODCALLTYPE put_AllowExternalDrop(BOOL allow) override {
        Log("Controller.put_AllowExternalDrop " + std::to_string(allow));
        allowDrop_ = allow;
        return S_OK;
    }

  private:
    ICoreWebView2Environment* environment_;
    ICoreWebView2_22* webView_;
    BOOL visible_ = TRUE;
    BOOL allowDrop_ = TRUE;
    RECT bounds_{};
    COREWEBVIEW2_COLOR background_{255, 255, 255, 255};
};

// Every setting is a named flag; the log shows each one the program changes.
class Settings final : public ComObject<ICoreWebView2Settings7> {
  public:
    Settings()
        : ComObject({__uuidof(ICoreWebView2Settings), __uuidof(ICoreWebView2Settings2),
                     __uuidof(ICoreWebView2Settings3), __uuidof(ICoreWebView2Settings4),
                     __uuidof(ICoreWebView2Settings5), __uuidof(ICoreWebView2Settings6),
                     __uuidof(ICoreWebView2Settings7)}) {}

#define STANDIN_FLAG(Name)                                                   \
    HRESULT STDMETHODCALLTYPE get_##Name(BOOL* value) override {             \
        if (value == nullptr)                                                \
            return E_POINTER;                                                \
        *value = flags_.count(#Name) ? flags_[#Name] : TRUE;                 \
        return S_OK;                                                         \
    }                                                                        \
    HRESULT STDMETHODCALLTYPE put_##Name(BOOL value) override {              \
        Log(std::string("Settings.put_" #Name " ") + std::to_string(value)); \
        flags_[#Name] = value;                                               \
        return S_OK;                                                         \
    }
    STANDIN_FLAG(IsScriptEnabled)
    STANDIN_FLAG(IsWebMessageEnabled)
    STANDIN_FLAG(AreDefaultScriptDialogsEnabled)
    STANDIN_FLAG(IsStatusBarEnabled)
    STANDIN_FLAG(AreDevToolsEnabled)
    STANDIN_FLAG(AreDefaultContextMenusEnabled)
    STANDIN_FLAG(AreHostObjectsAllowed)
    STANDIN_FLAG(IsZoomControlEnabled)
    STANDIN_FLAG(IsBuiltInErrorPageEnabled)
    STANDIN_FLAG(AreBrowserAcceleratorKeysEnabled)
#undef STANDIN_FLAG

    HRESULT STDMETHODCALLTYPE
    get_HiddenPdfToolbarItems(COREWEBVIEW2_PDF_TOOLBAR_ITEMS* items) override {
        if (items == nullptr)
            return E_POINTER;
        *items = hiddenPdfItems_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    put_HiddenPdfToolbarItems(COREWEBVIEW2_PDF_TOOLBAR_ITEMS items) override {
        Log("Settings.put_HiddenPdfToolbarItems " + std::to_string(items));
        hiddenPdfItems_ = items;
        return S_OK;
    }

  private:
    std::map<std::string, BOOL> flags_;
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS hiddenPdfItems_ = COREWEBVIEW2_PDF_TOOLBAR_ITEMS_NONE;
};

class PrintSettings final : public ComObject<ICoreWebView2PrintSettings2> {
  public:
    PrintSettings()
        : ComObject({__uuidof(ICoreWebView2PrintSettings), __uuidof(ICoreWebView2PrintSettings2)}) {
    }
    HRESULT STDMETHODCALLTYPE get_PrinterName(LPWSTR* name) override {
        return GiveText(name, printer_);
    }
    HRESULT STDMETHODCALLTYPE put_PrinterName(LPCWSTR name) override {
        Log("PrintSettings.put_PrinterName " + Utf8(name));
        printer_ = name ? name : L"";
        return S_OK;
    }

  private:
    std::wstring printer_;
};

}  // namespace

ICoreWebView2Controller4* NewController(ICoreWebView2Environment* environment) {
    return new Controller(environment);
}
ICoreWebView2Settings7* NewSettings() {
    return new Settings();
}
ICoreWebView2PrintSettings2* NewPrintSettings() {
    return new PrintSettings();
}

}  // namespace standin
