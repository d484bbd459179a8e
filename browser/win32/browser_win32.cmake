# The browser room on Windows: the browser windows, their window procedures, the runtime's
# loader and version, and the WebView2 engine behind the portable host.

add_library(kestrum_browser_win32 STATIC
    browser/win32/browser_exit_watch_win32.cpp
    browser/win32/browser_window_procs_win32.cpp
    browser/win32/browser_windows_win32.cpp
    browser/win32/runtime_loader_win32.cpp
    browser/win32/runtime_version_win32.cpp
    browser/win32/webview2_controller_win32.cpp
    browser/win32/webview2_environment_options_win32.cpp
    browser/win32/webview2_events_win32.cpp
    browser/win32/webview2_print_win32.cpp
    browser/win32/webview2_requests_win32.cpp
    browser/win32/webview2_settings_win32.cpp
    browser/win32/webview_engine_win32.cpp)
target_link_libraries(kestrum_browser_win32 PUBLIC kestrum_core kestrum_printing_win32 version
                                                   ole32 user32 gdi32 shell32)
kestrum_warnings(kestrum_browser_win32)
