list(APPEND KESTRUM_PORTABLE_SOURCES
    service/base_url.cpp)
