# The browser host on WebKitGTK: the engine and the windows' GTK side (kept out of
# kestrum_core, which stays free of GTK), and the extension every web process loads.

set(KESTRUM_WEB_EXTENSION_INSTALL_DIR ${CMAKE_INSTALL_PREFIX}/lib/kestrum/web-extensions)

add_library(kestrum_browser_gtk STATIC
    browser/linux/blank_page_load.cpp
    browser/linux/browser_window_shell_gtk.cpp
    browser/linux/default_browser_gtk.cpp
    browser/linux/permission_requests.cpp
    browser/linux/pinned_certificates.cpp
    browser/linux/system_errors.cpp
    browser/linux/video_calls.cpp
    browser/linux/web_process_watch.cpp
    browser/linux/webkit_engine.cpp)
target_compile_definitions(kestrum_browser_gtk PRIVATE
    KESTRUM_INSTALLED_WEB_EXTENSION_DIR="${KESTRUM_WEB_EXTENSION_INSTALL_DIR}")
target_link_libraries(kestrum_browser_gtk PUBLIC kestrum_core kestrum_printing_gtk
                                                 PkgConfig::GTK3 PkgConfig::WEBKIT)
kestrum_warnings(kestrum_browser_gtk)

# Loaded by every web process of the player's browsers, from web-extensions/ beside it.
add_library(kestrum-web-extension MODULE browser/linux/web_extension/web_extension.cpp
                                         $<TARGET_OBJECTS:kestrum_debug_log>)
target_link_libraries(kestrum-web-extension PRIVATE kestrum_core PkgConfig::WEBKIT_EXTENSION)
set_target_properties(kestrum-web-extension PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/web-extensions
    CXX_VISIBILITY_PRESET hidden)
target_link_options(kestrum-web-extension PRIVATE -Wl,--as-needed)
kestrum_warnings(kestrum-web-extension)
