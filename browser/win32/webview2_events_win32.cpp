#include "browser/win32/webview2_events_win32.h"

#include <memory>
#include <utility>

#include "browser/permission_rules.h"
#include "browser/win32/com_handler_win32.h"

namespace kestrum {
namespace {

PermissionKind KindOf(COREWEBVIEW2_PERMISSION_KIND kind) {
    switch (kind) {
        case COREWEBVIEW2_PERMISSION_KIND_MICROPHONE:
            return PermissionKind::kMicrophone;
        case COREWEBVIEW2_PERMISSION_KIND_CAMERA:
            return PermissionKind::kCamera;
        case COREWEBVIEW2_PERMISSION_KIND_NOTIFICATIONS:
            return PermissionKind::kNotifications;
        case COREWEBVIEW2_PERMISSION_KIND_GEOLOCATION:
            return PermissionKind::kLocation;
        default:
            return PermissionKind::kOther;
    }
}

// The message as the page posted it: its string, or the JSON text of any other value.
std::u16string MessageText(ICoreWebView2WebMessageReceivedEventArgs* args) {
    TaskMemString text;
    if (SUCCEEDED(args->TryGetWebMessageAsString(text.Out())) && !text.empty())
        return text.Text();
    if (SUCCEEDED(args->get_WebMessageAsJson(text.Out())))
        return text.Text();
    return {};
}

}  // namespace

void SubscribeBrowserEvents(ICoreWebView2* webview, BrowserEventSinks sinks) {
    if (!webview)
        return;
    auto shared = std::make_shared<BrowserEventSinks>(std::move(sinks));
    auto receiver = [shared]() -> BrowserEvents* {
        return shared->events ? shared->events() : nullptr;
    };
    // The browser keeps its handlers until it is gone; their tokens are not needed.
    EventRegistrationToken token{};

    webview->add_NavigationStarting(
        MakeHandler<ICoreWebView2NavigationStartingEventHandler>(
            [receiver](ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args) {
                BrowserEvents* events = receiver();
                TaskMemString uri;
                if (events && args && SUCCEEDED(args->get_Uri(uri.Out())) &&
                    events->NavigationStarting(uri.Text()))
                    args->put_Cancel(TRUE);
                return S_OK;
            })
            .get(),
        &token);

    webview->add_WebMessageReceived(
        MakeHandler<ICoreWebView2WebMessageReceivedEventHandler>(
            [receiver](ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs* args) {
                if (BrowserEvents* events = receiver(); events && args)
                    events->WebMessage(MessageText(args));
                return S_OK;
            })
            .get(),
        &token);

    webview->add_NavigationCompleted(
        MakeHandler<ICoreWebView2NavigationCompletedEventHandler>(
            [receiver](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs* args) {
                BrowserEvents* events = receiver();
                if (!events || !args)
                    return S_OK;
                BOOL success = FALSE;
                args->get_IsSuccess(&success);
                COREWEBVIEW2_WEB_ERROR_STATUS status = COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
                if (!success)
                    args->get_WebErrorStatus(&status);
                events->NavigationCompleted(success != FALSE, static_cast<int>(status));
                return S_OK;
            })
            .get(),
        &token);

    webview->add_PermissionRequested(
        MakeHandler<ICoreWebView2PermissionRequestedEventHandler>(
            [](ICoreWebView2*, ICoreWebView2PermissionRequestedEventArgs* args) {
                if (!args)
                    return S_OK;
                COREWEBVIEW2_PERMISSION_KIND kind = COREWEBVIEW2_PERMISSION_KIND_UNKNOWN_PERMISSION;
                args->get_PermissionKind(&kind);
                args->put_State(PermissionRule(KindOf(kind)) == PermissionAnswer::kAllow
                                    ? COREWEBVIEW2_PERMISSION_STATE_ALLOW
                                    : COREWEBVIEW2_PERMISSION_STATE_DEFAULT);
                return S_OK;
            })
            .get(),
        &token);

    webview->add_NewWindowRequested(
        MakeHandler<ICoreWebView2NewWindowRequestedEventHandler>(
            [](ICoreWebView2* sender, ICoreWebView2NewWindowRequestedEventArgs* args) {
                if (!args)
                    return S_OK;
                args->put_Handled(TRUE);
                TaskMemString uri;
                // The navigation policy judges it like any other navigation of this browser.
                if (sender && SUCCEEDED(args->get_Uri(uri.Out())) && !uri.empty())
                    sender->Navigate(WideText(uri.Text()));
                return S_OK;
            })
            .get(),
        &token);

    if (const auto filtered = ComRef<ICoreWebView2>::Share(webview).As<ICoreWebView2_22>())
        filtered->AddWebResourceRequestedFilterWithRequestSourceKinds(
            L"*", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL,
            COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_ALL);
    else
        webview->AddWebResourceRequestedFilter(L"*", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL);

    webview->add_WebResourceRequested(
        MakeHandler<ICoreWebView2WebResourceRequestedEventHandler>(
            [shared](ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args) {
                if (shared->webResourceRequested)
                    shared->webResourceRequested(args);
                return S_OK;
            })
            .get(),
        &token);
}

}  // namespace kestrum
