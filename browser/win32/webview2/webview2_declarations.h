#pragma once

// Our own declarations of the browser runtime's COM interfaces, under the names the runtime's
// documentation uses. Only the methods this program calls (or the test runtime answers) have
// real signatures; every other slot is a counted placeholder, so each method keeps the vtable
// index the runtime was built with. The slot test checks each one against the published table.
// Rules that keep the layout right: single inheritance, declaration order as published, no
// virtual destructors, no overloads, everything returns HRESULT with the COM calling convention.

#include <objidl.h>
#include <windows.h>

#include <cstdint>

#include "browser/win32/webview2/webview2_padding.h"
#include "browser/win32/webview2/webview2_uuids.h"

#define WV2_METHOD virtual HRESULT STDMETHODCALLTYPE

struct EventRegistrationToken {
    INT64 value;
};

struct COREWEBVIEW2_COLOR {
    BYTE A;
    BYTE R;
    BYTE G;
    BYTE B;
};

enum COREWEBVIEW2_WEB_RESOURCE_CONTEXT : int32_t { COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL = 0 };
enum COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS : uint32_t {
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_DOCUMENT = 0x1,
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_SHARED_WORKER = 0x2,
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_SERVICE_WORKER = 0x4,
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_ALL = 0xFFFFFFFF
};
enum COREWEBVIEW2_PERMISSION_KIND : int32_t {
    COREWEBVIEW2_PERMISSION_KIND_UNKNOWN_PERMISSION = 0,
    COREWEBVIEW2_PERMISSION_KIND_MICROPHONE = 1,
    COREWEBVIEW2_PERMISSION_KIND_CAMERA = 2,
    COREWEBVIEW2_PERMISSION_KIND_GEOLOCATION = 3,
    COREWEBVIEW2_PERMISSION_KIND_NOTIFICATIONS = 4
};
enum COREWEBVIEW2_PERMISSION_STATE : int32_t {
    COREWEBVIEW2_PERMISSION_STATE_DEFAULT = 0,
    COREWEBVIEW2_PERMISSION_STATE_ALLOW = 1,
    COREWEBVIEW2_PERMISSION_STATE_DENY = 2
};
enum COREWEBVIEW2_PRINT_STATUS : int32_t {
    COREWEBVIEW2_PRINT_STATUS_SUCCEEDED = 0,
    COREWEBVIEW2_PRINT_STATUS_PRINTER_UNAVAILABLE = 1,
    COREWEBVIEW2_PRINT_STATUS_OTHER_ERROR = 2
};
enum COREWEBVIEW2_PDF_TOOLBAR_ITEMS : int32_t { COREWEBVIEW2_PDF_TOOLBAR_ITEMS_NONE = 0 };
enum COREWEBVIEW2_WEB_ERROR_STATUS : int32_t { COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN = 0 };
enum COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND : int32_t {
    COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND_NORMAL = 0,
    COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND_FAILED = 1
};

struct ICoreWebView2HttpResponseHeaders;

// Completion and event handlers: IUnknown plus Invoke.
struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler : IUnknown {
    WV2_METHOD Invoke(HRESULT errorCode, ICoreWebView2Environment* result) = 0;
};
struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler : IUnknown {
    WV2_METHOD Invoke(HRESULT errorCode, ICoreWebView2Controller* result) = 0;
};
struct ICoreWebView2NavigationStartingEventHandler : IUnknown {
    WV2_METHOD Invoke(ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args) = 0;
};
struct ICoreWebView2NavigationCompletedEventHandler : IUnknown {
    WV2_METHOD Invoke(ICoreWebView2* sender, ICoreWebView2NavigationCompletedEventArgs* args) = 0;
};
struct ICoreWebView2WebMessageReceivedEventHandler : IUnknown {
    WV2_METHOD Invoke(ICoreWebView2* sender, ICoreWebView2WebMessageReceivedEventArgs* args) = 0;
};
struct ICoreWebView2PermissionRequestedEventHandler : IUnknown {
    WV2_METHOD Invoke(ICoreWebView2* sender, ICoreWebView2PermissionRequestedEventArgs* args) = 0;
};
struct ICoreWebView2NewWindowRequestedEventHandler : IUnknown {
    WV2_METHOD Invoke(ICoreWebView2* sender, ICoreWebView2NewWindowRequestedEventArgs* args) = 0;
};
struct ICoreWebView2WebResourceRequestedEventHandler : IUnknown {
    WV2_METHOD Invoke(ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs* args) = 0;
};
struct ICoreWebView2BrowserProcessExitedEventHandler : IUnknown {
    WV2_METHOD Invoke(ICoreWebView2Environment* sender,
                      ICoreWebView2BrowserProcessExitedEventArgs* args) = 0;
};
struct ICoreWebView2PrintCompletedHandler : IUnknown {
    WV2_METHOD Invoke(HRESULT errorCode, COREWEBVIEW2_PRINT_STATUS result) = 0;
};
struct ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler : IUnknown {
    WV2_METHOD Invoke(HRESULT errorCode, LPCWSTR id) = 0;
};

