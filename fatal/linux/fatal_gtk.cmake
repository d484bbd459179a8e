# The fatal error procedure's GTK side and the diagnostic dialog program. Kept out of
# kestrum_core, which must stay free of GTK for kestrum-tool.

# ShowMessageBox comes from the program that links this (the shell, or a test double).
add_library(kestrum_fatal_gtk STATIC
    fatal/linux/countdown_window_gtk.cpp
    fatal/linux/diagnostic_launch_linux.cpp
    fatal/linux/fatal_error_presenter_gtk.cpp)
target_link_libraries(kestrum_fatal_gtk PUBLIC kestrum_core kestrum_toolkit_gtk PkgConfig::GTK3)
if(EXISTS ${PROJECT_SOURCE_DIR}/resources/resources.h)
    target_link_libraries(kestrum_fatal_gtk PUBLIC kestrum_resources)
endif()
kestrum_warnings(kestrum_fatal_gtk)

add_library(kestrum_diagnostic_window STATIC
    fatal/linux/diagnostic_program/diagnostic_window_gtk.cpp)
target_link_libraries(kestrum_diagnostic_window PUBLIC kestrum_core kestrum_toolkit_gtk PkgConfig::GTK3
                                                       PkgConfig::WEBKIT)
kestrum_warnings(kestrum_diagnostic_window)

# Beside the player, where the fatal procedure looks for it first.
add_executable(kestrum-diagnostic fatal/linux/diagnostic_program/main.cpp)
target_link_libraries(kestrum-diagnostic PRIVATE kestrum_diagnostic_window)
set_target_properties(kestrum-diagnostic PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
kestrum_warnings(kestrum-diagnostic)

if(KESTRUM_BUILD_TESTS)
    add_executable(kestrum_fatal_probe tests/gui/fatal_error_probe.cpp)
    target_link_libraries(kestrum_fatal_probe PRIVATE kestrum_fatal_gtk kestrum_diagnostic_window
                                                      kestrum_debug_log)
    kestrum_warnings(kestrum_fatal_probe)
    add_test(NAME gui.fatal_error_path
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh bash ${PROJECT_SOURCE_DIR}/tests/gui/fatal_error_path_test.sh
                     $<TARGET_FILE:kestrum_fatal_probe> $<TARGET_FILE:kestrum-diagnostic>
                     ${CMAKE_BINARY_DIR}/gui-screenshots)
    set_tests_properties(gui.fatal_error_path PROPERTIES TIMEOUT 240 RUN_SERIAL TRUE)
endif()
