# The runtime check and installation under Wine: private and installed runtimes made by the
# test, installers downloaded from the test's own server, boxes and the progress window
# answered as a learner would.
set(_install_dir ${CMAKE_CURRENT_LIST_DIR})
set(_install_out ${CMAKE_BINARY_DIR}/tests/runtime_install)
foreach(_kind registering idle)
    add_executable(fake_installer_${_kind} ${_install_dir}/fake_installer.cpp)
    set_target_properties(fake_installer_${_kind} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${_install_out})
    kestrum_warnings(fake_installer_${_kind})
endforeach()
target_compile_definitions(fake_installer_registering PRIVATE KESTRUM_FAKE_INSTALLER_REGISTERS)

include(${PROJECT_SOURCE_DIR}/tests/win32/support/win32_gui_test_support.cmake)
add_executable(kestrum_runtime_install_tests ${_install_dir}/runtime_install_win32_test.cpp)
set_target_properties(kestrum_runtime_install_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${_install_out})
target_link_libraries(kestrum_runtime_install_tests PRIVATE kestrum_shell_win32 kestrum_debug_log
                      kestrum_win32_gui_test_support crypt32 gtest gtest_main)
kestrum_warnings(kestrum_runtime_install_tests)
# The private runtime's stand-in engine library, beside the program.
add_custom_command(TARGET kestrum_runtime_install_tests POST_BUILD
                   COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:fake_runtime> ${_install_out}/)
add_dependencies(kestrum_runtime_install_tests fake_runtime fake_installer_registering
                 fake_installer_idle)
add_test(NAME win32.runtime_install
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/isolated.sh
                 bash ${_install_dir}/runtime_install_win32_test.sh
                 ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:kestrum_runtime_install_tests>
                 $<TARGET_FILE:fake_installer_registering> $<TARGET_FILE:fake_installer_idle>)
# Boxes and a window on the shared display, and the prefix's runtime entries and roots.
set_tests_properties(win32.runtime_install PROPERTIES TIMEOUT 240 RUN_SERIAL TRUE)
