list(APPEND KESTRUM_PORTABLE_SOURCES
    browser/escape_js_string.cpp)
