list(APPEND KESTRUM_PORTABLE_SOURCES
    service/device_identity.cpp)
list(APPEND KESTRUM_LINUX_SOURCES
    service/linux/device_query_linux.cpp)
