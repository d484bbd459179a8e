list(APPEND KESTRUM_PORTABLE_SOURCES
    app/command_line_options.cpp
    app/instance_name.cpp
    app/download_progress_text.cpp
    app/link_argument.cpp
    app/platform_link_services.cpp
    app/runtime_install_flow.cpp
    app/runtime_requirements.cpp
    app/splash_layout.cpp
    app/update_address.cpp
    app/startup_sequence.cpp
    app/windows_generation.cpp)
list(APPEND KESTRUM_LINUX_SOURCES
    app/linux/command_line_linux.cpp)
list(APPEND KESTRUM_WIN32_SOURCES
    app/win32/command_line_win32.cpp
    app/win32/instance_guard_win32.cpp
    app/win32/url_scheme_win32.cpp
    app/win32/windows_version_win32.cpp)
list(APPEND KESTRUM_WIN32_LIBRARIES shell32)
