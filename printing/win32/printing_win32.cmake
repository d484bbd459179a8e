# The printer picker on Win32 and its place in a page's print request. Kept out of
# kestrum_core, so that kestrum-tool does not carry it; the printer list itself is in the core.

add_library(kestrum_printing_win32 STATIC
    printing/win32/print_request_win32.cpp
    printing/win32/printer_picker_template_win32.cpp
    printing/win32/printer_picker_win32.cpp)
target_link_libraries(kestrum_printing_win32 PUBLIC kestrum_core user32 gdi32)
kestrum_warnings(kestrum_printing_win32)

if(KESTRUM_BUILD_TESTS)
    include(tests/win32/support/win32_gui_test_support.cmake)
    add_executable(kestrum_picker_probe_win32 tests/win32/picker/picker_probe_win32.cpp)
    target_link_libraries(kestrum_picker_probe_win32 PRIVATE kestrum_printing_win32
                                                             kestrum_debug_log
                                                             kestrum_win32_gui_test_support)
    kestrum_warnings(kestrum_picker_probe_win32)
    # Beside the probe in the test, in place of the system's library: records the frame's
    # attributes the picker asks for. Built into a folder of its own, so that no other program
    # of the build finds it beside itself.
    add_library(kestrum_dwmapi_recorder SHARED tests/win32/picker/dwmapi_recorder.cpp)
    set_target_properties(kestrum_dwmapi_recorder PROPERTIES
        PREFIX "" OUTPUT_NAME dwmapi
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/stand-ins/dwmapi
        ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/stand-ins/dwmapi)
    kestrum_warnings(kestrum_dwmapi_recorder)
    # Starts a private CUPS scheduler for Wine's printers: nothing else may look at them meanwhile.
    add_test(NAME win32.printer_picker
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/picker/picker_win32_test.sh
                     ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:kestrum_picker_probe_win32>
                     $<TARGET_FILE:kestrum_dwmapi_recorder> ${CMAKE_BINARY_DIR}/gui-screenshots)
    set_tests_properties(win32.printer_picker PROPERTIES TIMEOUT 240 RUN_SERIAL TRUE)
endif()
