# The test browser runtime: a library laid out as a runtime folder
# (<folder>/EBWebView/x64/EmbeddedBrowserWebView.dll) that records every call the program makes
# and fails or raises events on request; and its own test.
add_library(kestrum_webview2_standin SHARED
    ${CMAKE_CURRENT_LIST_DIR}/standin_controller.cpp
    ${CMAKE_CURRENT_LIST_DIR}/standin_environment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/standin_event_args.cpp
    ${CMAKE_CURRENT_LIST_DIR}/standin_log.cpp
    ${CMAKE_CURRENT_LIST_DIR}/standin_web_resources.cpp
    ${CMAKE_CURRENT_LIST_DIR}/standin_webview.cpp
    ${CMAKE_CURRENT_LIST_DIR}/standin.rc)
target_include_directories(kestrum_webview2_standin PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(kestrum_webview2_standin PRIVATE ole32)
target_link_options(kestrum_webview2_standin PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(kestrum_webview2_standin PROPERTIES
    PREFIX "" OUTPUT_NAME EmbeddedBrowserWebView
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/webview2_standin/EBWebView/x64)
kestrum_warnings(kestrum_webview2_standin)
set(KESTRUM_WEBVIEW2_STANDIN_FOLDER ${CMAKE_BINARY_DIR}/webview2_standin)

add_executable(kestrum_webview2_standin_tests ${CMAKE_CURRENT_LIST_DIR}/standin_runtime_test.cpp)
target_include_directories(kestrum_webview2_standin_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(kestrum_webview2_standin_tests PRIVATE version ole32 gtest gtest_main)
target_compile_definitions(kestrum_webview2_standin_tests PRIVATE
    KESTRUM_STANDIN_DLL="$<TARGET_FILE:kestrum_webview2_standin>")
add_dependencies(kestrum_webview2_standin_tests kestrum_webview2_standin)
kestrum_warnings(kestrum_webview2_standin_tests)
add_test(NAME win32.webview2_standin COMMAND kestrum_webview2_standin_tests)