struct ICoreWebView2Deferral : IUnknown {
    WV2_METHOD Complete() = 0;
};

// The options object this program implements and hands to the runtime.
struct ICoreWebView2EnvironmentOptions : IUnknown {
    WV2_METHOD get_AdditionalBrowserArguments(LPWSTR* value) = 0;
    WV2_METHOD put_AdditionalBrowserArguments(LPCWSTR value) = 0;
    WV2_METHOD get_Language(LPWSTR* value) = 0;
    WV2_METHOD put_Language(LPCWSTR value) = 0;
    WV2_METHOD get_TargetCompatibleBrowserVersion(LPWSTR* value) = 0;
    WV2_METHOD put_TargetCompatibleBrowserVersion(LPCWSTR value) = 0;
    WV2_METHOD get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) = 0;
    WV2_METHOD put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) = 0;
};

struct ICoreWebView2Environment : IUnknown {
    WV2_METHOD CreateCoreWebView2Controller(
        HWND parentWindow, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) = 0;
    WV2_METHOD CreateWebResourceResponse(IStream* content, int statusCode, LPCWSTR reasonPhrase,
                                         LPCWSTR headers,
                                         ICoreWebView2WebResourceResponse** response) = 0;
    WV2_METHOD get_BrowserVersionString(LPWSTR* versionInfo) = 0;
    WV2_PAD(2)
};
struct ICoreWebView2Environment2 : ICoreWebView2Environment {
    WV2_METHOD CreateWebResourceRequest(LPCWSTR uri, LPCWSTR method, IStream* postData,
                                        LPCWSTR headers,
                                        ICoreWebView2WebResourceRequest** value) = 0;
};
struct ICoreWebView2Environment3 : ICoreWebView2Environment2 {
    WV2_PAD(2)
};
struct ICoreWebView2Environment4 : ICoreWebView2Environment3 {
    WV2_PAD(1)
};
struct ICoreWebView2Environment5 : ICoreWebView2Environment4 {
    WV2_METHOD add_BrowserProcessExited(ICoreWebView2BrowserProcessExitedEventHandler* eventHandler,
                                        EventRegistrationToken* token) = 0;
    WV2_METHOD remove_BrowserProcessExited(EventRegistrationToken token) = 0;
};
struct ICoreWebView2Environment6 : ICoreWebView2Environment5 {
    WV2_METHOD CreatePrintSettings(ICoreWebView2PrintSettings** value) = 0;
};

struct ICoreWebView2Controller : IUnknown {
    WV2_METHOD get_IsVisible(BOOL* isVisible) = 0;
    WV2_METHOD put_IsVisible(BOOL isVisible) = 0;
    WV2_METHOD get_Bounds(RECT* bounds) = 0;
    WV2_METHOD put_Bounds(RECT bounds) = 0;
    WV2_PAD(16)
    WV2_METHOD NotifyParentWindowPositionChanged() = 0;
    WV2_METHOD Close() = 0;
    WV2_METHOD get_CoreWebView2(ICoreWebView2** coreWebView2) = 0;
};
struct ICoreWebView2Controller2 : ICoreWebView2Controller {
    WV2_METHOD get_DefaultBackgroundColor(COREWEBVIEW2_COLOR* value) = 0;
    WV2_METHOD put_DefaultBackgroundColor(COREWEBVIEW2_COLOR value) = 0;
};
struct ICoreWebView2Controller3 : ICoreWebView2Controller2 {
    WV2_PAD(8)
};
struct ICoreWebView2Controller4 : ICoreWebView2Controller3 {
    WV2_METHOD get_AllowExternalDrop(BOOL* value) = 0;
    WV2_METHOD put_AllowExternalDrop(BOOL value) = 0;
};

