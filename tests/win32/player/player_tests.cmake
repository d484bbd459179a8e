# The Windows player's own parts under Wine: boxes, splash, windows, update addresses, and the
# player itself driven as a learner would (boxes answered by clicking, screens read back).
add_executable(kestrum_win32_player_tests
    ${CMAKE_CURRENT_LIST_DIR}/browser_windows_win32_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/message_box_win32_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/splash_win32_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/update_address_win32_test.cpp)
target_link_libraries(kestrum_win32_player_tests PRIVATE kestrum_shell_win32 kestrum_debug_log
                                                         shlwapi gtest gtest_main)
kestrum_add_win32_resources(kestrum_win32_player_tests)
kestrum_warnings(kestrum_win32_player_tests)
add_test(NAME win32.player_parts COMMAND kestrum_win32_player_tests)
# Windows on the shared display: nothing else may draw meanwhile.
set_tests_properties(win32.player_parts PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)

# The player driven from outside: a probe that looks at its windows, and the learner's script.
add_executable(kestrum_player_probe ${CMAKE_CURRENT_LIST_DIR}/player_probe_win32.cpp)
target_link_options(kestrum_player_probe PRIVATE -municode)
target_link_libraries(kestrum_player_probe PRIVATE user32 gdi32)
kestrum_warnings(kestrum_player_probe)
if(KESTRUM_NATIVE_PLATFORM_SERVICE)
    add_test(NAME win32.player
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh
                     bash ${CMAKE_CURRENT_LIST_DIR}/player_win32_test.sh
                     ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:kestrum>
                     $<TARGET_FILE:kestrum_player_probe> ${KESTRUM_NATIVE_PLATFORM_SERVICE}
                     ${KESTRUM_PROFILE})
    set_tests_properties(win32.player PROPERTIES TIMEOUT 480 RUN_SERIAL TRUE)
    # The same player with a browser runtime installed: the test runtime, which records what
    # the player asks of it.
    add_test(NAME win32.player_browser
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh
                     bash ${CMAKE_CURRENT_LIST_DIR}/player_browser_win32_test.sh
                     ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:kestrum>
                     $<TARGET_FILE:kestrum_player_probe> ${KESTRUM_NATIVE_PLATFORM_SERVICE}
                     $<TARGET_FILE:kestrum_webview2_standin>)
    set_tests_properties(win32.player_browser PROPERTIES TIMEOUT 240 RUN_SERIAL TRUE)
endif()

# A broken link in the player itself: countdown, clipboard, the dialog's command, exit 0.
if(TARGET kestrum_mshta_recorder)
    add_test(NAME win32.player_broken_link
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/broken_link_win32_test.sh
                     ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:kestrum>
                     $<TARGET_FILE:kestrum_player_probe> $<TARGET_FILE:kestrum_mshta_recorder>)
    set_tests_properties(win32.player_broken_link PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
endif()

# The shipped player holds the platform's secrets only scrambled, like the tool.
add_test(NAME build.no_plain_profile_secrets_in_player
         COMMAND ${CMAKE_COMMAND} -DPROFILE=${KESTRUM_PROFILE} -DBINARIES=$<TARGET_FILE:kestrum>
                 -P ${PROJECT_SOURCE_DIR}/cmake/CheckNoPlainSecrets.cmake)

# The per-user installer: silent install, files and entries, silent uninstall, nothing left.
if(TARGET kestrum_installer)
    add_test(NAME win32.installer
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/installer_win32_test.sh
                     ${CMAKE_CROSSCOMPILING_EMULATOR} ${KESTRUM_INSTALLER}
                     $<TARGET_FILE:kestrum> --version)
    set_tests_properties(win32.installer PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/../runtime_install/runtime_install_tests.cmake)

# The command line answered under Wine, and the support log under local application data.
add_test(NAME win32.player_options
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/player_options_win32_test.sh
                 ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:kestrum>)
set_tests_properties(win32.player_options PROPERTIES TIMEOUT 240 RUN_SERIAL TRUE)
