# The printer picker and the print job on GTK and WebKitGTK. Kept out of kestrum_core, which
# must stay free of GTK.

add_library(kestrum_printing_gtk STATIC
    printing/linux/cups_document_job.cpp
    printing/linux/pdf_document_print.cpp
    printing/linux/print_job_webkit.cpp
    printing/linux/printer_picker_gtk.cpp)
target_link_libraries(kestrum_printing_gtk PUBLIC kestrum_core PkgConfig::GTK3 PkgConfig::WEBKIT)
kestrum_warnings(kestrum_printing_gtk)

if(KESTRUM_BUILD_TESTS)
    add_executable(kestrum_print_probe tests/gui/print_probe.cpp)
    target_link_libraries(kestrum_print_probe PRIVATE kestrum_printing_gtk kestrum_toolkit_gtk)
    kestrum_warnings(kestrum_print_probe)
    add_test(NAME gui.printing
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh bash ${PROJECT_SOURCE_DIR}/tests/gui/print_job_test.sh
                     $<TARGET_FILE:kestrum_print_probe>
                     ${PROJECT_SOURCE_DIR}/scripts/private-cupsd.sh
                     ${CMAKE_BINARY_DIR}/gui-screenshots)
    set_tests_properties(gui.printing PROPERTIES TIMEOUT 400 RUN_SERIAL TRUE)

    # How WebKit's endings of a print job read to the page; needs no display.
    find_package(GTest REQUIRED)
    add_executable(kestrum_print_webkit_tests tests/gui/print_webkit_outcome_test.cpp)
    # The test points the library at its own scheduler (cupsSetServer) before the job loads it.
    target_link_libraries(kestrum_print_webkit_tests PRIVATE kestrum_printing_gtk kestrum_debug_log
                                                             cups GTest::gtest GTest::gtest_main)
    kestrum_warnings(kestrum_print_webkit_tests)
    add_test(NAME linux.print_webkit_outcomes COMMAND kestrum_print_webkit_tests)
endif()
