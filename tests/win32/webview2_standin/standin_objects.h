#pragma once

// The test runtime's objects, each recording its calls. Every factory returns one reference.
#include <map>
#include <string>

#include "browser/win32/webview2/webview2_declarations.h"

namespace standin {

ICoreWebView2Environment6* NewEnvironment();
ICoreWebView2Controller4* NewController(ICoreWebView2Environment* environment);
ICoreWebView2_22* NewWebView(ICoreWebView2Environment* environment);
ICoreWebView2Settings7* NewSettings();
ICoreWebView2PrintSettings2* NewPrintSettings();
ICoreWebView2WebResourceRequest* NewRequest(const std::wstring& uri, const std::wstring& method,
                                            const std::wstring& headerLines);
ICoreWebView2WebResourceResponse* NewResponse(int status, const std::wstring& reason);

// "Name: value" lines of a request's headers, sorted by name, joined with "; ".
std::string DescribeHeaders(ICoreWebView2WebResourceRequest* request);

}  // namespace standin

namespace standin {

// Event arguments the test runtime raises. The starting and requested arguments report
// what the program's handler decided.
ICoreWebView2NavigationStartingEventArgs* NewNavigationStartingArgs(const std::wstring& uri);
bool WasCancelled(ICoreWebView2NavigationStartingEventArgs* args);
ICoreWebView2WebResourceRequestedEventArgs* NewWebResourceRequestedArgs(
    ICoreWebView2WebResourceRequest* request);
ICoreWebView2NavigationCompletedEventArgs* NewNavigationCompletedArgs(bool success);
ICoreWebView2WebMessageReceivedEventArgs* NewWebMessageArgs(const std::wstring& source,
                                                            const std::wstring& json);
ICoreWebView2NewWindowRequestedEventArgs* NewNewWindowArgs(const std::wstring& uri);
bool WasHandled(ICoreWebView2NewWindowRequestedEventArgs* args);
ICoreWebView2PermissionRequestedEventArgs* NewPermissionArgs(const std::wstring& uri,
                                                             COREWEBVIEW2_PERMISSION_KIND kind);
int PermissionState(ICoreWebView2PermissionRequestedEventArgs* args);

// The browser process of the environment ends (the runtime's exit event is raised): the test
// runtime's browser ends when the program closes its controller.
void EndBrowserProcess(ICoreWebView2Environment* environment);

}  // namespace standin
