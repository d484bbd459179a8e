# The splash window on GTK, apart from kestrum_core, which stays free of GTK for the tools.
# Included by the player's build (native builds only).

add_library(kestrum_shell_gtk_splash STATIC ${PROJECT_SOURCE_DIR}/app/linux/splash_gtk.cpp)
target_link_libraries(kestrum_shell_gtk_splash PUBLIC kestrum_core kestrum_resources
                                                      PkgConfig::GTK3)
kestrum_warnings(kestrum_shell_gtk_splash)

if(KESTRUM_BUILD_TESTS)
    # On a virtual X screen: where the splash lands, its transparency, and its closing.
    pkg_check_modules(XTST REQUIRED IMPORTED_TARGET xtst x11)
    add_executable(kestrum_splash_gui_check ${PROJECT_SOURCE_DIR}/tests/gui/splash_check.cpp)
    target_link_libraries(kestrum_splash_gui_check PRIVATE kestrum_shell_gtk_splash kestrum_toolkit_gtk
                                                           PkgConfig::XTST)
    kestrum_warnings(kestrum_splash_gui_check)
    # Screen size, then the splash's expected x, y, width and height.
    foreach(_case "large 1280x800 290 315 700 169" "small 800x600 120 232 560 135")
        separate_arguments(_case)
        list(POP_FRONT _case _name _screen)
        add_test(NAME gui.splash_${_name}
                 COMMAND bash ${PROJECT_SOURCE_DIR}/tests/gui/run_on_xvfb.sh ${_screen}
                         $<TARGET_FILE:kestrum_splash_gui_check> ${_case}
                         ${CMAKE_CURRENT_BINARY_DIR}/splash_${_name})
        set_tests_properties(gui.splash_${_name} PROPERTIES TIMEOUT 90)
    endforeach()
endif()
