list(APPEND KESTRUM_PORTABLE_SOURCES
    fatal/countdown_layout.cpp
    fatal/diagnostic_code.cpp
    fatal/diagnostic_document.cpp
    fatal/fatal_error.cpp)