struct ICoreWebView2 : IUnknown {
    WV2_METHOD get_Settings(ICoreWebView2Settings** settings) = 0;
    WV2_PAD(1)
    WV2_METHOD Navigate(LPCWSTR uri) = 0;
    WV2_METHOD NavigateToString(LPCWSTR htmlContent) = 0;
    WV2_METHOD add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* eventHandler,
                                      EventRegistrationToken* token) = 0;
    WV2_METHOD remove_NavigationStarting(EventRegistrationToken token) = 0;
    WV2_PAD(6)
    WV2_METHOD add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler* eventHandler,
                                       EventRegistrationToken* token) = 0;
    WV2_METHOD remove_NavigationCompleted(EventRegistrationToken token) = 0;
    WV2_PAD(6)
    WV2_METHOD add_PermissionRequested(ICoreWebView2PermissionRequestedEventHandler* eventHandler,
                                       EventRegistrationToken* token) = 0;
    WV2_METHOD remove_PermissionRequested(EventRegistrationToken token) = 0;
    WV2_PAD(2)
    WV2_METHOD AddScriptToExecuteOnDocumentCreated(
        LPCWSTR javaScript,
        ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) = 0;
    WV2_PAD(3)
    WV2_METHOD Reload() = 0;
    WV2_METHOD PostWebMessageAsJson(LPCWSTR webMessageAsJson) = 0;
    WV2_PAD(1)
    WV2_METHOD add_WebMessageReceived(ICoreWebView2WebMessageReceivedEventHandler* handler,
                                      EventRegistrationToken* token) = 0;
    WV2_METHOD remove_WebMessageReceived(EventRegistrationToken token) = 0;
    WV2_PAD(1)
    WV2_METHOD get_BrowserProcessId(UINT32* value) = 0;
    WV2_METHOD get_CanGoBack(BOOL* canGoBack) = 0;
    WV2_PAD(1)
    WV2_METHOD GoBack() = 0;
    WV2_PAD(2)
    WV2_METHOD Stop() = 0;
    WV2_METHOD add_NewWindowRequested(ICoreWebView2NewWindowRequestedEventHandler* eventHandler,
                                      EventRegistrationToken* token) = 0;
    WV2_METHOD remove_NewWindowRequested(EventRegistrationToken token) = 0;
    WV2_PAD(9)
    WV2_METHOD add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler* eventHandler,
                                        EventRegistrationToken* token) = 0;
    WV2_METHOD remove_WebResourceRequested(EventRegistrationToken token) = 0;
    WV2_METHOD AddWebResourceRequestedFilter(LPCWSTR uri,
                                             COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext) = 0;
    WV2_PAD(3)
};
struct ICoreWebView2_2 : ICoreWebView2 {
    WV2_PAD(2)
    WV2_METHOD NavigateWithWebResourceRequest(ICoreWebView2WebResourceRequest* request) = 0;
    WV2_PAD(4)
};
struct ICoreWebView2_3 : ICoreWebView2_2 {
    WV2_PAD(5)
};
struct ICoreWebView2_4 : ICoreWebView2_3 {
    WV2_PAD(4)
};
struct ICoreWebView2_5 : ICoreWebView2_4 {
    WV2_PAD(2)
};
struct ICoreWebView2_6 : ICoreWebView2_5 {
    WV2_PAD(1)
};
struct ICoreWebView2_7 : ICoreWebView2_6 {
    WV2_PAD(1)
};
struct ICoreWebView2_8 : ICoreWebView2_7 {
    WV2_PAD(7)
};
struct ICoreWebView2_9 : ICoreWebView2_8 {
    WV2_PAD(9)
};
struct ICoreWebView2_10 : ICoreWebView2_9 {
    WV2_PAD(2)
};
struct ICoreWebView2_11 : ICoreWebView2_10 {
    WV2_PAD(3)
};
struct ICoreWebView2_12 : ICoreWebView2_11 {
    WV2_PAD(3)
};
struct ICoreWebView2_13 : ICoreWebView2_12 {
    WV2_PAD(1)
};
struct ICoreWebView2_14 : ICoreWebView2_13 {
    WV2_PAD(3)
};
struct ICoreWebView2_15 : ICoreWebView2_14 {
    WV2_PAD(4)
};
struct ICoreWebView2_16 : ICoreWebView2_15 {
    WV2_METHOD Print(ICoreWebView2PrintSettings* printSettings,
                     ICoreWebView2PrintCompletedHandler* handler) = 0;
    WV2_PAD(2)
};
struct ICoreWebView2_17 : ICoreWebView2_16 {
    WV2_PAD(1)
};
struct ICoreWebView2_18 : ICoreWebView2_17 {
    WV2_PAD(2)
};
struct ICoreWebView2_19 : ICoreWebView2_18 {
    WV2_PAD(2)
};
struct ICoreWebView2_20 : ICoreWebView2_19 {
    WV2_PAD(1)
};
struct ICoreWebView2_21 : ICoreWebView2_20 {
    WV2_PAD(1)
};
struct ICoreWebView2_22 : ICoreWebView2_21 {
    WV2_METHOD AddWebResourceRequestedFilterWithRequestSourceKinds(
        LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext,
        COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS requestSourceKinds) = 0;
    WV2_METHOD RemoveWebResourceRequestedFilterWithRequestSourceKinds(
        LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext,
        COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS requestSourceKinds) = 0;
};

