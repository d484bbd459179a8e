list(APPEND KESTRUM_PORTABLE_SOURCES
    service/device_identity.cpp)
list(APPEND KESTRUM_LINUX_SOURCES
    service/linux/device_query_linux.cpp)
list(APPEND KESTRUM_WIN32_SOURCES
    service/win32/device_query_win32.cpp)
list(APPEND KESTRUM_WIN32_LIBRARIES ole32 oleaut32 wbemuuid uuid)
