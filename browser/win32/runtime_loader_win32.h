#pragma once

#include <windows.h>

struct ICoreWebView2EnvironmentOptions;
struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler;

namespace kestrum {

// Our own loader of the browser runtime, in place of the runtime's redistributable loader
// library: it finds the runtime (a private folder, or the one installed on the machine),
// loads its engine library for the life of the process and asks it for an environment.

// Starts creating the environment; `handler` is called with the outcome unless a failure
// is returned. `browserExecutableFolder` (null for the installed runtime) and
// `userDataFolder` are replaced by WEBVIEW2_BROWSER_EXECUTABLE_FOLDER and
// WEBVIEW2_USER_DATA_FOLDER when those are set.
HRESULT CreateCoreWebView2EnvironmentWithOptions(
    PCWSTR browserExecutableFolder, PCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

// The runtime's version ("a.b.c.d") in a string the caller frees with CoTaskMemFree;
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) and a null string when there is none.
HRESULT GetAvailableCoreWebView2BrowserVersionString(PCWSTR browserExecutableFolder,
                                                     LPWSTR* versionInfo);

}  // namespace kestrum