struct ICoreWebView2Settings : IUnknown {
    WV2_METHOD get_IsScriptEnabled(BOOL* value) = 0;
    WV2_METHOD put_IsScriptEnabled(BOOL value) = 0;
    WV2_METHOD get_IsWebMessageEnabled(BOOL* value) = 0;
    WV2_METHOD put_IsWebMessageEnabled(BOOL value) = 0;
    WV2_METHOD get_AreDefaultScriptDialogsEnabled(BOOL* value) = 0;
    WV2_METHOD put_AreDefaultScriptDialogsEnabled(BOOL value) = 0;
    WV2_METHOD get_IsStatusBarEnabled(BOOL* value) = 0;
    WV2_METHOD put_IsStatusBarEnabled(BOOL value) = 0;
    WV2_METHOD get_AreDevToolsEnabled(BOOL* value) = 0;
    WV2_METHOD put_AreDevToolsEnabled(BOOL value) = 0;
    WV2_METHOD get_AreDefaultContextMenusEnabled(BOOL* value) = 0;
    WV2_METHOD put_AreDefaultContextMenusEnabled(BOOL value) = 0;
    WV2_METHOD get_AreHostObjectsAllowed(BOOL* value) = 0;
    WV2_METHOD put_AreHostObjectsAllowed(BOOL value) = 0;
    WV2_METHOD get_IsZoomControlEnabled(BOOL* value) = 0;
    WV2_METHOD put_IsZoomControlEnabled(BOOL value) = 0;
    WV2_METHOD get_IsBuiltInErrorPageEnabled(BOOL* value) = 0;
    WV2_METHOD put_IsBuiltInErrorPageEnabled(BOOL value) = 0;
};
struct ICoreWebView2Settings2 : ICoreWebView2Settings {
    WV2_PAD(2)
};
struct ICoreWebView2Settings3 : ICoreWebView2Settings2 {
    WV2_METHOD get_AreBrowserAcceleratorKeysEnabled(BOOL* value) = 0;
    WV2_METHOD put_AreBrowserAcceleratorKeysEnabled(BOOL value) = 0;
};
struct ICoreWebView2Settings4 : ICoreWebView2Settings3 {
    WV2_PAD(4)
};
struct ICoreWebView2Settings5 : ICoreWebView2Settings4 {
    WV2_PAD(2)
};
struct ICoreWebView2Settings6 : ICoreWebView2Settings5 {
    WV2_PAD(2)
};
struct ICoreWebView2Settings7 : ICoreWebView2Settings6 {
    WV2_METHOD get_HiddenPdfToolbarItems(COREWEBVIEW2_PDF_TOOLBAR_ITEMS* value) = 0;
    WV2_METHOD put_HiddenPdfToolbarItems(COREWEBVIEW2_PDF_TOOLBAR_ITEMS value) = 0;
};

struct ICoreWebView2PrintSettings : IUnknown {
    WV2_PAD(26)
};
struct ICoreWebView2PrintSettings2 : ICoreWebView2PrintSettings {
    WV2_PAD(14)
    WV2_METHOD get_PrinterName(LPWSTR* value) = 0;
    WV2_METHOD put_PrinterName(LPCWSTR value) = 0;
};

struct ICoreWebView2HttpRequestHeaders : IUnknown {
    WV2_METHOD GetHeader(LPCWSTR name, LPWSTR* value) = 0;
    WV2_PAD(1)
    WV2_METHOD Contains(LPCWSTR name, BOOL* value) = 0;
    WV2_METHOD SetHeader(LPCWSTR name, LPCWSTR value) = 0;
    WV2_METHOD RemoveHeader(LPCWSTR name) = 0;
    WV2_PAD(1)
};

struct ICoreWebView2WebResourceRequest : IUnknown {
    WV2_METHOD get_Uri(LPWSTR* uri) = 0;
    WV2_METHOD put_Uri(LPCWSTR uri) = 0;
    WV2_METHOD get_Method(LPWSTR* method) = 0;
    WV2_METHOD put_Method(LPCWSTR method) = 0;
    WV2_METHOD get_Content(IStream** content) = 0;
    WV2_METHOD put_Content(IStream* content) = 0;
    WV2_METHOD get_Headers(ICoreWebView2HttpRequestHeaders** headers) = 0;
};

