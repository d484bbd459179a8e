# The player on Linux: the shell's GTK backend and the `kestrum` executable.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
pkg_check_modules(WEBKIT REQUIRED IMPORTED_TARGET webkit2gtk-4.1)

add_library(kestrum_shell_linux STATIC
    app/linux/browser_runtime_linux.cpp
    app/linux/instance_lock_linux.cpp
    app/linux/linux_startup_platform.cpp
    app/linux/message_box_gtk.cpp
    app/linux/shell_windows_gtk.cpp
    app/linux/url_scheme_linux.cpp)
target_link_libraries(kestrum_shell_linux PUBLIC kestrum_core kestrum_resources kestrum_shell_gtk_splash
                                                 kestrum_fatal_gtk PkgConfig::GTK3
                                                 PkgConfig::WEBKIT)
kestrum_warnings(kestrum_shell_linux)

add_executable(kestrum app/linux/main_linux.cpp)
target_link_libraries(kestrum PRIVATE kestrum_shell_linux kestrum_debug_log)
kestrum_warnings(kestrum)

if(KESTRUM_BUILD_TESTS)
    add_test(NAME gui.player_shell
             COMMAND timeout 170 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp"
                     bash ${PROJECT_SOURCE_DIR}/tests/gui/player_shell_test.sh
                     $<TARGET_FILE:kestrum> $<TARGET_FILE:kestrum-tool>)
    set_tests_properties(gui.player_shell PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
endif()
