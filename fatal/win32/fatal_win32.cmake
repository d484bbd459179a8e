# The fatal error procedure's Windows side: clipboard, countdown window, diagnostic dialog.
# Kept out of kestrum_core, so that kestrum-tool does not carry it.

# ShowMessageBox comes from the program that links this (the shell, or a test double).
add_library(kestrum_fatal_win32 STATIC
    fatal/win32/clipboard_win32.cpp
    fatal/win32/countdown_paint_win32.cpp
    fatal/win32/countdown_window_win32.cpp
    fatal/win32/diagnostic_launch_win32.cpp
    fatal/win32/fatal_error_presenter_win32.cpp)
target_link_libraries(kestrum_fatal_win32 PUBLIC kestrum_core user32 gdi32)
kestrum_warnings(kestrum_fatal_win32)

if(KESTRUM_BUILD_TESTS)
    include(tests/win32/support/win32_gui_test_support.cmake)
    # The probe carries the player's resources: the countdown draws icon 101 from them.
    add_executable(kestrum_fatal_probe_win32 tests/win32/fatal/fatal_probe_win32.cpp)
    target_link_libraries(kestrum_fatal_probe_win32 PRIVATE kestrum_fatal_win32 kestrum_debug_log
                                                            kestrum_win32_gui_test_support)
    kestrum_add_win32_resources(kestrum_fatal_probe_win32)
    kestrum_warnings(kestrum_fatal_probe_win32)

    add_executable(kestrum_mshta_recorder WIN32 tests/win32/fatal/mshta_recorder.cpp)
    target_compile_definitions(kestrum_mshta_recorder PRIVATE UNICODE _UNICODE)
    target_link_options(kestrum_mshta_recorder PRIVATE -municode)
    kestrum_warnings(kestrum_mshta_recorder)

    # Owns the display and the clipboard while it runs.
    add_test(NAME win32.fatal_error_path
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/fatal/fatal_path_win32_test.sh
                     ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:kestrum_fatal_probe_win32>
                     $<TARGET_FILE:kestrum_mshta_recorder> ${CMAKE_BINARY_DIR}/gui-screenshots)
    set_tests_properties(win32.fatal_error_path PROPERTIES TIMEOUT 240 RUN_SERIAL TRUE)
endif()
