# The player on Linux: the splash, the shell's GTK backend and the `kestrum` executable.

include(${PROJECT_SOURCE_DIR}/app/linux/splash_gtk.cmake)

add_library(kestrum_shell_linux STATIC
    app/linux/browser_runtime_linux.cpp
    app/linux/instance_lock_linux.cpp
    app/linux/linux_startup_platform.cpp
    app/linux/shell_windows_gtk.cpp
    app/linux/url_scheme_linux.cpp)
target_link_libraries(kestrum_shell_linux PUBLIC kestrum_core kestrum_browser_gtk kestrum_printing_gtk kestrum_resources kestrum_shell_gtk_splash
                                                 kestrum_fatal_gtk kestrum_message_box_gtk PkgConfig::GTK3
                                                 PkgConfig::WEBKIT)
kestrum_warnings(kestrum_shell_linux)

add_executable(kestrum app/linux/main_linux.cpp)
target_link_libraries(kestrum PRIVATE kestrum_shell_linux kestrum_debug_log)
add_dependencies(kestrum kestrum-web-extension kestrum-diagnostic)
kestrum_warnings(kestrum)

if(KESTRUM_BUILD_TESTS)
    add_test(NAME gui.player_shell
             COMMAND timeout 170 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp"
                     bash ${PROJECT_SOURCE_DIR}/tests/gui/player_shell_test.sh
                     $<TARGET_FILE:kestrum> $<TARGET_FILE:kestrum-tool>)
    set_tests_properties(gui.player_shell PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
endif()

# Saves the display as a PNG: the main job's proof on a machine without a screen, and the
# GUI tests' pictures.
add_executable(kestrum-screenshot tools/kestrum_screenshot/main.cpp)
target_link_libraries(kestrum-screenshot PRIVATE PkgConfig::GTK3)
kestrum_warnings(kestrum-screenshot)

if(KESTRUM_BUILD_TESTS AND TARGET kestrum-platform)
    add_test(NAME gui.browser_host
             COMMAND timeout 400 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp"
                     bash ${PROJECT_SOURCE_DIR}/tests/gui/browser_host_test.sh
                     $<TARGET_FILE:kestrum> $<TARGET_FILE:kestrum-tool>
                     $<TARGET_FILE:kestrum-platform> $<TARGET_FILE:kestrum-screenshot>
                     ${CMAKE_BINARY_DIR}/gui-screenshots)
    set_tests_properties(gui.browser_host PROPERTIES TIMEOUT 420 RUN_SERIAL TRUE)
endif()

# Printing in the player: PDF content on screen and on paper, and a flood of print requests.
if(KESTRUM_BUILD_TESTS AND TARGET kestrum-platform)
    add_executable(kestrum_screen_colours tests/gui/screen_colours.cpp)
    target_link_libraries(kestrum_screen_colours PRIVATE PkgConfig::GTK3)
    kestrum_warnings(kestrum_screen_colours)
    add_test(NAME gui.player_printing
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/gui/player_printing_test.sh
                     $<TARGET_FILE:kestrum> $<TARGET_FILE:kestrum-tool>
                     $<TARGET_FILE:kestrum-platform> $<TARGET_FILE:kestrum_screen_colours>
                     ${PROJECT_SOURCE_DIR}/scripts/private-cupsd.sh
                     ${CMAKE_BINARY_DIR}/gui-screenshots)
    set_tests_properties(gui.player_printing PROPERTIES TIMEOUT 400 RUN_SERIAL TRUE)
endif()
