# The player on Windows: the shell around the browser windows, the start-up platform and
# the `kestrum.exe` GUI program with its resources.

add_library(kestrum_shell_win32 STATIC
    app/win32/browser_runtime_win32.cpp
    app/win32/download_progress_window_win32.cpp
    app/win32/host_shutdown_win32.cpp
    app/win32/installer_download_win32.cpp
    app/win32/main_window_win32.cpp
    app/win32/splash_win32.cpp
    app/win32/update_address_win32.cpp
    app/win32/win32_startup_platform.cpp)
target_link_libraries(kestrum_shell_win32 PUBLIC kestrum_core kestrum_browser_win32 gdiplus winhttp
                                                 ole32 shell32 user32 gdi32)
kestrum_warnings(kestrum_shell_win32)

# The fatal path's countdown and dialog, where the Windows presenter is part of the build
# (looked for once every file is read, whichever is included first); without it a fatal error
# is logged and the start-up ends with its failure.
function(kestrum_shell_win32_use_fatal_presenter)
    if(TARGET kestrum_fatal_win32)
        target_link_libraries(kestrum_shell_win32 PUBLIC kestrum_fatal_win32)
        target_compile_definitions(kestrum_shell_win32 PRIVATE KESTRUM_WIN32_FATAL_PRESENTER=1)
    endif()
endfunction()
cmake_language(DEFER CALL kestrum_shell_win32_use_fatal_presenter)

add_executable(kestrum WIN32 app/win32/main_win32.cpp)
target_link_options(kestrum PRIVATE -municode)
target_link_libraries(kestrum PRIVATE kestrum_shell_win32 kestrum_debug_log)
kestrum_add_win32_resources(kestrum)
kestrum_warnings(kestrum)

include(${CMAKE_CURRENT_LIST_DIR}/installer/installer_win32.cmake)
