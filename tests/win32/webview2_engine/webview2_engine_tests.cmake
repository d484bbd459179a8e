# The Windows browser engine driven through the portable host against the test runtime, which
# sits beside the test program as a private runtime folder (WebView2Runtime), so that no
# registry entry of the shared prefix is needed.
set(_engine_dir ${CMAKE_BINARY_DIR}/webview2_engine_tests)
add_executable(kestrum_webview2_engine_tests ${CMAKE_CURRENT_LIST_DIR}/webview2_engine_win32_test.cpp)
target_link_libraries(kestrum_webview2_engine_tests PRIVATE kestrum_browser_win32 kestrum_debug_log
                                                            gtest gtest_main)
set_target_properties(kestrum_webview2_engine_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${_engine_dir})
kestrum_warnings(kestrum_webview2_engine_tests)
# Copied again whenever the test runtime changes.
set(_engine_runtime ${_engine_dir}/WebView2Runtime)
add_custom_command(OUTPUT ${_engine_runtime}/EBWebView/x64/EmbeddedBrowserWebView.dll
                          ${_engine_runtime}/msedgewebview2.exe
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_engine_runtime}/EBWebView/x64
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:kestrum_webview2_standin>
            ${_engine_runtime}/EBWebView/x64/EmbeddedBrowserWebView.dll
    COMMAND ${CMAKE_COMMAND} -E touch ${_engine_runtime}/msedgewebview2.exe
    DEPENDS kestrum_webview2_standin)
add_custom_target(kestrum_webview2_engine_runtime
    DEPENDS ${_engine_runtime}/EBWebView/x64/EmbeddedBrowserWebView.dll)
add_dependencies(kestrum_webview2_engine_tests kestrum_webview2_engine_runtime)
add_test(NAME win32.webview2_engine COMMAND kestrum_webview2_engine_tests)
set_tests_properties(win32.webview2_engine PROPERTIES TIMEOUT 120)
