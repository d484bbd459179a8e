list(APPEND KESTRUM_PORTABLE_SOURCES
    app/app_context.cpp
    app/browser_host_slots.cpp
    app/instance_name.cpp
    app/link_argument.cpp
    app/platform_profile.cpp
    app/shutdown.cpp
    app/splash_layout.cpp
    app/startup_sequence.cpp
    app/windows_generation.cpp)
list(APPEND KESTRUM_LINUX_SOURCES
    app/linux/command_line_linux.cpp
    app/linux/own_executable_linux.cpp)
list(APPEND KESTRUM_WIN32_SOURCES
    app/win32/command_line_win32.cpp
    app/win32/instance_guard_win32.cpp
    app/win32/known_paths_win32.cpp
    app/win32/url_scheme_win32.cpp
    app/win32/windows_version_win32.cpp)
list(APPEND KESTRUM_WIN32_LIBRARIES shell32)
