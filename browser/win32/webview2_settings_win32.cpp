#include "browser/win32/webview2_settings_win32.h"

#include "browser/win32/com_ref_win32.h"

namespace kestrum {

void ApplyBrowserSettings(ICoreWebView2* webview) {
    if (!webview)
        return;
    ComRef<ICoreWebView2Settings> settings;
    if (FAILED(webview->get_Settings(settings.Out())) || !settings)
        return;
    settings->put_AreDevToolsEnabled(FALSE);
    settings->put_AreDefaultContextMenusEnabled(FALSE);
    settings->put_IsStatusBarEnabled(FALSE);
    settings->put_IsZoomControlEnabled(FALSE);
    if (const auto keys = settings.As<ICoreWebView2Settings3>())
        keys->put_AreBrowserAcceleratorKeysEnabled(FALSE);
    if (const auto pdf = settings.As<ICoreWebView2Settings7>())
        pdf->put_HiddenPdfToolbarItems(COREWEBVIEW2_PDF_TOOLBAR_ITEMS_NONE);
}

}  // namespace kestrum