struct ICoreWebView2WebResourceResponse : IUnknown {
    WV2_METHOD get_Content(IStream** content) = 0;
    WV2_METHOD put_Content(IStream* content) = 0;
    WV2_METHOD get_Headers(ICoreWebView2HttpResponseHeaders** headers) = 0;
    WV2_METHOD get_StatusCode(int* statusCode) = 0;
    WV2_METHOD put_StatusCode(int statusCode) = 0;
    WV2_METHOD get_ReasonPhrase(LPWSTR* reasonPhrase) = 0;
    WV2_METHOD put_ReasonPhrase(LPCWSTR reasonPhrase) = 0;
};

struct ICoreWebView2WebResourceRequestedEventArgs : IUnknown {
    WV2_METHOD get_Request(ICoreWebView2WebResourceRequest** request) = 0;
    WV2_METHOD get_Response(ICoreWebView2WebResourceResponse** response) = 0;
    WV2_METHOD put_Response(ICoreWebView2WebResourceResponse* response) = 0;
    WV2_METHOD GetDeferral(ICoreWebView2Deferral** deferral) = 0;
    WV2_METHOD get_ResourceContext(COREWEBVIEW2_WEB_RESOURCE_CONTEXT* context) = 0;
};

struct ICoreWebView2NavigationStartingEventArgs : IUnknown {
    WV2_METHOD get_Uri(LPWSTR* uri) = 0;
    WV2_METHOD get_IsUserInitiated(BOOL* isUserInitiated) = 0;
    WV2_METHOD get_IsRedirected(BOOL* isRedirected) = 0;
    WV2_METHOD get_RequestHeaders(ICoreWebView2HttpRequestHeaders** requestHeaders) = 0;
    WV2_METHOD get_Cancel(BOOL* cancel) = 0;
    WV2_METHOD put_Cancel(BOOL cancel) = 0;
    WV2_METHOD get_NavigationId(UINT64* navigationId) = 0;
};

struct ICoreWebView2NavigationCompletedEventArgs : IUnknown {
    WV2_METHOD get_IsSuccess(BOOL* isSuccess) = 0;
    WV2_METHOD get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* webErrorStatus) = 0;
    WV2_METHOD get_NavigationId(UINT64* navigationId) = 0;
};

struct ICoreWebView2WebMessageReceivedEventArgs : IUnknown {
    WV2_METHOD get_Source(LPWSTR* value) = 0;
    WV2_METHOD get_WebMessageAsJson(LPWSTR* value) = 0;
    WV2_METHOD TryGetWebMessageAsString(LPWSTR* value) = 0;
};

struct ICoreWebView2PermissionRequestedEventArgs : IUnknown {
    WV2_METHOD get_Uri(LPWSTR* uri) = 0;
    WV2_METHOD get_PermissionKind(COREWEBVIEW2_PERMISSION_KIND* permissionKind) = 0;
    WV2_METHOD get_IsUserInitiated(BOOL* isUserInitiated) = 0;
    WV2_METHOD get_State(COREWEBVIEW2_PERMISSION_STATE* state) = 0;
    WV2_METHOD put_State(COREWEBVIEW2_PERMISSION_STATE state) = 0;
    WV2_METHOD GetDeferral(ICoreWebView2Deferral** deferral) = 0;
};

struct ICoreWebView2NewWindowRequestedEventArgs : IUnknown {
    WV2_METHOD get_Uri(LPWSTR* uri) = 0;
    WV2_METHOD put_NewWindow(ICoreWebView2* newWindow) = 0;
    WV2_METHOD get_NewWindow(ICoreWebView2** newWindow) = 0;
    WV2_METHOD put_Handled(BOOL handled) = 0;
    WV2_METHOD get_Handled(BOOL* handled) = 0;
    WV2_METHOD get_IsUserInitiated(BOOL* isUserInitiated) = 0;
    WV2_METHOD GetDeferral(ICoreWebView2Deferral** deferral) = 0;
    WV2_PAD(1)
};

struct ICoreWebView2BrowserProcessExitedEventArgs : IUnknown {
    WV2_METHOD get_BrowserProcessExitKind(COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND* value) = 0;
    WV2_METHOD get_BrowserProcessId(UINT32* value) = 0;
};

#undef WV2_METHOD
