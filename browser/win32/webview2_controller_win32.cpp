#include "browser/win32/webview2_controller_win32.h"

#include "browser/win32/com_ref_win32.h"

namespace kestrum {

void ConfigureController(ICoreWebView2Controller* controller, HWND window) {
    if (!controller)
        return;
    const auto shared = ComRef<ICoreWebView2Controller>::Share(controller);
    if (const auto colored = shared.As<ICoreWebView2Controller2>())
        colored->put_DefaultBackgroundColor(COREWEBVIEW2_COLOR{255, 0x12, 0x12, 0x12});
    if (const auto dropTarget = shared.As<ICoreWebView2Controller4>())
        dropTarget->put_AllowExternalDrop(FALSE);
    RECT client{};
    if (window && GetClientRect(window, &client))
        controller->put_Bounds(client);
}

void RestoreControllerVisibility(ICoreWebView2Controller* controller, HWND window) {
    if (!controller || !window || IsIconic(window))
        return;
    RECT bounds{};
    if (SUCCEEDED(controller->get_Bounds(&bounds)) && bounds.right > bounds.left &&
        bounds.bottom > bounds.top)
        controller->put_Bounds(bounds);
    controller->put_IsVisible(TRUE);
    controller->NotifyParentWindowPositionChanged();
}

}  // namespace kestrum
