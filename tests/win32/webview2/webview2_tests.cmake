# The hand-written runtime interface declarations against the published slot table, which is
# copied beside the program so the test finds it wherever the build runs.
add_executable(kestrum_webview2_declarations_tests
    ${CMAKE_CURRENT_LIST_DIR}/webview2_declarations_test.cpp)
target_include_directories(kestrum_webview2_declarations_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(kestrum_webview2_declarations_tests PRIVATE gtest gtest_main)
kestrum_warnings(kestrum_webview2_declarations_tests)
add_custom_command(TARGET kestrum_webview2_declarations_tests POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_LIST_DIR}/webview2-slots.tsv
            $<TARGET_FILE_DIR:kestrum_webview2_declarations_tests>/webview2-slots.tsv)
add_test(NAME win32.webview2_declarations COMMAND kestrum_webview2_declarations_tests)
