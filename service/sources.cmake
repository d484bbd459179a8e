list(APPEND KESTRUM_PORTABLE_SOURCES
    service/base_url.cpp)
# Sub-lists of the service subsystem, each kept by its own part of the code.
include(service/device_identity.cmake OPTIONAL)
