# Screen capture, PNG and pixel checks for the Windows GUI tests under Wine and Xvfb.
include_guard(GLOBAL)
add_library(kestrum_win32_gui_test_support STATIC
    ${PROJECT_SOURCE_DIR}/tests/win32/support/screen_win32.cpp)
target_include_directories(kestrum_win32_gui_test_support PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(kestrum_win32_gui_test_support PUBLIC UNICODE _UNICODE
                                                                 WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(kestrum_win32_gui_test_support PUBLIC user32 gdi32)
kestrum_warnings(kestrum_win32_gui_test_support)
