#include "browser/win32/webview2_requests_win32.h"

#include "browser/request_handling.h"
#include "browser/win32/com_ref_win32.h"
#include "common/app_context.h"
#include "service/device_identity.h"

namespace kestrum {
namespace {

void SetHeaders(ICoreWebView2HttpRequestHeaders* target,
                const std::vector<RequestHeader>& headers) {
    for (const RequestHeader& header : headers)
        target->SetHeader(WideText(header.name), WideText(header.value));
}

}  // namespace

void HandleWebResourceRequest(ICoreWebView2WebResourceRequestedEventArgs* args,
                              ICoreWebView2Environment* environment, const RequestRules& rules) {
    if (!args)
        return;
    ComRef<ICoreWebView2WebResourceRequest> request;
    ComRef<ICoreWebView2HttpRequestHeaders> headers;
    if (FAILED(args->get_Request(request.Out())) || !request ||
        FAILED(request->get_Headers(headers.Out())) || !headers)
        return;
    TaskMemString uri;
    if (FAILED(request->get_Uri(uri.Out())) || uri.empty())
        return;

    const RequestDecision decision =
        DecideRequest(uri.Text(), rules.window, DeviceValues{GetDeviceId(), GetDeviceDescription()},
                      TheAppContext().linkServer, rules.hostPinsPass);
    if (decision.blocked) {
        ComRef<ICoreWebView2WebResourceResponse> response;
        if (environment &&
            SUCCEEDED(environment->CreateWebResourceResponse(
                nullptr, 403, L"Blocked", L"Content-Type: text/plain", response.Out())) &&
            response)
            args->put_Response(response.get());
        if (rules.reportBlockedHost)
            rules.reportBlockedHost(decision.blockedHost);
        return;
    }
    SetHeaders(headers.get(), decision.headers);
}

bool NavigateWithHeaders(ICoreWebView2Environment* environment, ICoreWebView2* webview,
                         const std::u16string& address, const std::vector<RequestHeader>& headers) {
    if (!environment || !webview)
        return false;
    const auto requests =
        ComRef<ICoreWebView2Environment>::Share(environment).As<ICoreWebView2Environment2>();
    const auto navigator = ComRef<ICoreWebView2>::Share(webview).As<ICoreWebView2_2>();
    if (!requests || !navigator)
        return false;
    ComRef<ICoreWebView2WebResourceRequest> request;
    if (FAILED(requests->CreateWebResourceRequest(WideText(address), L"GET", nullptr, L"",
                                                  request.Out())) ||
        !request)
        return false;
    ComRef<ICoreWebView2HttpRequestHeaders> requestHeaders;
    if (SUCCEEDED(request->get_Headers(requestHeaders.Out())) && requestHeaders)
        SetHeaders(requestHeaders.get(), headers);
    navigator->NavigateWithWebResourceRequest(request.get());
    return true;
}

}  // namespace kestrum
