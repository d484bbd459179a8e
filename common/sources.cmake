list(APPEND KESTRUM_PORTABLE_SOURCES
    common/after_start.cpp
    common/app_context.cpp
    common/base64.cpp
    common/build_platform.cpp
    common/decimal_number.cpp
    common/html_escape.cpp
    common/log_timestamp.cpp
    common/message_text_limit.cpp
    common/platform_profile.cpp
    common/rotating_log_file.cpp
    common/secret_text.cpp
    common/shutdown.cpp
    common/split_text.cpp
    common/support_log.cpp
    common/text_case.cpp
    common/text_encoding.cpp
    common/url_codec.cpp)
list(APPEND KESTRUM_LINUX_SOURCES
    common/linux/build_platform_linux.cpp
    common/linux/freed_memory_linux.cpp
    common/linux/own_executable_linux.cpp
    common/linux/support_log_folder_linux.cpp)
list(APPEND KESTRUM_WIN32_SOURCES
    common/win32/build_platform_win32.cpp
    common/win32/known_paths_win32.cpp
    common/win32/message_box_win32.cpp
    common/win32/support_log_folder_win32.cpp)
list(APPEND KESTRUM_WIN32_LIBRARIES shell32 user32)
