# The player on Linux: the splash, the shell's GTK backend and the `kestrum` executable.

include(${PROJECT_SOURCE_DIR}/app/linux/splash_gtk.cmake)

add_library(kestrum_shell_linux STATIC
    app/linux/browser_runtime_linux.cpp
    app/linux/instance_lock_linux.cpp
    app/linux/linux_startup_platform.cpp
    app/linux/media_check_ahead.cpp
    app/linux/media_components_gst.cpp
    app/linux/shell_windows_gtk.cpp
    app/linux/url_scheme_linux.cpp)
target_link_libraries(kestrum_shell_linux PUBLIC kestrum_core kestrum_browser_gtk kestrum_printing_gtk kestrum_resources kestrum_shell_gtk_splash
                                                 kestrum_fatal_gtk kestrum_message_box_gtk PkgConfig::GTK3
                                                 PkgConfig::WEBKIT)
kestrum_warnings(kestrum_shell_linux)

# The media part of the runtime check, in a process of its own (app/linux/media_check_ahead.h).
add_executable(kestrum-media-check app/linux/media_check_program/main.cpp
                                   app/linux/media_components_gst.cpp)
target_link_libraries(kestrum-media-check PRIVATE kestrum_core)
set_target_properties(kestrum-media-check PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
kestrum_warnings(kestrum-media-check)

add_executable(kestrum app/linux/main_linux.cpp)
target_link_libraries(kestrum PRIVATE kestrum_shell_linux kestrum_debug_log)
add_dependencies(kestrum kestrum-web-extension kestrum-diagnostic kestrum-media-check)
kestrum_warnings(kestrum)

if(KESTRUM_BUILD_TESTS)
    add_test(NAME gui.player_shell
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh timeout 170 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp"
                     bash ${PROJECT_SOURCE_DIR}/tests/gui/player_shell_test.sh
                     $<TARGET_FILE:kestrum> $<TARGET_FILE:kestrum-tool>)
    set_tests_properties(gui.player_shell PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
    # Once more under learners' locales, which the toolkit puts into the process (the tests'
    # build compiles them into test-locales, see tests/CMakeLists.txt).
    foreach(_locale fr_FR ar_EG)
        add_test(NAME gui.player_shell.${_locale}
                 COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh timeout 170 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp"
                         bash ${PROJECT_SOURCE_DIR}/tests/gui/player_shell_test.sh
                         $<TARGET_FILE:kestrum> $<TARGET_FILE:kestrum-tool>)
        set_tests_properties(gui.player_shell.${_locale} PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE
            ENVIRONMENT "LC_ALL=${_locale}.UTF-8;LOCPATH=${CMAKE_BINARY_DIR}/test-locales")
    endforeach()

    # The window's waiting text and the boxes shown once a window exists, read off the screen.
    add_executable(kestrum_shell_gui_check ${PROJECT_SOURCE_DIR}/tests/gui/shell_window_check.cpp)
    target_link_libraries(kestrum_shell_gui_check PRIVATE kestrum_shell_linux kestrum_debug_log)
    kestrum_warnings(kestrum_shell_gui_check)
    add_test(NAME gui.shell_windows
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/gui/run_on_xvfb.sh 1280x800
                     $<TARGET_FILE:kestrum_shell_gui_check> ${CMAKE_BINARY_DIR}/gui-screenshots/shell)
    set_tests_properties(gui.shell_windows PROPERTIES TIMEOUT 90)
endif()

# Saves the display as a PNG: the main job's proof on a machine without a screen, and the
# GUI tests' pictures.
add_executable(kestrum-screenshot tools/kestrum_screenshot/main.cpp)
target_link_libraries(kestrum-screenshot PRIVATE PkgConfig::GTK3)
kestrum_warnings(kestrum-screenshot)

if(KESTRUM_BUILD_TESTS AND TARGET kestrum-platform)
    add_test(NAME gui.browser_host
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh timeout 460 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp"
                     bash ${PROJECT_SOURCE_DIR}/tests/gui/browser_host_test.sh
                     $<TARGET_FILE:kestrum> $<TARGET_FILE:kestrum-tool>
                     $<TARGET_FILE:kestrum-platform> $<TARGET_FILE:kestrum-screenshot>
                     ${CMAKE_BINARY_DIR}/gui-screenshots)

    add_test(NAME gui.hostile_service
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh timeout 200 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp"
                     bash ${PROJECT_SOURCE_DIR}/tests/gui/hostile_service_test.sh
                     $<TARGET_FILE:kestrum> $<TARGET_FILE:kestrum-tool>
                     $<TARGET_FILE:kestrum-platform> $<TARGET_FILE:kestrum-screenshot>
                     ${CMAKE_BINARY_DIR}/gui-screenshots)
    set_tests_properties(gui.hostile_service PROPERTIES TIMEOUT 220 RUN_SERIAL TRUE)

    # The support log after a real link: stamped lines, none of the link's values.
    add_test(NAME gui.support_log
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh timeout 110 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp"
                     bash ${PROJECT_SOURCE_DIR}/tests/gui/support_log_test.sh
                     $<TARGET_FILE:kestrum> $<TARGET_FILE:kestrum-tool>
                     $<TARGET_FILE:kestrum-platform>)
    set_tests_properties(gui.support_log PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)
    add_test(NAME gui.display_retry
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh timeout 110
                     bash ${PROJECT_SOURCE_DIR}/tests/gui/display_retry_test.sh
                     $<TARGET_FILE:kestrum> $<TARGET_FILE:kestrum-diagnostic>)
    set_tests_properties(gui.display_retry PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)
    add_test(NAME gui.media_registry
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh timeout 290 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp"
                     bash ${PROJECT_SOURCE_DIR}/tests/gui/media_registry_test.sh
                     $<TARGET_FILE:kestrum> $<TARGET_FILE:kestrum-platform>)
    set_tests_properties(gui.media_registry PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
    set_tests_properties(gui.browser_host PROPERTIES TIMEOUT 480 RUN_SERIAL TRUE)

    # The colours and contrast of a rectangle of the screen, for the scripts' pixel checks.
    add_executable(kestrum_screen_reading ${PROJECT_SOURCE_DIR}/tests/gui/screen_reading.cpp)
    target_link_libraries(kestrum_screen_reading PRIVATE PkgConfig::GTK3)
    kestrum_warnings(kestrum_screen_reading)
    add_test(NAME gui.browser_guard
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh timeout 580 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp"
                     bash ${PROJECT_SOURCE_DIR}/tests/gui/browser_guard_test.sh
                     $<TARGET_FILE:kestrum> $<TARGET_FILE:kestrum-tool>
                     $<TARGET_FILE:kestrum-platform> $<TARGET_FILE:kestrum-screenshot>
                     $<TARGET_FILE:kestrum_screen_reading> ${CMAKE_BINARY_DIR}/gui-screenshots/guard)
    set_tests_properties(gui.browser_guard PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
endif()

# Video lessons play and live classes get a way in, as a learner sees them; pages' permission
# requests are answered as the player promises.
if(KESTRUM_BUILD_TESTS AND TARGET kestrum-platform)
    add_executable(kestrum_pixel_check tests/gui/pixel_check.cpp)
    target_link_libraries(kestrum_pixel_check PRIVATE PkgConfig::GTK3)
    kestrum_warnings(kestrum_pixel_check)
    add_test(NAME gui.media_and_live_class
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh
                     timeout 300 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp"
                     bash ${PROJECT_SOURCE_DIR}/tests/gui/media_and_live_class_test.sh
                     $<TARGET_FILE:kestrum> $<TARGET_FILE:kestrum-tool>
                     $<TARGET_FILE:kestrum-platform> $<TARGET_FILE:kestrum-screenshot>
                     $<TARGET_FILE:kestrum_pixel_check> ${CMAKE_BINARY_DIR}/gui-screenshots)
    set_tests_properties(gui.media_and_live_class PROPERTIES TIMEOUT 320 RUN_SERIAL TRUE)
    add_test(NAME gui.loader_overlay
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh
                     timeout 120 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp"
                     bash ${PROJECT_SOURCE_DIR}/tests/gui/loader_overlay_test.sh $<TARGET_FILE:kestrum>
                     $<TARGET_FILE:kestrum-platform> $<TARGET_FILE:kestrum-screenshot>
                     $<TARGET_FILE:kestrum_pixel_check> ${CMAKE_BINARY_DIR}/gui-screenshots/loader)
    set_tests_properties(gui.loader_overlay PROPERTIES TIMEOUT 140 RUN_SERIAL TRUE)
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
